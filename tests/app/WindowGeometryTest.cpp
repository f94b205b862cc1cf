// Window placement by the outer rectangle and the program's icon, on real
// windows offscreen. The offscreen platform frames top-level windows with a
// small border, so the frame correction is exercised for real here.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <link.h>

#include "AppIcon.h"
#include "AppTestSupport.h"
#include "HTMLTextWindow.h"
#include "TembrookMainWindow.h"
#include "WindowGeometry.h"

namespace tembrook::test {
namespace {

// Shows the window and waits until the platform has framed it and the
// placement has settled on `outer`.
::testing::AssertionResult ShowAndSettle(QWidget& window, const QRect& outer)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return ::testing::AssertionFailure() << "the window was never exposed";
    WaitUntil([&] { return window.frameGeometry() == outer; }, std::chrono::seconds(2));
    return ::testing::AssertionSuccess();
}

QString Describe(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

TEST(WindowGeometry, ClientSizeLeavesRoomForTheFrame)
{
    struct Case {
        QSize Outer;
        QMargins Frame;
        QSize Client;
    };
    const Case cases[] = {
        {{813, 681}, {}, {813, 681}},
        {{813, 681}, {2, 2, 2, 2}, {809, 677}},
        {{813, 681}, {4, 30, 4, 4}, {805, 647}},  // a title bar on top
        {{422, 344}, {1, 22, 3, 5}, {418, 317}},  // uneven borders
        {{10, 10}, {8, 8, 8, 8}, {0, 0}},         // a frame wider than the window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe(QRect(QPoint(), c.Outer)).toStdString());
        EXPECT_EQ(ClientSizeWithin(c.Outer, c.Frame), c.Client);
    }
}

TEST(WindowGeometry, TheMainWindowsFrameCoversItsOuterRectangle)
{
    TTembrookMainForm window;
    const QRect outer = TTembrookMainForm::DefaultOuterGeometry();
    ASSERT_EQ(outer, QRect(66, 143, 813, 681));
    // Before the first show no frame is known: the outer size is all there is.
    EXPECT_EQ(window.frameGeometry(), outer);
    ASSERT_TRUE(ShowAndSettle(window, outer));
    const QMargins frame = WindowFrameMargins(window);
    EXPECT_EQ(window.frameGeometry(), outer) << Describe(window.frameGeometry()).toStdString();
    EXPECT_EQ(window.size(), ClientSizeWithin(outer.size(), frame));
    EXPECT_EQ(window.geometry().topLeft(), outer.topLeft() + QPoint(frame.left(), frame.top()));
    // The layout inside follows the smaller client area.
    EXPECT_EQ(Child<QFrame>(window, "Panel1")->width(), window.width());
    EXPECT_EQ(Child<QPlainTextEdit>(window, "Memo1")->height(), 89);
}

TEST(WindowGeometry, TheHTMLTextWindowsFrameCoversItsOuterRectangle)
{
    THTMLTextForm window;
    const QRect outer = THTMLTextForm::DefaultOuterGeometry();
    ASSERT_EQ(outer, QRect(301, 160, 422, 344));
    EXPECT_FALSE(window.isVisible()) << "created hidden";
    ASSERT_TRUE(ShowAndSettle(window, outer));
    EXPECT_EQ(window.frameGeometry(), outer) << Describe(window.frameGeometry()).toStdString();
    EXPECT_EQ(window.size(), ClientSizeWithin(outer.size(), WindowFrameMargins(window)));
}

TEST(WindowGeometry, AWindowResizedBeforeItIsFramedKeepsItsSize)
{
    QMainWindow window;
    SetOuterGeometry(window, QRect(40, 50, 500, 400));
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PumpEvents(std::chrono::milliseconds(100));
    EXPECT_EQ(window.size(), QSize(300, 200));
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(40, 50));
}

TEST(WindowGeometry, TheLatestPlacementWinsAndAShownWindowIsPlacedAtOnce)
{
    QMainWindow window;
    SetOuterGeometry(window, QRect(40, 50, 500, 400));
    SetOuterGeometry(window, QRect(60, 70, 640, 480));
    ASSERT_TRUE(ShowAndSettle(window, QRect(60, 70, 640, 480)));
    EXPECT_EQ(window.frameGeometry(), QRect(60, 70, 640, 480))
        << Describe(window.frameGeometry()).toStdString();

    // Once framed, a new placement needs no waiting.
    SetOuterGeometry(window, QRect(80, 90, 600, 450));
    const QMargins frame = WindowFrameMargins(window);
    EXPECT_EQ(window.size(), ClientSizeWithin(QSize(600, 450), frame));
    EXPECT_TRUE(WaitUntil([&] { return window.frameGeometry() == QRect(80, 90, 600, 450); }))
        << Describe(window.frameGeometry()).toStdString();
}

TEST(AppIcon, IsThePackagingPictureBuiltIntoTheProgram)
{
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull()) << ApplicationIconPath().toStdString();
    const QImage packaged(QStringLiteral(TEMBROOK_PACKAGING_DIR "/tembrook-48.png"));
    ASSERT_FALSE(packaged.isNull());
    ASSERT_EQ(packaged.size(), QSize(48, 48));
    // A pixmap keeps its pixels premultiplied; compare in that form.
    const QImage built = icon.pixmap(QSize(48, 48)).toImage();
    EXPECT_EQ(built.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              packaged.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

// How many image-format plugins the process has loaded.
int LoadedImageFormatPlugins()
{
    int count = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "/imageformats/") != nullptr)
                ++*static_cast<int*>(data);
            return 0;
        },
        &count);
    return count;
}

// The icon is read at every start, before the window shows; reading it must
// not load the image-format plugins. Checked in a fresh process of this test
// alone, as others may have loaded them here.
TEST(AppIcon, IsReadWithoutLoadingImageFormatPlugins)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool loaded = !ApplicationIcon().isNull();
            std::_Exit(loaded && LoadedImageFormatPlugins() == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AppIcon, TheProgramsWindowsShowTheApplicationIcon)
{
    const QIcon before = QApplication::windowIcon();
    QApplication::setWindowIcon(ApplicationIcon());
    {
        TTembrookMainForm mainWindow;
        THTMLTextForm htmlWindow;
        for (QWidget* window : {static_cast<QWidget*>(&mainWindow), static_cast<QWidget*>(&htmlWindow)}) {
            SCOPED_TRACE(window->objectName().toStdString());
            ASSERT_FALSE(window->windowIcon().isNull());
            EXPECT_EQ(window->windowIcon().pixmap(QSize(48, 48)).toImage(),
                      ApplicationIcon().pixmap(QSize(48, 48)).toImage());
        }
        mainWindow.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
        ASSERT_NE(mainWindow.windowHandle(), nullptr);
        EXPECT_FALSE(mainWindow.windowHandle()->icon().isNull()) << "the native window carries it too";
    }
    QApplication::setWindowIcon(before);
}

}  // namespace
}  // namespace tembrook::test
