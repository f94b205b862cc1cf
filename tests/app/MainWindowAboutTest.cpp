// The real main window's user-interface components, offscreen: the box label
// in front of the URL field, the About box component AboutForm1, and the
// right-button release over Start that opens it instead of starting an import
// (checked against a loopback server that must see no request).

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "AboutForm.h"
#include "AboutValuesChecks.h"
#include "AboutWindow.h"
#include "AppTestSupport.h"
#include "BookListModel.h"
#include "BoxLabels.h"
#include "ConnectionState.h"
#include "HTTPTransferThreadUnit.h"
#include "OSVersion.h"
#include "ScopedOverride.h"
#include "TembrookMainWindow.h"
#include "TestHttpServer.h"
#include "WindowGeometry.h"

namespace tembrook::test {
namespace {

class AboutEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        // Downloads in these tests go to 127.0.0.1 only, never through a proxy.
        qputenv("no_proxy", "127.0.0.1,localhost");
        qputenv("NO_PROXY", "127.0.0.1,localhost");
        InitializeTransfers();
        QCoreApplication::setApplicationName(QStringLiteral("Tembrook"));
    }
};
[[maybe_unused]] const testing::Environment* const kAboutEnvironment =
    testing::AddGlobalTestEnvironment(new AboutEnvironment);

class ConnectedState : public platform::TConnectionState {
public:
    bool IsOfflineByUser() override { return false; }
    bool IsConnected() override { return true; }
    bool AttemptConnect() override { return true; }
};

// Puts a function in place of the About window's modal display for its
// lifetime.
using ScopedModalRunner =
    platform::TScopedOverride<TAboutWindow::TModalRunner, &TAboutWindow::SetModalRunner>;

// What the About window held when it was shown.
struct ShownAbout {
    QString WindowTitle;
    QString Title;
    QString Header;
    QString Footer;
    QString Version;
    QString Copyright;
    QString Environment;
    bool WebLinkOn = false;
    bool MailLinkOn = false;
    bool EMailTitleShown = true;
    bool WebPageTitleShown = true;
    QPoint Position;
    QSize Size;
};

ShownAbout Capture(const TAboutWindow& window)
{
    ShownAbout seen;
    seen.WindowTitle = window.windowTitle();
    seen.Title = window.TitleText->Caption();
    seen.Header = window.TitleHeaderText->Caption();
    seen.Footer = window.TitleFooterText->Caption();
    seen.Version = window.VerText->Caption();
    seen.Copyright = window.CopyrightText->Caption();
    seen.Environment = window.OSEnvironmentDispLabel->Caption();
    seen.WebLinkOn = window.WebLinkOn();
    seen.MailLinkOn = window.MailLinkOn();
    seen.EMailTitleShown = !window.EMailTitleLabel->isHidden();
    seen.WebPageTitleShown = !window.WebPageTitleLabel->isHidden();
    seen.Position = window.frameGeometry().topLeft();
    seen.Size = window.frameGeometry().size();
    return seen;
}

// The top page links nothing, so a started import makes exactly one request.
const char* const kTopPage = "<html><body>no tables</body></html>\r\n";

class MainWindowAbout : public testing::Test {
protected:
    void SetUp() override
    {
        FServer.ServeBody("/comic/index.html", kTopPage);
        Child<QLineEdit>(FWindow, "SourceURLEdit")
            ->setText(QString::fromStdString(FServer.Url("/comic/index.html")));
        FWindow.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&FWindow));
        ASSERT_NE(FWindow.ImportView().Road(), nullptr);
    }

    void TearDown() override { StopAllTransfers(); }

    // Everything an import would change, to compare before and after.
    struct Snapshot {
        QString Log;
        QString Status0;
        QString Status1;
        int Rows = 0;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Take() const
    {
        return {Child<QPlainTextEdit>(FWindow, "Memo1")->toPlainText(), StatusPanel(FWindow, 0)->text(),
                StatusPanel(FWindow, 1)->text(), FWindow.ImportView().BookList().Count()};
    }

    QPushButton* Start() const { return Child<QPushButton>(FWindow, "StartInportButton"); }

    platform::TScopedConnectionState FConnection{std::make_shared<ConnectedState>()};
    MessageRecorder FMessages;
    TestHttpServer FServer;
    TTembrookMainForm FWindow;
};

TEST(MainWindowBoxLabel, IsTheBoxLabelWithTheURLCaptionInsidePanel1)
{
    TTembrookMainForm window;
    TBoxLabel* label = Child<TBoxLabel>(window, "BoxLabel1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), Child<QFrame>(window, "Panel1"));
    EXPECT_EQ(label->Name(), QStringLiteral("BoxLabel1"));
    EXPECT_EQ(label->Caption(), QStringLiteral("TembrookURL"));
    EXPECT_EQ(label->Alignment(), taCenter);
    EXPECT_EQ(label->BackColor(), clBtnFace);
    EXPECT_EQ(label->geometry(), QRect(4, 8, 77, 17));
    EXPECT_EQ(label->font(), Child<QFrame>(window, "Panel1")->font())
        << "the caption is drawn in the window's font";
    // The stand-in label is gone: nothing else in the window shows the caption.
    for (const QLabel* other : window.findChildren<QLabel*>())
        EXPECT_NE(other->text(), QStringLiteral("TembrookURL")) << other->objectName().toStdString();
}

TEST(MainWindowBoxLabel, IsDrawnWithItsSunkenFrameAndCentredCaptionInTheWindow)
{
    TTembrookMainForm window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TBoxLabel* label = Child<TBoxLabel>(window, "BoxLabel1");
    const QImage image = Child<QFrame>(window, "Panel1")->grab(label->geometry()).toImage();
    ASSERT_EQ(image.size(), QSize(77, 17));
    const QPalette& palette = label->palette();
    const QRgb face = palette.color(QPalette::Button).rgb();
    const QRgb shadow = palette.color(QPalette::Dark).rgb();
    const QRgb highlight = palette.color(QPalette::Light).rgb();
    ASSERT_NE(shadow, highlight);
    EXPECT_EQ(image.pixel(0, 0), shadow);
    EXPECT_EQ(image.pixel(40, 0), shadow);
    EXPECT_EQ(image.pixel(0, 8), shadow);
    EXPECT_EQ(image.pixel(76, 8), highlight);
    EXPECT_EQ(image.pixel(40, 16), highlight);
    EXPECT_EQ(image.pixel(0, 16), face) << "the frame leaves the bottom-left corner in the background";

    // The caption's ink lies inside the band, about the middle of the label.
    QRect ink;
    for (int y = 1; y < 16; ++y)
        for (int x = 1; x < 76; ++x)
            if (image.pixel(x, y) != face)
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty()) << "the caption is drawn";
    const QRect band = label->TextBand();
    EXPECT_TRUE(band.contains(ink)) << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x"
                                    << ink.height();
    EXPECT_LE(std::abs((ink.left() - 0) - (76 - ink.right())), 3) << "centred";
}

TEST(MainWindowAboutForm, IsAboutForm1WithTheWindowsValues)
{
    TTembrookMainForm window;
    TAboutForm* about = Child<TAboutForm>(window, "AboutForm1");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->parent(), &window) << "the window owns it";
    EXPECT_EQ(about->OwnerForm(), &window);
    ExpectTembrookAboutValues(*about);
}

// The texts that the layouts show whole, measured in the face the program
// gets here (the form face is not on Linux; its fallback has its widths):
// each must fit in the room its layout gives it, the box label's band, a
// status panel, a fixed label, or the space up to the control beside it.
TEST_F(MainWindowAbout, TheLayoutsTextsFitWhereTheyAreShownWhole)
{
    struct Room {
        QString What;
        QFont Font;
        QString Text;
        int Width;
    };
    TBoxLabel* box = Child<TBoxLabel>(FWindow, "BoxLabel1");
    QLabel* progress = StatusPanel(FWindow, 1);
    std::vector<Room> rooms = {
        {QStringLiteral("BoxLabel1"), box->font(), box->Caption(), box->TextBand().width()},
        {QStringLiteral("status panel 1"), progress->font(), QStringLiteral("999,999,999Kbyte"),
         progress->contentsRect().width() - 2 * progress->margin()},
    };
    TAboutForm* about = Child<TAboutForm>(FWindow, "AboutForm1");
    about->SetEMail(QStringLiteral("tembrook@example.org"));
    about->SetWebPage(QStringLiteral("http://www.example.org/"));
    ScopedModalRunner runner([&rooms](TAboutWindow& w) {
        const auto add = [&rooms](const char* what, TAboutLabel* label, int width) {
            rooms.push_back({QString::fromUtf8(what), label->font(), label->Caption(), width});
        };
        add("TitleText", w.TitleText, w.TitleText->width());
        add("TitleFooterText", w.TitleFooterText, w.TitleFooterText->width());
        add("Label2", w.Label2, w.VerText->x() - w.Label2->x());
        add("EMailTitleLabel", w.EMailTitleLabel, w.EMailText->x() - w.EMailTitleLabel->x());
        add("WebPageTitleLabel", w.WebPageTitleLabel, w.WebPageText->x() - w.WebPageTitleLabel->x());
    });
    about->Execute();
    ASSERT_EQ(rooms.size(), 7u);
    for (const Room& room : rooms) {
        EXPECT_LE(QFontMetrics(room.Font).horizontalAdvance(room.Text), room.Width)
            << room.What.toStdString() << ": \"" << room.Text.toStdString() << "\" in "
            << QFontInfo(room.Font).family().toStdString() << " " << room.Font.pixelSize() << " px";
    }
}

TEST_F(MainWindowAbout, ARightReleaseOverStartOpensTheAboutBoxAndStartsNothing)
{
    const Snapshot before = Take();
    ASSERT_EQ(before.Log, QStringLiteral("Memo1"));
    std::vector<ShownAbout> shown;
    {
        ScopedModalRunner runner([&](TAboutWindow& window) { shown.push_back(Capture(window)); });
        QTest::mouseClick(Start(), Qt::RightButton, {}, QPoint(10, 10));
    }
    ASSERT_EQ(shown.size(), 1u);
    const ShownAbout& about = shown[0];
    EXPECT_EQ(about.WindowTitle, QStringLiteral("Tembrook"));
    EXPECT_EQ(about.Title, QStringLiteral("Tembrook"));
    EXPECT_EQ(about.Header, QString());
    EXPECT_EQ(about.Footer, QStringLiteral("[α version]"));
    EXPECT_EQ(about.Version, QStringLiteral("0.10.10"));
    EXPECT_EQ(about.Copyright, TAboutForm::DefaultCopyright());
    EXPECT_EQ(about.Environment, platform::OSEnvironmentText());
    EXPECT_TRUE(about.WebLinkOn);
    EXPECT_TRUE(about.MailLinkOn);
    EXPECT_EQ(about.EMailTitleShown, TAboutWindow::HasText(TAboutForm::DefaultEMail()));
    EXPECT_EQ(about.WebPageTitleShown, TAboutWindow::HasText(TAboutForm::DefaultWebPage()));

    // Its outer rectangle centred over the main window's (66, 143, 813 x 681),
    // halves truncated toward zero. Not yet shown, the About window has no
    // frame of its own: the main window's (2 pixels offscreen) stands in.
    const QRect owner = FWindow.frameGeometry();
    ASSERT_EQ(owner, TTembrookMainForm::DefaultOuterGeometry());
    const QMargins frame = WindowFrameMargins(FWindow);
    ASSERT_FALSE(frame.isNull()) << "the offscreen platform frames windows";
    EXPECT_EQ(about.Size, QSize(400, 196));
    const QSize outer = about.Size.grownBy(frame);
    EXPECT_EQ(about.Position,
              QPoint(owner.left() + (owner.width() - outer.width()) / 2,
                     owner.top() + (owner.height() - outer.height()) / 2));

    // No import: nothing reaches the server, the log, the status and the
    // design row stay as they were.
    PumpEvents(std::chrono::milliseconds(200));
    EXPECT_TRUE(FServer.Requests().empty());
    EXPECT_EQ(Take(), before);
    EXPECT_TRUE(FMessages.Messages.empty());
}

TEST_F(MainWindowAbout, EveryRightReleaseBuildsAFreshWindowPlacedAgain)
{
    std::vector<ShownAbout> shown;
    ScopedModalRunner runner([&](TAboutWindow& window) {
        shown.push_back(Capture(window));
        window.move(0, 0);  // where the user dragged it; the next one does not keep that
    });
    QTest::mouseClick(Start(), Qt::RightButton);
    FWindow.move(100, 150);
    ASSERT_TRUE(WaitUntil([this] { return FWindow.frameGeometry().topLeft() == QPoint(100, 150); }));
    QTest::mouseClick(Start(), Qt::RightButton);
    ASSERT_EQ(shown.size(), 2u);
    const QSize outer = QSize(400, 196).grownBy(WindowFrameMargins(FWindow));
    EXPECT_EQ(shown[0].Position, CentredPosition(TTembrookMainForm::DefaultOuterGeometry(), outer));
    EXPECT_EQ(shown[1].Position, shown[0].Position + QPoint(34, 7));
    EXPECT_TRUE(FServer.Requests().empty());
}

TEST_F(MainWindowAbout, ALeftClickOnStartStillStartsAndOpensNothing)
{
    int aboutWindows = 0;
    ScopedModalRunner runner([&](TAboutWindow&) { ++aboutWindows; });
    QTest::mouseClick(Start(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(Child<QPlainTextEdit>(FWindow, "Memo1")->toPlainText(), QString())
        << "the log is emptied at once";
    EXPECT_EQ(StatusPanel(FWindow, 0)->text(), QStringLiteral("トップリスト取込中.."));
    ASSERT_TRUE(WaitUntil([this] {
        const TImportRoad* road = FWindow.ImportView().Road();
        return road->Outcome().TopPageDone && road->RunningTransfers() == 0;
    }));
    EXPECT_EQ(FServer.RequestCount("/comic/index.html"), 1u);
    EXPECT_EQ(StatusPanel(FWindow, 0)->text(), QStringLiteral("取得成功"));
    EXPECT_EQ(aboutWindows, 0);
}

TEST_F(MainWindowAbout, OtherButtonsNeitherOpenTheAboutBoxNorStart)
{
    const Snapshot before = Take();
    int aboutWindows = 0;
    ScopedModalRunner runner([&](TAboutWindow&) { ++aboutWindows; });
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        SCOPED_TRACE(static_cast<int>(button));
        QTest::mouseClick(Start(), button, {}, QPoint(10, 10));
    }
    // Called directly, as the event would.
    FWindow.StartInportButtonMouseUp(Start(), Qt::LeftButton, Qt::NoModifier, 10, 10);
    PumpEvents(std::chrono::milliseconds(100));
    EXPECT_EQ(aboutWindows, 0);
    EXPECT_TRUE(FServer.Requests().empty());
    EXPECT_EQ(Take(), before);
}

TEST_F(MainWindowAbout, AnErrorWhileTheAboutBoxOpensIsShownAndStartsNothing)
{
    const Snapshot before = Take();
    // CP932 message text: 表示 = 0x95 0x5C 0x8E 0xA6.
    ScopedModalRunner runner(
        [](TAboutWindow&) { throw std::runtime_error("About \x95\x5C\x8E\xA6 failed"); });
    QTest::mouseClick(Start(), Qt::RightButton);
    ASSERT_EQ(FMessages.Messages.size(), 1u);
    EXPECT_EQ(FMessages.Messages[0].Kind, TMessageKind::mkError);
    EXPECT_EQ(FMessages.Messages[0].Title, QStringLiteral("Tembrook"));
    EXPECT_EQ(FMessages.Messages[0].Text, QStringLiteral("About 表示 failed"));
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TAboutWindow*>(window), nullptr) << "the failed About window is destroyed";
    PumpEvents(std::chrono::milliseconds(100));
    EXPECT_TRUE(FServer.Requests().empty());
    EXPECT_EQ(Take(), before);
    // The window is still usable: the next right release opens the box.
    int aboutWindows = 0;
    ScopedModalRunner working([&](TAboutWindow&) { ++aboutWindows; });
    QTest::mouseClick(Start(), Qt::RightButton);
    EXPECT_EQ(aboutWindows, 1);
}

}  // namespace
}  // namespace tembrook::test
