#include "WindowGeometry.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tembrook {

namespace {

const char* const kKeeperName = "TembrookOuterGeometry";

// Watches one window until its frame is known, then fits the client area
// into the outer rectangle once and goes away.
class TOuterGeometryKeeper final : public QObject {
public:
    TOuterGeometryKeeper(QWidget& window, const QRect& outer)
        : QObject(&window), FWindow(window), FOuter(outer)
    {
        setObjectName(QLatin1String(kKeeperName));
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &FWindow) {
            switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange:
                Fit();
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    void Fit()
    {
        if (FDone || !FWindow.isVisible())
            return;
        // Someone else sized the window (or it was maximised): theirs wins.
        if (FWindow.size() != FOuter.size() || FWindow.windowState() != Qt::WindowNoState) {
            Finish();
            return;
        }
        const QMargins frame = WindowFrameMargins(FWindow);
        if (frame.isNull())
            return;    // not framed yet, or never: the outer size is the client size
        FDone = true;  // resize() below re-enters through the Resize event
        FWindow.resize(ClientSizeWithin(FOuter.size(), frame));
        FWindow.move(FOuter.topLeft());
        Finish();
    }

    void Finish()
    {
        FDone = true;
        FWindow.removeEventFilter(this);
        deleteLater();
    }

    QWidget& FWindow;
    QRect FOuter;
    bool FDone = false;
};

}  // namespace

QSize ClientSizeWithin(const QSize& outer, const QMargins& frame)
{
    return QSize(std::max(0, outer.width() - frame.left() - frame.right()),
                 std::max(0, outer.height() - frame.top() - frame.bottom()));
}

QMargins WindowFrameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

void SetOuterGeometry(QWidget& window, const QRect& outer)
{
    // A window whose frame is already known is fitted at once.
    const QMargins frame = WindowFrameMargins(window);
    window.move(outer.topLeft());
    if (window.isVisible() && !frame.isNull()) {
        window.resize(ClientSizeWithin(outer.size(), frame));
        window.move(outer.topLeft());
        return;
    }
    window.resize(outer.size());
    // A later placement replaces an earlier one that is still waiting.
    delete dynamic_cast<TOuterGeometryKeeper*>(
        window.findChild<QObject*>(QLatin1String(kKeeperName), Qt::FindDirectChildrenOnly));
    new TOuterGeometryKeeper(window, outer);
}

}  // namespace tembrook
