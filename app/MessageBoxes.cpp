#include "MessageBoxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace tembrook {

namespace {

// Used on the user-interface thread only, like the boxes themselves.
TMessageHook& Hook()
{
    static TMessageHook hook;
    return hook;
}

void Show(QWidget* parent, TShownMessage message)
{
    if (Hook()) {
        Hook()(message);
        return;
    }
    if (message.Kind == TMessageKind::mkError)
        QMessageBox::critical(parent, message.Title, message.Text);
    else
        QMessageBox::information(parent, message.Title, message.Text);
}

}  // namespace

void ShowErrorMessage(QWidget* parent, const QString& text)
{
    Show(parent, {TMessageKind::mkError, QCoreApplication::applicationName(), text});
}

void ShowInformationMessage(QWidget* parent, const QString& text)
{
    Show(parent, {TMessageKind::mkInformation, QStringLiteral("Information"), text});
}

TMessageHook SetMessageHook(TMessageHook hook)
{
    TMessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

}  // namespace tembrook
