#pragma once
// Places a top-level window by its outer rectangle, frame included, the way
// the window layouts give their positions and sizes: at a given rectangle
// (SetOuterGeometry), or centred over another window (CentreOuterOver).
//
// Qt positions a window by its frame but sizes it by its client area, and the
// frame is only known once the platform has shown the window (and, on X11,
// once the window manager has framed it, which may come after the show). So
// SetOuterGeometry moves the window to the outer position, gives the client
// area the whole outer size for now, and watches the window's show, move and
// resize events: as soon as the platform reports a frame, the client area
// shrinks by it, so that the frame covers the outer rectangle exactly. Where
// there is no frame (no window manager) nothing needs to change. A window
// that has been resized in between (by the user or the program) keeps its
// size.

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace tembrook {

// The client size that leaves room for `frame` inside `outer` (never negative).
QSize ClientSizeWithin(const QSize& outer, const QMargins& frame);

// The frame margins the platform reports for a top-level window; none before
// the window has a native window, and none where the platform draws no frame.
QMargins WindowFrameMargins(const QWidget& window);

// Places `window` (a top-level widget) so that its outer rectangle becomes
// `outer`; see above.
void SetOuterGeometry(QWidget& window, const QRect& outer);

// The top-left corner that centres an outer size over `over`: over's corner
// plus half the difference of the sizes, each half truncated toward zero
// (a window 121 pixels taller than `over` starts 60 pixels above it).
QPoint CentredPosition(const QRect& over, const QSize& outer);

// Centres `window` (a top-level widget that keeps its client size) over `over`
// by its outer rectangle, the client size plus the frame. Until the platform
// reports the window's own frame, `frameEstimate` stands in for it (another
// window's frame, say); once the frame is known the window is centred again
// with it, unless it has been maximised or placed elsewhere in between.
void CentreOuterOver(QWidget& window, const QRect& over, const QMargins& frameEstimate);

}  // namespace tembrook
