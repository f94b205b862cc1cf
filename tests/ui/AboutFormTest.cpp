#include "AboutForm.h"
#include "UiTestSupport.h"
#include "WindowGeometry.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace tembrook::test {
namespace {

// --- construction ---------------------------------------------------------

struct OwnerCase {
    QRect owner;
    int top, left;
};

class AboutFormOwnerTest : public ::testing::TestWithParam<OwnerCase> {};

TEST_P(AboutFormOwnerTest, DefaultPositionCentresTheFixedSizeOverTheOwnerForm)
{
    const OwnerCase& c = GetParam();
    auto form = MakeOwnerForm(c.owner.left(), c.owner.top(), c.owner.width(), c.owner.height());
    TAboutForm about(form.get());
    EXPECT_EQ(about.OwnerForm(), form.get());
    EXPECT_EQ(about.WindowTop(), c.top);
    EXPECT_EQ(about.WindowLeft(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Owners, AboutFormOwnerTest,
    ::testing::Values(OwnerCase{QRect(66, 143, 813, 681), 393, 335}, OwnerCase{QRect(0, 0, 274, 181), 0, 0},
                      OwnerCase{QRect(10, 20, 273, 180), 20, 10},    // -1 / 2 truncates to 0
                      OwnerCase{QRect(10, 20, 100, 100), -20, -77},  // -81 / 2 and -174 / 2
                      OwnerCase{QRect(-50, -40, 300, 200), -31, -37}));

TEST(AboutFormTest, OwnerThatIsNotAFormGivesNoPositionAndNoOwnerForm)
{
    QObject plainOwner;
    TAboutForm* const onObject = new TAboutForm(&plainOwner);
    EXPECT_EQ(onObject->OwnerForm(), nullptr);
    EXPECT_EQ(onObject->WindowTop(), 0);
    EXPECT_EQ(onObject->WindowLeft(), 0);

    auto form = MakeOwnerForm(66, 143, 813, 681);
    auto* child = new QWidget(form.get());
    child->setGeometry(300, 300, 100, 100);
    const TAboutForm onChild(child);
    EXPECT_EQ(onChild.OwnerForm(), nullptr);
    EXPECT_EQ(onChild.WindowTop(), 0);
    EXPECT_EQ(onChild.WindowLeft(), 0);

    const TAboutForm none;
    EXPECT_EQ(none.OwnerForm(), nullptr);
    EXPECT_EQ(none.WindowTop(), 0);
}

TEST(AboutFormTest, ConstructorValues)
{
    const TAboutForm about;
    EXPECT_FALSE(about.AutoPosition());
    EXPECT_EQ(about.Style(), bsDialog);
    EXPECT_TRUE(about.Graphic().isNull());
    EXPECT_TRUE(about.ApplicationTitle().isEmpty());
    EXPECT_TRUE(about.TitleHeader().isEmpty());
    EXPECT_TRUE(about.TitleFooter().isEmpty());
    EXPECT_TRUE(about.Version().isEmpty());
    EXPECT_EQ(about.Copyright(), TAboutForm::DefaultCopyright());
    EXPECT_EQ(about.EMail(), TAboutForm::DefaultEMail());
    EXPECT_EQ(about.WebPage(), TAboutForm::DefaultWebPage());
    EXPECT_FALSE(about.LinkWebPage());
    EXPECT_FALSE(about.LinkMailTo());
    EXPECT_FALSE(about.OnIconClick());
    EXPECT_EQ(about.TitleFont().Font.pixelSize(), 32);
    EXPECT_EQ(about.TitleFont().Font.families().front(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(about.TitleFont().Color, clWindowText);
    EXPECT_FALSE(about.TitleFont().Font.bold());
}

// --- Execute --------------------------------------------------------------

// What a modal display saw of the window it was given.
struct Seen {
    QPointer<TAboutWindow> window;
    QPoint position;
    int calls = 0;
};

TScopedModalRunner Recording(Seen& seen, std::function<void(TAboutWindow&)> more = {})
{
    return TScopedModalRunner([&seen, more](TAboutWindow& window) {
        ++seen.calls;
        seen.window = &window;
        seen.position = window.pos();
        EXPECT_FALSE(window.isVisible());
        if (more)
            more(window);
    });
}

struct PlaceCase {
    QRect owner;
    bool autoPosition;
    QPoint expected;
};

class AboutFormPlacementTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(AboutFormPlacementTest, ExecutePlacesTheWindow)
{
    const PlaceCase& c = GetParam();
    auto form = MakeOwnerForm(c.owner.left(), c.owner.top(), c.owner.width(), c.owner.height());
    TAboutForm about(form.get());
    about.SetAutoPosition(c.autoPosition);
    about.SetWindowLeft(11);
    about.SetWindowTop(22);
    Seen seen;
    const auto runner = Recording(seen);
    about.Execute();
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.position, c.expected);
    EXPECT_EQ(about.WindowLeft(), 11);
    EXPECT_EQ(about.WindowTop(), 22);
}

INSTANTIATE_TEST_SUITE_P(Placements, AboutFormPlacementTest,
                         ::testing::Values(
                             // The window is 400 x 196.
                             PlaceCase{QRect(66, 143, 813, 681), true, QPoint(66 + 206, 143 + 242)},
                             PlaceCase{QRect(66, 143, 813, 196 - 121), true,
                                       QPoint(66 + 206, 143 - 60)},                       // -121 / 2 is -60
                             PlaceCase{QRect(66, 143, 399, 196), true, QPoint(66, 143)},  // -1 / 2 is 0
                             PlaceCase{QRect(66, 143, 813, 681), false, QPoint(11, 22)}));

struct ShownCase {
    const char* what;
    bool ownerShown;
    TFormBorderStyle style;
};

class AboutFormShownPlacementTest : public ::testing::TestWithParam<ShownCase> {};

// The offscreen platform frames windows, so the outer rectangle differs from
// the client area here as on a desktop.
TEST_P(AboutFormShownPlacementTest, TheShownWindowsOuterRectangleIsCentredOverTheOwners)
{
    const ShownCase& c = GetParam();
    auto form = MakeOwnerForm(66, 143, 813, 681);
    if (c.ownerShown) {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_FALSE(tembrook::WindowFrameMargins(*form).isNull());
    }
    TAboutForm about(form.get());
    about.SetAutoPosition(true);
    about.SetStyle(c.style);
    QRect shown;
    QRect centred;
    QMargins frame;
    TScopedModalRunner runner([&](TAboutWindow& window) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        frame = tembrook::WindowFrameMargins(window);
        const QSize outer = window.size().grownBy(frame);
        centred = QRect(tembrook::CentredPosition(form->frameGeometry(), outer), outer);
        static_cast<void>(QTest::qWaitFor([&] { return window.frameGeometry() == centred; }, 60000));
        shown = window.frameGeometry();
        window.close();
    });
    about.Execute();
    EXPECT_EQ(frame.isNull(), c.style == bsNone);
    EXPECT_EQ(shown, centred);
}

INSTANTIATE_TEST_SUITE_P(
    OwnersAndStyles, AboutFormShownPlacementTest,
    ::testing::Values(ShownCase{"DialogOverAFramedOwner", true, bsDialog},
                      // Without the owner's frame to go by, the window is centred again once framed.
                      ShownCase{"DialogOverAnOwnerNotYetFramed", false, bsDialog},
                      ShownCase{"BorderlessOverAFramedOwner", true, bsNone}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(AboutFormTest, AutoPositionWithoutOwnerFormUsesTheStoredPosition)
{
    QObject plainOwner;
    auto* about = new TAboutForm(&plainOwner);
    about->SetAutoPosition(true);
    about->SetWindowLeft(70);
    about->SetWindowTop(80);
    Seen seen;
    const auto runner = Recording(seen);
    about->Execute();
    EXPECT_EQ(seen.position, QPoint(70, 80));
}

TEST(AboutFormTest, ExecuteFillsTheWindowFromTheProperties)
{
    auto form = MakeOwnerForm(66, 143, 813, 681);
    TAboutForm about(form.get());
    QPixmap picture(24, 40);
    picture.fill(Qt::blue);
    about.SetGraphic(picture);
    about.SetStyle(bsToolWindow);
    about.SetTitleHeader(QStringLiteral("header"));
    about.SetApplicationTitle(QStringLiteral("Tembrook"));
    about.SetTitleFooter(QStringLiteral("[α version]"));
    about.SetVersion(QStringLiteral("0.10.10"));
    about.SetCopyright(QStringLiteral("notice"));
    about.SetEMail(QStringLiteral("   "));
    about.SetWebPage(QStringLiteral("http://www.example.org/"));
    about.SetLinkWebPage(true);
    about.SetLinkMailTo(false);
    about.TitleFont().Font.setItalic(true);
    about.TitleFont().Color = 0x0000FF;
    QList<QObject*> iconClicks;
    about.SetOnIconClick([&](QObject* sender) { iconClicks.append(sender); });
    TOSVersionRecord record;
    record.PlatformId = kVerPlatformWin32NT;
    record.MajorVersion = 5;
    record.MinorVersion = 1;
    record.BuildNumber = 2600;
    record.CSDVersion = "Service Pack 3";
    TScopedOSVersion version(record);

    Seen seen;
    const auto runner = Recording(seen, [&](TAboutWindow& w) {
        EXPECT_EQ(w.BorderStyle(), bsToolWindow);
        EXPECT_EQ(w.GraphPicture->size(), QSize(24, 40));
        EXPECT_EQ(w.TitleHeaderText->Caption(), QStringLiteral("header"));
        EXPECT_EQ(w.TitleText->Caption(), QStringLiteral("Tembrook"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Tembrook"));
        EXPECT_EQ(w.TitleFooterText->Caption(), QStringLiteral("[α version]"));
        EXPECT_EQ(w.VerText->Caption(), QStringLiteral("0.10.10"));
        EXPECT_EQ(w.CopyrightText->Caption(), QStringLiteral("notice"));
        EXPECT_EQ(w.EMailText->Caption(), QStringLiteral("   "));
        EXPECT_TRUE(w.EMailTitleLabel->isHidden());
        EXPECT_EQ(w.WebPageText->Caption(), QStringLiteral("http://www.example.org/"));
        EXPECT_FALSE(w.WebPageTitleLabel->isHidden());
        EXPECT_TRUE(w.WebLinkOn());
        EXPECT_FALSE(w.MailLinkOn());
        EXPECT_TRUE(w.WebPageText->font().underline());
        EXPECT_TRUE(w.TitleText->font().italic());
        EXPECT_EQ(w.TitleText->font().pixelSize(), 32);
        EXPECT_EQ(w.TitleText->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
        EXPECT_EQ(w.OSEnvironmentDispLabel->Caption(),
                  QStringLiteral("Windows 2000 or later(5.1.2600) [Build 2600 Service Pack 3]"));
        w.GraphPictureClick();
    });
    about.Execute();
    ASSERT_EQ(seen.calls, 1);
    EXPECT_EQ(iconClicks.size(), 1);
    EXPECT_TRUE(seen.window.isNull()) << "the window is destroyed when Execute returns";
    // The component is not changed by showing it.
    EXPECT_EQ(about.EMail(), QStringLiteral("   "));
    EXPECT_TRUE(about.TitleFont().Font.italic());
}

TEST(AboutFormTest, EveryExecuteBuildsAndPlacesAFreshWindow)
{
    auto form = MakeOwnerForm(66, 143, 813, 681);
    TAboutForm about(form.get());
    about.SetAutoPosition(true);
    about.SetApplicationTitle(QStringLiteral("Tembrook"));
    Seen seen;
    const auto runner = Recording(seen, [](TAboutWindow& w) {
        // The user moves the window and changes what it shows.
        w.move(5, 5);
        w.TitleText->SetCaption(QStringLiteral("changed"));
    });
    about.Execute();
    about.Execute();
    EXPECT_EQ(seen.calls, 2);
    EXPECT_EQ(seen.position, QPoint(272, 385));
    EXPECT_TRUE(seen.window.isNull());
    EXPECT_EQ(about.ApplicationTitle(), QStringLiteral("Tembrook"));
}

TEST(AboutFormTest, WindowIsDestroyedAlsoWhenTheDisplayFails)
{
    TAboutForm about;
    Seen seen;
    const auto runner = Recording(seen, [](TAboutWindow&) { throw std::runtime_error("display failed"); });
    EXPECT_THROW(about.Execute(), std::runtime_error);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_TRUE(seen.window.isNull());
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TAboutWindow*>(widget), nullptr);
}

}  // namespace
}  // namespace tembrook::test
