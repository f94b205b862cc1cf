#pragma once
// Message boxes, with a seam for tests.
//
// ShowErrorMessage is what a handler calls with the message of an exception
// it caught (the box is titled with the application's title, which main()
// sets as QCoreApplication::applicationName);
// ShowInformationMessage is the toolkit's information box (caption
// "Information", one OK button). Both are modal and return when the user has
// answered.
//
// OpenErrorMessage is the error box for code that runs inside Qt's event
// delivery and must not wait there: it opens the box over the parent's window,
// with the title given, and returns at once; the box deletes itself when it is
// closed.
//
// A test installs a hook with TScopedMessageHook: every box is then handed
// to the hook instead of being shown, so the test reads what would have been
// shown and nothing blocks.

#include "ScopedOverride.h"

#include <QString>
#include <functional>

class QWidget;

namespace tembrook {

enum class TMessageKind { mkError, mkInformation };

struct TShownMessage {
    TMessageKind Kind = TMessageKind::mkError;
    QString Title;
    QString Text;
    bool Blocks = true;  // whether the call returns only once the box is answered
};

using TMessageHook = std::function<void(const TShownMessage&)>;

void ShowErrorMessage(QWidget* parent, const QString& text);
void ShowInformationMessage(QWidget* parent, const QString& text);
void OpenErrorMessage(QWidget* parent, const QString& title, const QString& text);

// Installs hook (an empty one restores the real boxes); returns the previous one.
TMessageHook SetMessageHook(TMessageHook hook);

// Installs a hook for the lifetime of the object.
using TScopedMessageHook = platform::TScopedOverride<TMessageHook, &SetMessageHook>;

}  // namespace tembrook
