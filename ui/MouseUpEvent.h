// A mouse-up event for any widget: the handler runs for every mouse button
// released over the widget (judged by where the release happens, whichever
// widget took the press), with the button, the keyboard modifiers and the
// position in the widget. The widget's own handling of the
// release (a push button's click) still happens afterwards. The main window
// uses it for StartInportButtonMouseUp, which opens the About box on a right
// release over Start.
#pragma once

#include <QObject>
#include <QPoint>
#include <QWidget>
#include <functional>

namespace tembrook {

using TMouseEvent =
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;

// Sets (or, with an empty handler, clears) the widget's mouse-up handler.
void SetOnMouseUp(QWidget* control, TMouseEvent handler);

}  // namespace tembrook
