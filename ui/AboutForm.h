// The About box component. A window holds one, sets its texts, picture, title
// font, link switches and placement, and calls Execute to show the About
// window: each call builds a fresh TAboutWindow, places it, fills it from the
// properties, shows it modally and destroys it when it closes. The component
// itself is not changed by Execute.
//
// The texts are QStrings, stored as given.
#pragma once

#include "AboutWindow.h"
#include "UiBase.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace tembrook {

class TAboutForm : public QObject {
public:
    // The owner is a form when it is a top-level QWidget; only then does the
    // component keep it for AutoPosition and take its default position from it:
    // top = owner's top + (owner's height - 181) / 2, left = owner's left +
    // (owner's width - 274) / 2, truncating toward zero. Otherwise both are 0.
    explicit TAboutForm(QObject* owner = nullptr);
    ~TAboutForm() override;

    QWidget* OwnerForm() const { return FOwnerForm; }

    bool AutoPosition() const { return FAutoPosition; }
    void SetAutoPosition(bool value) { FAutoPosition = value; }
    std::int32_t WindowTop() const { return FWindowTop; }
    void SetWindowTop(std::int32_t value) { FWindowTop = value; }
    std::int32_t WindowLeft() const { return FWindowLeft; }
    void SetWindowLeft(std::int32_t value) { FWindowLeft = value; }
    TFormBorderStyle Style() const { return FStyle; }
    void SetStyle(TFormBorderStyle value) { FStyle = value; }
    const QPixmap& Graphic() const { return FGraphic; }
    void SetGraphic(const QPixmap& picture) { FGraphic = picture; }
    QString ApplicationTitle() const { return FApplicationTitle; }
    void SetApplicationTitle(const QString& value) { FApplicationTitle = value; }
    QString TitleHeader() const { return FTitleHeader; }
    void SetTitleHeader(const QString& value) { FTitleHeader = value; }
    QString TitleFooter() const { return FTitleFooter; }
    void SetTitleFooter(const QString& value) { FTitleFooter = value; }
    QString Version() const { return FVersion; }
    void SetVersion(const QString& value) { FVersion = value; }
    QString Copyright() const { return FCopyright; }
    void SetCopyright(const QString& value) { FCopyright = value; }
    QString EMail() const { return FEMail; }
    void SetEMail(const QString& value) { FEMail = value; }
    QString WebPage() const { return FWebPage; }
    void SetWebPage(const QString& value) { FWebPage = value; }
    bool LinkWebPage() const { return FLinkWebPage; }
    void SetLinkWebPage(bool value) { FLinkWebPage = value; }
    bool LinkMailTo() const { return FLinkMailTo; }
    void SetLinkMailTo(bool value) { FLinkMailTo = value; }
    const TNotifyEvent& OnIconClick() const { return FOnIconClick; }
    void SetOnIconClick(TNotifyEvent handler) { FOnIconClick = std::move(handler); }
    // The title font is set in place or replaced as a whole.
    TFont& TitleFont() { return FTitleFont; }
    const TFont& TitleFont() const { return FTitleFont; }
    void SetTitleFont(const TFont& font) { FTitleFont = font; }

    // Shows the About window modally; returns once it has been closed and
    // destroyed. An error while placing, filling or showing destroys the window
    // and then passes to the caller. With AutoPosition on the window is centred
    // over the owner form (outer sizes, truncating toward zero); a component
    // without an owner form places it at WindowLeft, WindowTop instead.
    void Execute();

    // The maker's values the constructor gives.
    static QString DefaultCopyright();
    static QString DefaultEMail();
    static QString DefaultWebPage();

private:
    QPointer<QWidget> FOwnerForm;
    std::int32_t FWindowTop = 0;
    std::int32_t FWindowLeft = 0;
    TFormBorderStyle FStyle = bsDialog;
    QPixmap FGraphic;
    QString FTitleHeader;
    QString FApplicationTitle;
    QString FTitleFooter;
    QString FVersion;
    QString FCopyright;
    QString FEMail;
    QString FWebPage;
    bool FLinkMailTo = false;
    bool FLinkWebPage = false;
    TNotifyEvent FOnIconClick;
    bool FAutoPosition = false;
    TFont FTitleFont;
};

}  // namespace tembrook
