// The About window that TAboutForm::Execute builds, fills, shows modally and
// destroys. It carries the fixed layout (a 400 × 196 client area with the title
// lines, version, maker's notice, e-mail and web page, picture and the
// operating-environment line) and the behaviour of its links, picture and OK
// button; the texts come from the component.
//
// Labels show their text as plain text ('<' and '&' appear as typed).
#pragma once

#include "AboutLabel.h"
#include "UiBase.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

class QPushButton;
class QWidget;

namespace tembrook {

enum TFormBorderStyle : std::uint8_t {
    bsNone = 0,
    bsSingle = 1,
    bsSizeable = 2,
    bsDialog = 3,
    bsToolWindow = 4,
    bsSizeToolWin = 5,
};

class TAboutWindow : public QDialog {
public:
    explicit TAboutWindow(QWidget* parent = nullptr);

    // Controls, in the order of the window's description.
    TAboutLabel* TitleText;
    TAboutLabel* Label2;
    TAboutLabel* CopyrightText;
    TAboutLabel* GraphPicture;
    TAboutLabel* EMailTitleLabel;
    TAboutLabel* WebPageTitleLabel;
    TAboutLabel* EMailText;
    TAboutLabel* WebPageText;
    TAboutLabel* VerText;
    QPushButton* OKButton;
    TAboutLabel* TitleHeaderText;
    TAboutLabel* TitleFooterText;
    QWidget* Bevel1;
    TAboutLabel* OSEnvironmentDispLabel;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);

    // Filling steps that do more than set a caption.
    void SetPicture(const QPixmap& picture);  // a copy; the image sizes itself to it
    void SetEMail(const QString& address);    // caption and "E-Mail:" visibility
    void SetWebPage(const QString& address);  // caption and "WebPage:" visibility
    void SetWebLink(bool on);                 // switch and link look of WebPageText
    void SetMailLink(bool on);                // switch and link look of EMailText
    bool WebLinkOn() const { return FWebLinkOn; }
    bool MailLinkOn() const { return FMailLinkOn; }
    void SetIconClick(TNotifyEvent handler) { FIconClick = std::move(handler); }
    void SetTitleFont(const TFont& font);  // TitleText's font becomes a copy

    // Sets the environment line and shows the window modally.
    void ShowAbout();

    void OKButtonClick();
    void WebPageTextClick();
    void EMailTextClick();
    void GraphPictureClick();

    // Whether an address counts as given: not empty once characters up to and
    // including the space are removed at both ends.
    static bool HasText(const QString& text);

    // What "show modally" does. The default runs exec(); tests put a function
    // here that looks at the filled window (and may close it or throw) instead.
    using TModalRunner = std::function<void(TAboutWindow& window)>;
    static TModalRunner SetModalRunner(TModalRunner runner);  // empty restores exec(); returns the previous

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyLinkLook(TAboutLabel& label, bool on);

    TFormBorderStyle FBorderStyle = bsDialog;
    bool FWebLinkOn = false;
    bool FMailLinkOn = false;
    TNotifyEvent FIconClick;
};

}  // namespace tembrook
