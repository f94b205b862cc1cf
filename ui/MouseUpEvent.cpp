#include "MouseUpEvent.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

namespace tembrook {

namespace {

const char* const kFilterName = "TembrookMouseUpFilter";

class TMouseUpFilter final : public QObject {
public:
    TMouseUpFilter(QWidget* control, TMouseEvent handler)
        : QObject(control), FControl(control), FHandler(std::move(handler))
    {
        setObjectName(QLatin1String(kFilterName));
    }

    void SetHandler(TMouseEvent handler) { FHandler = std::move(handler); }

protected:
    // Watches every release that reaches a widget of the control's window,
    // before that widget sees it, so that the position of the release
    // decides, not the widget that took the press (which is where Qt
    // delivers the release).
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonRelease || !FHandler || !FControl->isVisible())
            return false;
        auto* const receiver = qobject_cast<QWidget*>(watched);
        QWidget* const window = FControl->window();
        if (receiver == nullptr || receiver->window() != window)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // One release reaches several widgets: Qt hands a copy to the widget
        // that took the press, and one that it ignores goes on to the
        // parents. The copies share the time stamp of the release.
        if (mouse->timestamp() == FLastTimestamp && FLastTimestamp != 0)
            return false;
        FLastTimestamp = mouse->timestamp();
        const QPoint inWindow = window->mapFromGlobal(mouse->globalPosition().toPoint());
        QWidget* const under = window->childAt(inWindow);
        if (under != FControl && !FControl->isAncestorOf(under))
            return false;
        const QPoint at = FControl->mapFrom(window, inWindow);
        // The handler may open a modal window; copy it so that a handler
        // replacing itself meanwhile does not destroy the running one.
        const TMouseEvent handler = FHandler;
        handler(FControl, mouse->button(), mouse->modifiers(), at.x(), at.y());
        return false;
    }

private:
    QWidget* FControl;
    TMouseEvent FHandler;
    quint64 FLastTimestamp = 0;
};

}  // namespace

void SetOnMouseUp(QWidget* control, TMouseEvent handler)
{
    if (control == nullptr)
        return;
    auto* filter = dynamic_cast<TMouseUpFilter*>(
        control->findChild<QObject*>(QLatin1String(kFilterName), Qt::FindDirectChildrenOnly));
    if (filter == nullptr) {
        if (!handler)
            return;
        filter = new TMouseUpFilter(control, std::move(handler));
        // On the application, to see the release before the widget that took
        // the press gets it; the filter goes with the control.
        QCoreApplication::instance()->installEventFilter(filter);
        return;
    }
    filter->SetHandler(std::move(handler));
}

}  // namespace tembrook
