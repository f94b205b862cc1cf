#include "MouseUpEvent.h"

#include <QEvent>
#include <QMouseEvent>

namespace {

const char* const kFilterName = "TembrookMouseUpFilter";

class TMouseUpFilter final : public QObject {
public:
    TMouseUpFilter(QWidget* control, TMouseEvent handler) : QObject(control), FHandler(std::move(handler))
    {
        setObjectName(QLatin1String(kFilterName));
    }

    void SetHandler(TMouseEvent handler) { FHandler = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && FHandler) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->position().toPoint();
            // The handler may open a modal window; copy it so that a handler
            // replacing itself meanwhile does not destroy the running one.
            const TMouseEvent handler = FHandler;
            handler(watched, mouse->button(), mouse->modifiers(), at.x(), at.y());
        }
        return false;
    }

private:
    TMouseEvent FHandler;
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
        control->installEventFilter(filter);
        return;
    }
    filter->SetHandler(std::move(handler));
}
