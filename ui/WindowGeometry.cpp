#include "WindowGeometry.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tembrook {

namespace {

const char* const kKeeperName = "TembrookOuterGeometry";

// Watches one window until the platform reports its frame, then places it
// once with that frame and goes away. A keeper whose placement is no longer
// wanted (someone else has placed the window) goes away without placing.
class TFrameKeeper : public QObject {
public:
    explicit TFrameKeeper(QWidget& window) : QObject(&window), FWindow(window)
    {
        // A later placement replaces an earlier one that is still waiting.
        delete dynamic_cast<TFrameKeeper*>(
            window.findChild<QObject*>(QLatin1String(kKeeperName), Qt::FindDirectChildrenOnly));
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

    virtual bool StillWanted() const = 0;
    virtual void Place(const QMargins& frame) = 0;

    QWidget& FWindow;

private:
    void Fit()
    {
        if (FDone || !FWindow.isVisible())
            return;
        if (!StillWanted()) {
            Finish();
            return;
        }
        const QMargins frame = WindowFrameMargins(FWindow);
        if (frame.isNull())
            return;    // not framed yet, or never
        FDone = true;  // placing re-enters through the Move and Resize events
        Place(frame);
        Finish();
    }

    void Finish()
    {
        FDone = true;
        FWindow.removeEventFilter(this);
        deleteLater();
    }

    bool FDone = false;
};

// Fits the client area into an outer rectangle once the frame is known.
class TOuterGeometryKeeper final : public TFrameKeeper {
public:
    TOuterGeometryKeeper(QWidget& window, const QRect& outer) : TFrameKeeper(window), FOuter(outer) {}

protected:
    // Someone else sized the window (or it was maximised): theirs wins.
    bool StillWanted() const override
    {
        return FWindow.size() == FOuter.size() && FWindow.windowState() == Qt::WindowNoState;
    }
    void Place(const QMargins& frame) override
    {
        FWindow.resize(ClientSizeWithin(FOuter.size(), frame));
        FWindow.move(FOuter.topLeft());
    }

private:
    QRect FOuter;
};

// Centres the window again once its own frame is known.
class TCentringKeeper final : public TFrameKeeper {
public:
    TCentringKeeper(QWidget& window, const QRect& over, QPoint placed)
        : TFrameKeeper(window), FOver(over), FPlaced(placed)
    {
    }

protected:
    // Moved elsewhere before it was framed (or maximised): that placement wins.
    bool StillWanted() const override
    {
        return FWindow.pos() == FPlaced && FWindow.windowState() == Qt::WindowNoState;
    }
    void Place(const QMargins& frame) override
    {
        const QSize outer = FWindow.size().grownBy(frame);
        FWindow.move(CentredPosition(FOver, outer));
    }

private:
    QRect FOver;
    QPoint FPlaced;
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
    new TOuterGeometryKeeper(window, outer);
}

QPoint CentredPosition(const QRect& over, const QSize& outer)
{
    // C++ integer division truncates toward zero.
    return QPoint(over.left() + (over.width() - outer.width()) / 2,
                  over.top() + (over.height() - outer.height()) / 2);
}

void CentreOuterOver(QWidget& window, const QRect& over, const QMargins& frameEstimate)
{
    const QMargins known = WindowFrameMargins(window);
    const bool framed = window.isVisible() && !known.isNull();
    window.move(CentredPosition(over, window.size().grownBy(framed ? known : frameEstimate)));
    if (!framed)
        new TCentringKeeper(window, over, window.pos());
}

}  // namespace tembrook
