#include "ShellLaunch.h"

#include "Utf8Text.h"

#include <QDesktopServices>

namespace tembrook::platform {

namespace {

TDesktopShellLauncher gDesktopLauncher;
TShellLauncher* gLauncher = &gDesktopLauncher;

}  // namespace

void TDesktopShellLauncher::Open(const QString& address)
{
    const QUrl url = ShellLaunchUrl(address);
    if (url.isValid() && !url.isEmpty())
        QDesktopServices::openUrl(url);
}

QUrl ShellLaunchUrl(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    // QUrl::fromUserInput would read "MailTo:someone@example.org" as
    // user:password@host and turn it into an http address, so an explicit
    // scheme is kept as it stands. A one-letter scheme is a drive letter, and
    // a dotted one is a host name followed by a port ("www.example.org:8080").
    const QUrl direct(text, QUrl::TolerantMode);
    const QString scheme = direct.scheme();
    if (direct.isValid() && scheme.size() > 1 && !scheme.contains(QLatin1Char('.')))
        return direct;
    return QUrl::fromUserInput(text);
}

TShellLauncher& CurrentShellLauncher()
{
    return *gLauncher;
}

TShellLauncher* SetShellLauncher(TShellLauncher* launcher)
{
    TShellLauncher* const previous = gLauncher;
    gLauncher = launcher != nullptr ? launcher : &gDesktopLauncher;
    return previous;
}

void ShellOpen(const QString& address)
{
    CurrentShellLauncher().Open(address);
}

QString LaunchBufferText(const QString& text)
{
    constexpr qsizetype kBufferText = 255;
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    const QByteArray utf8 = (nul < 0 ? text : text.left(nul)).toUtf8();
    if (utf8.size() <= kBufferText)
        return QString::fromUtf8(utf8);
    // Byte kBufferText is the first one left out; if it continues a character,
    // that whole character is left out.
    qsizetype keep = kBufferText;
    while (keep > 0 && IsUtf8ContinuationByte(utf8[keep]))
        --keep;
    return QString::fromUtf8(utf8.left(keep));
}

}  // namespace tembrook::platform
