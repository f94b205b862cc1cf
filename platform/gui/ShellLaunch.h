// Opening an address with whatever the desktop uses for it: the browser for a
// web page, the mail program for a "MailTo:" address. The About box's links go
// through here.
//
// The launcher in use is a process-wide pointer so that tests can put a
// recording launcher in place of the desktop one (SetShellLauncher) and see the
// text that would have been opened. Like the launch it models, the outcome is
// not reported: an address that nothing can open is simply not opened.
// User-interface thread only.
#pragma once

#include <QString>
#include <QUrl>

namespace tembrook::platform {

class TShellLauncher {
public:
    virtual ~TShellLauncher() = default;
    // Opens the address (verb "open", shown normally).
    virtual void Open(const QString& address) = 0;
};

// The default launcher: QDesktopServices::openUrl on ShellLaunchUrl(address).
class TDesktopShellLauncher final : public TShellLauncher {
public:
    void Open(const QString& address) override;
};

// The URL the desktop launcher opens for an address. An address with a scheme
// of two or more characters ("http://…", "MailTo:…") is taken as written; one
// without ("www.example.org") is read the way a user would mean it. Empty or
// blank text gives an empty URL, which is not opened.
QUrl ShellLaunchUrl(const QString& address);

// The launcher in use (the desktop launcher unless one was set).
TShellLauncher& CurrentShellLauncher();

// Sets the launcher in use and returns the previous one; nullptr restores the
// desktop launcher. The caller keeps ownership and must restore the previous
// launcher before destroying its own.
TShellLauncher* SetShellLauncher(TShellLauncher* launcher);

// CurrentShellLauncher().Open(address).
void ShellOpen(const QString& address);

// The text a link click hands to the shell: the text up to a NUL, cut to the
// 255 bytes of the 256-byte launch buffer in UTF-8 without splitting a character.
QString LaunchBufferText(const QString& text);

}  // namespace tembrook::platform
