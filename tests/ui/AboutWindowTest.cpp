#include "AboutWindow.h"
#include "MessageBoxes.h"
#include "UiTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace tembrook::test {
namespace {

// --- the blank rule ---------------------------------------------------------

TEST(AboutWindowTextTest, AddressIsBlankWhenOnlyCharactersUpToTheSpaceRemain)
{
    EXPECT_FALSE(TAboutWindow::HasText(QString()));
    EXPECT_FALSE(TAboutWindow::HasText(QStringLiteral("    ")));
    EXPECT_FALSE(TAboutWindow::HasText(QStringLiteral(" \t\r\n\x1f ")));
    EXPECT_TRUE(TAboutWindow::HasText(QStringLiteral("  a  ")));
    EXPECT_TRUE(TAboutWindow::HasText(QStringLiteral("!")));
    EXPECT_TRUE(TAboutWindow::HasText(QStringLiteral("\u3000")));  // an ideographic space is text
}

// --- the window -----------------------------------------------------------

struct LayoutCase {
    const char* name;
    QRect geometry;
    int fontPixels;  // 0: the window's font
};

TEST(AboutWindowTest, LayoutFollowsTheWindowDescription)
{
    TAboutWindow window;
    EXPECT_EQ(window.size(), QSize(400, 196));
    EXPECT_EQ(window.BorderStyle(), bsDialog);
    EXPECT_EQ(window.font().pixelSize(), 12);

    const std::pair<QWidget*, LayoutCase> fixedSize[] = {
        {window.GraphPicture, {"GraphPicture", QRect(8, 8, 32, 32), 0}},
        {window.TitleHeaderText, {"TitleHeaderText", QRect(48, 4, 349, 16), 15}},
        {window.TitleText, {"TitleText", QRect(48, 20, 345, 29), 32}},
        {window.TitleFooterText, {"TitleFooterText", QRect(56, 52, 337, 13), 13}},
        {window.Bevel1, {"Bevel1", QRect(36, 144, 357, 9), 0}},
        {window.OKButton, {"OKButton", QRect(320, 168, 77, 25), 0}},
    };
    for (const auto& [widget, c] : fixedSize) {
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        EXPECT_EQ(widget->font().pixelSize(), c.fontPixels == 0 ? 12 : c.fontPixels) << c.name;
    }
    // Labels that size to their text keep their place.
    const std::pair<TAboutLabel*, LayoutCase> sized[] = {
        {window.Label2, {"Label2", QRect(48, 68, 0, 0), 15}},
        {window.VerText, {"VerText", QRect(100, 68, 0, 0), 15}},
        {window.CopyrightText, {"CopyrightText", QRect(56, 96, 0, 0), 13}},
        {window.EMailTitleLabel, {"EMailTitleLabel", QRect(56, 112, 0, 0), 13}},
        {window.EMailText, {"EMailText", QRect(100, 112, 0, 0), 13}},
        {window.WebPageTitleLabel, {"WebPageTitleLabel", QRect(56, 128, 0, 0), 13}},
        {window.WebPageText, {"WebPageText", QRect(108, 128, 0, 0), 13}},
        {window.OSEnvironmentDispLabel, {"OSEnvironmentDispLabel", QRect(48, 152, 0, 0), 0}},
    };
    for (const auto& [label, c] : sized) {
        EXPECT_TRUE(label->AutoSize()) << c.name;
        EXPECT_EQ(label->pos(), c.geometry.topLeft()) << c.name;
        EXPECT_EQ(label->font().pixelSize(), c.fontPixels == 0 ? 12 : c.fontPixels) << c.name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << c.name;
    }
    EXPECT_EQ(window.Label2->Caption(), QStringLiteral("version"));
    EXPECT_EQ(window.EMailTitleLabel->Caption(), QStringLiteral("E-Mail:"));
    EXPECT_EQ(window.WebPageTitleLabel->Caption(), QStringLiteral("WebPage:"));
    EXPECT_EQ(window.OKButton->text(), QStringLiteral("OK"));
    EXPECT_TRUE(window.OKButton->isDefault());
}

TEST(AboutWindowTest, SizedLabelsFollowTheirText)
{
    TAboutWindow window;
    window.VerText->SetCaption(QStringLiteral("0"));
    const int narrow = window.VerText->width();
    window.VerText->SetCaption(QStringLiteral("0.10.10 build 12345"));
    EXPECT_GT(window.VerText->width(), narrow);
    // A fixed-size label does not.
    window.TitleFooterText->SetCaption(QString(200, QLatin1Char('x')));
    EXPECT_EQ(window.TitleFooterText->size(), QSize(337, 13));
}

TEST(AboutWindowTest, FixedSizeLabelsDrawFromTheTopAndCutTheTextAtTheBottom)
{
    TAboutWindow window;
    // The title (32 pixels high in 29) is lower than a line of its text.
    const std::pair<TAboutLabel*, bool> labels[] = {
        {window.TitleHeaderText, false}, {window.TitleText, true}, {window.TitleFooterText, false}};
    for (const auto& [label, cut] : labels) {
        SCOPED_TRACE(label->height());
        label->SetCaption(QStringLiteral("Tembrook gjpqy"));
        const QImage fixed = RenderWidget(*label);
        // The same label with room below: its top rows are what the fixed one shows.
        const QSize size = label->size();
        label->resize(size.width(), 100);
        const QImage tall = RenderWidget(*label);
        label->resize(size);
        EXPECT_EQ(fixed, tall.copy(QRect(QPoint(0, 0), size)));
        if (cut) {
            EXPECT_GT(label->sizeHint().height(), size.height());
            EXPECT_NE(InkBounds(fixed, QRect(0, size.height() - 1, size.width(), 1), qRgb(255, 0, 255)),
                      QRect())
                << "the cut text reaches the bottom row";
        }
    }
}

TEST(AboutWindowTest, TitleLabelsAreHiddenForBlankAddresses)
{
    TAboutWindow window;
    struct Case {
        QString address;
        bool shown;
    };
    for (const Case& c : {Case{QString(), false}, Case{QStringLiteral("   "), false},
                          Case{QStringLiteral(" someone@example.org "), true}}) {
        window.SetEMail(c.address);
        window.SetWebPage(c.address);
        EXPECT_EQ(window.EMailText->Caption(), c.address);
        EXPECT_EQ(window.WebPageText->Caption(), c.address);
        EXPECT_EQ(!window.EMailTitleLabel->isHidden(), c.shown) << c.address.toStdString();
        EXPECT_EQ(!window.WebPageTitleLabel->isHidden(), c.shown) << c.address.toStdString();
    }
}

TEST(AboutWindowTest, LinkLookIsAppliedEveryTimeTheSwitchIsSet)
{
    TAboutWindow window;
    const QColor windowText = ColorToQColor(clWindowText, window.palette());
    ASSERT_NE(windowText, QColor(0, 0, 0xFF));
    QFont bold = window.WebPageText->font();
    bold.setBold(true);
    window.WebPageText->setFont(bold);

    for (const bool on : {true, true, false, false, true}) {
        window.SetWebLink(on);
        window.SetMailLink(!on);
        for (const auto& [label, linked] :
             {std::pair{window.WebPageText, on}, std::pair{window.EMailText, !on}}) {
            EXPECT_EQ(label->palette().color(QPalette::WindowText), linked ? QColor(0, 0, 0xFF) : windowText);
            EXPECT_EQ(label->font().underline(), linked);
            EXPECT_FALSE(label->font().bold());
            EXPECT_EQ(label->testAttribute(Qt::WA_SetCursor), linked);
            if (linked) {
                EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
            }
        }
        EXPECT_EQ(window.WebLinkOn(), on);
        EXPECT_EQ(window.MailLinkOn(), !on);
    }
}

TEST(AboutWindowTest, LinkClicksOpenThroughTheShellOnlyWhenSwitchedOn)
{
    TRecordingShellLauncher launcher;
    TAboutWindow window;
    window.SetWebPage(QStringLiteral("http://www.example.org/tembrook/"));
    window.SetEMail(QStringLiteral("someone@example.org"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    struct Case {
        bool web, mail;
        QStringList opened;
    };
    const Case cases[] = {
        {false, false, {}},
        {false, true, {QStringLiteral("MailTo:someone@example.org")}},
        {true, false, {QStringLiteral("http://www.example.org/tembrook/")}},
        {true,
         true,
         {QStringLiteral("http://www.example.org/tembrook/"), QStringLiteral("MailTo:someone@example.org")}},
    };
    for (const Case& c : cases) {
        launcher.Opened.clear();
        window.SetWebLink(c.web);
        window.SetMailLink(c.mail);
        QTest::mouseClick(window.WebPageText, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseClick(window.EMailText, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseClick(window.EMailText, Qt::RightButton, {}, QPoint(3, 3));
        EXPECT_EQ(launcher.Opened, c.opened) << c.web << c.mail;
        // A screen reader presses a link as the mouse clicks it; no link, no press.
        launcher.Opened.clear();
        for (const auto& [label, on] :
             {std::pair{window.WebPageText, c.web}, std::pair{window.EMailText, c.mail}}) {
            QAccessibleInterface* link = QAccessible::queryAccessibleInterface(label);
            EXPECT_EQ(link->role() == QAccessible::Link, on);
            link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        EXPECT_EQ(launcher.Opened, c.opened) << c.web << c.mail;
    }

    // The caption at click time counts, cut to the launch buffer.
    launcher.Opened.clear();
    window.EMailText->SetCaption(QString(300, QLatin1Char('m')));
    window.WebPageText->SetCaption(QStringLiteral("http://example.org/") + QString(300, QChar(u'あ')));
    window.EMailTextClick();
    window.WebPageTextClick();
    ASSERT_EQ(launcher.Opened.size(), 2);
    EXPECT_EQ(launcher.Opened[0], QStringLiteral("MailTo:") + QString(248, QLatin1Char('m')));
    EXPECT_EQ(launcher.Opened[1], QStringLiteral("http://example.org/") + QString(78, QChar(u'あ')));
}

TEST(AboutWindowTest, PictureClickCallsTheHandlerWithTheWindow)
{
    TAboutWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.GraphPicture, Qt::LeftButton);  // no handler: nothing happens

    QList<QObject*> senders;
    window.SetIconClick([&](QObject* sender) { senders.append(sender); });
    QTest::mouseClick(window.GraphPicture, Qt::LeftButton);
    QTest::mouseClick(window.GraphPicture, Qt::RightButton);
    EXPECT_EQ(senders, QList<QObject*>({&window}));
}

TEST(AboutWindowTest, FailingPictureHandlerIsReportedNotPropagated)
{
    TAboutWindow window;
    window.setWindowTitle(QStringLiteral("Tembrook"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.SetIconClick([](QObject*) { throw std::runtime_error("Cannot create file x.txt"); });
    QTest::mouseClick(window.GraphPicture, Qt::LeftButton);

    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), QStringLiteral("Cannot create file x.txt"));
    EXPECT_EQ(boxes.front()->windowTitle(), QStringLiteral("Tembrook"));
    EXPECT_TRUE(window.isVisible());
    boxes.front()->close();
}

TEST(AboutWindowTest, FailingLinkHandlersBoxGoesThroughTheMessageHookWithoutBlocking)
{
    TAboutWindow window;
    window.setWindowTitle(QStringLiteral("Tembrook"));
    std::vector<TShownMessage> shown;
    const TScopedMessageHook hook([&](const TShownMessage& message) { shown.push_back(message); });
    window.WebPageText->OnClick = [] { throw std::runtime_error("Cannot open x"); };
    window.WebPageText->Click();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Kind, TMessageKind::mkError);
    EXPECT_EQ(shown[0].Title, QStringLiteral("Tembrook"));
    EXPECT_EQ(shown[0].Text, QStringLiteral("Cannot open x"));
    EXPECT_FALSE(shown[0].Blocks);
    EXPECT_TRUE(window.findChildren<QMessageBox*>().isEmpty());
}

TEST(AboutWindowTest, PictureSizesTheImageToIt)
{
    TAboutWindow window;
    window.SetPicture(QPixmap());
    EXPECT_EQ(window.GraphPicture->size(), QSize(32, 32));
    QPixmap picture(48, 20);
    picture.fill(Qt::red);
    window.SetPicture(picture);
    EXPECT_EQ(window.GraphPicture->size(), QSize(48, 20));
    EXPECT_EQ(window.GraphPicture->pixmap().size(), QSize(48, 20));
    EXPECT_EQ(window.GraphPicture->pos(), QPoint(8, 8));
}

TEST(AboutWindowTest, BorderStylesKeepThePositionAndTheClientSize)
{
    TAboutWindow window;
    window.move(123, 45);
    struct Case {
        TFormBorderStyle style;
        bool frameless, sizeable;
    };
    for (const Case c :
         {Case{bsNone, true, false}, Case{bsSingle, false, false}, Case{bsSizeable, false, true},
          Case{bsDialog, false, false}, Case{bsToolWindow, false, false}, Case{bsSizeToolWin, false, true}}) {
        window.SetBorderStyle(c.style);
        EXPECT_EQ(window.BorderStyle(), c.style);
        EXPECT_EQ(window.pos(), QPoint(123, 45)) << int(c.style);
        EXPECT_EQ(window.size(), QSize(400, 196)) << int(c.style);
        EXPECT_EQ(window.windowFlags().testFlag(Qt::FramelessWindowHint), c.frameless) << int(c.style);
        EXPECT_EQ(window.minimumSize() != window.maximumSize(), c.sizeable) << int(c.style);
    }
}

TEST(AboutWindowTest, EscapeDoesNothingEnterPressesOk)
{
    TAboutWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(window.OKButton, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.OKButton, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST(AboutWindowTest, ShowAboutSetsTheEnvironmentLineBeforeTheModalDisplay)
{
    TOSVersionRecord record;
    record.PlatformId = kVerPlatformLinux;
    record.MajorVersion = 6;
    record.MinorVersion = 1;
    record.CSDVersion = "6.1.0-18-amd64";
    record.SystemName = "Linux";
    TScopedOSVersion version(record);

    QString shown;
    TScopedModalRunner runner(
        [&](TAboutWindow& window) { shown = window.OSEnvironmentDispLabel->Caption(); });
    TAboutWindow window;
    window.ShowAbout();
    EXPECT_EQ(shown, QStringLiteral("Linux(6.1.0) [Build 0 6.1.0-18-amd64]"));
    EXPECT_EQ(window.OSEnvironmentDispLabel->width(), window.OSEnvironmentDispLabel->sizeHint().width());
}

}  // namespace
}  // namespace tembrook::test
