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

// A box that is opened and left to the user: it deletes itself once closed.
void OpenBox(QWidget* parent, const TShownMessage& message)
{
    const QMessageBox::Icon icon =
        message.Kind == TMessageKind::mkError ? QMessageBox::Critical : QMessageBox::Information;
    auto* box = new QMessageBox(icon, message.Title, message.Text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Show(QWidget* parent, TShownMessage message)
{
    if (Hook()) {
        Hook()(message);
        return;
    }
    if (!message.Blocks)
        OpenBox(parent, message);
    else if (message.Kind == TMessageKind::mkError)
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

void OpenErrorMessage(QWidget* parent, const QString& title, const QString& text)
{
    Show(parent, {TMessageKind::mkError, title, text, false});
}

TMessageHook SetMessageHook(TMessageHook hook)
{
    TMessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

}  // namespace tembrook
