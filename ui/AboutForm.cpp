#include "AboutForm.h"

#include "WindowGeometry.h"

#include <memory>

namespace tembrook {

namespace {

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
        const QPoint centred = tembrook::CentredPosition(FOwnerForm->frameGeometry(), QSize(274, 181));
        FWindowTop = centred.y();
        FWindowLeft = centred.x();
    }
    FTitleFont.Font = UiFont(32);  // 24 points at 96 pixels per inch
    FTitleFont.Color = clWindowText;
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::Execute()
{
    const auto window = std::make_unique<TAboutWindow>();

    if (FAutoPosition && FOwnerForm) {
        // The window's outer rectangle, frame included, centred over the
        // owner's. Its frame is known only once it is shown; until then the
        // owner's frame stands in for it (none for a borderless window).
        const QMargins estimate = FStyle == bsNone ? QMargins() : tembrook::WindowFrameMargins(*FOwnerForm);
        tembrook::CentreOuterOver(*window, FOwnerForm->frameGeometry(), estimate);
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

}  // namespace tembrook
