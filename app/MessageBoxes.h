#pragma once
// Modal message boxes of the main window, with a seam for tests.
//
// ShowErrorMessage is what a handler calls with the message of an exception
// it caught (the box is titled with the application's title, which main()
// sets as QCoreApplication::applicationName);
// ShowInformationMessage is the toolkit's information box (caption
// "Information", one OK button). Both are modal and return when the user has
// answered.
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
};

using TMessageHook = std::function<void(const TShownMessage&)>;

void ShowErrorMessage(QWidget* parent, const QString& text);
void ShowInformationMessage(QWidget* parent, const QString& text);

// Installs hook (an empty one restores the real boxes); returns the previous one.
TMessageHook SetMessageHook(TMessageHook hook);

// Installs a hook for the lifetime of the object.
using TScopedMessageHook = platform::TScopedOverride<TMessageHook, &SetMessageHook>;

}  // namespace tembrook
