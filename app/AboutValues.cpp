#include "AboutValues.h"

#include "TembrookVersion.h"

namespace tembrook {

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
    about->SetVersion(QStringLiteral(TEMBROOK_VERSION));
    about->SetLinkWebPage(true);
    about->SetLinkMailTo(true);
    about->TitleFont().Font = UiFont(32);
    about->TitleFont().Color = clWindowText;
    return about;
}

}  // namespace tembrook
