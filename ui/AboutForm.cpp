#include "AboutForm.h"

#include <memory>

namespace {

// The position a window of the given extent gets when centred over the owner's
// span: start + (extent - size) / 2, truncating toward zero.
std::int32_t Centred(int start, int extent, int size)
{
    return start + (extent - size) / 2;
}

QWidget* FormOf(QObject* owner)
{
    auto* widget = qobject_cast<QWidget*>(owner);
    return widget != nullptr && widget->isWindow() ? widget : nullptr;
}

}  // namespace

QString TAboutForm::DefaultCopyright()
{
    return QStringLiteral("Copyright (C) the Tembrook developers");
}

QString TAboutForm::DefaultEMail()
{
    return {};
}

QString TAboutForm::DefaultWebPage()
{
    return {};
}

TAboutForm::TAboutForm(QObject* owner)
    : QObject(owner), FOwnerForm(FormOf(owner)), FCopyright(DefaultCopyright()), FEMail(DefaultEMail()),
      FWebPage(DefaultWebPage())
{
    if (FOwnerForm) {
        // Fixed numbers, not the About window's real size.
        const QRect owner = FOwnerForm->frameGeometry();
        FWindowTop = Centred(owner.top(), owner.height(), 181);
        FWindowLeft = Centred(owner.left(), owner.width(), 274);
    }
    FTitleFont.Font = UiFont(32);  // 24 points at 96 pixels per inch
    FTitleFont.Color = clWindowText;
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::Execute()
{
    const auto window = std::make_unique<TAboutWindow>();

    if (FAutoPosition && FOwnerForm) {
        const QRect owner = FOwnerForm->frameGeometry();
        const QRect own = window->frameGeometry();
        window->move(Centred(owner.left(), owner.width(), own.width()),
                     Centred(owner.top(), owner.height(), own.height()));
    } else {
        window->move(FWindowLeft, FWindowTop);
    }

    window->SetBorderStyle(FStyle);
    window->SetPicture(FGraphic);
    window->TitleHeaderText->SetCaption(FTitleHeader);
    window->TitleText->SetCaption(FApplicationTitle);
    window->setWindowTitle(FApplicationTitle);
    window->TitleFooterText->SetCaption(FTitleFooter);
    window->VerText->SetCaption(FVersion);
    window->CopyrightText->SetCaption(FCopyright);
    window->SetEMail(FEMail);
    window->SetWebPage(FWebPage);
    window->SetWebLink(FLinkWebPage);
    window->SetMailLink(FLinkMailTo);
    window->SetIconClick(FOnIconClick);
    window->SetTitleFont(FTitleFont);

    window->ShowAbout();
}

TAboutForm* CreateTembrookAboutForm(QWidget* mainWindow)
{
    auto* about = new TAboutForm(mainWindow);
    about->setObjectName(QStringLiteral("AboutForm1"));
    about->SetAutoPosition(true);
    about->SetWindowTop(393);
    about->SetWindowLeft(335);
    about->SetStyle(bsDialog);
    about->SetApplicationTitle(QStringLiteral("Tembrook"));
    about->SetTitleHeader(QString());
    about->SetTitleFooter(QStringLiteral("[α version]"));
    about->SetVersion(QStringLiteral("0.10.10"));
    about->SetLinkWebPage(true);
    about->SetLinkMailTo(true);
    about->TitleFont().Font = UiFont(32);
    about->TitleFont().Color = clWindowText;
    return about;
}
