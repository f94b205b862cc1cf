// The program's About box, AboutForm1, as CreateTembrookAboutForm builds it:
// its values, its modal display, its picture, and the right release over a
// Start button that opens it.
#include "AboutValues.h"
#include "AboutValuesChecks.h"
#include "BoxLabels.h"
#include "MouseUpEvent.h"
#include "UiTestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace tembrook::test {
namespace {

TEST(AboutFormTest, MainWindowInstanceHasItsValues)
{
    auto form = MakeOwnerForm(66, 143, 813, 681);
    TAboutForm* const about = CreateTembrookAboutForm(form.get());
    EXPECT_EQ(about->parent(), form.get());
    ExpectTembrookAboutValues(*about);
}

TEST(AboutFormTest, ModalDisplayEndsWithOkAndTheWindowIsGone)
{
    auto form = MakeOwnerForm(66, 143, 813, 681);
    TAboutForm* const about = CreateTembrookAboutForm(form.get());
    QPointer<TAboutWindow> shown;
    bool wasModal = false;
    // Runs inside the modal loop: press OK on the About window once it is up.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = dynamic_cast<TAboutWindow*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible())
            return;
        shown = window;
        wasModal = window->isModal();
        QTest::mouseClick(window->OKButton, Qt::LeftButton);
    });
    poll.start();
    // A stuck display fails the test instead of hanging it.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* window = dynamic_cast<TAboutWindow*>(QApplication::activeModalWidget()))
            window->close();
        ADD_FAILURE() << "the About window did not close";
    });
    guard.start(120000);  // against a hang only
    about->Execute();
    poll.stop();
    EXPECT_TRUE(wasModal);
    EXPECT_TRUE(shown.isNull());
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TAboutWindow*>(widget), nullptr);
}

}  // namespace

namespace {

// Renders the main window's About box as Execute fills it. The image is checked
// here; with TEMBROOK_SCREENSHOT_DIR set it is also saved there (see
// scripts/screenshot-about.sh), together with the URL caption's box label.
TEST(AboutFormScreenshotTest, FilledWindowShowsTitleVersionAndEnvironmentLine)
{
    auto form = MakeOwnerForm(66, 143, 813, 681);
    TAboutForm* const about = CreateTembrookAboutForm(form.get());
    QImage image;
    QRect titleArea, versionArea, environmentArea;
    {
        const TScopedModalRunner runner([&](TAboutWindow& window) {
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            image = window.grab().toImage();
            titleArea = window.TitleText->geometry();
            versionArea = window.VerText->geometry();
            environmentArea = window.OSEnvironmentDispLabel->geometry();
            window.close();
        });
        about->Execute();
    }
    ASSERT_EQ(image.size(), QSize(400, 196));
    const QRgb background = image.pixel(2, 190);
    EXPECT_FALSE(InkBounds(image, titleArea, background).isEmpty());
    EXPECT_FALSE(InkBounds(image, versionArea, background).isEmpty());
    EXPECT_FALSE(InkBounds(image, environmentArea, background).isEmpty());
    EXPECT_TRUE(InkBounds(image, QRect(8, 100, 40, 40), background).isEmpty()) << "nothing left of the texts";

    if (const QByteArray dir = qgetenv("TEMBROOK_SCREENSHOT_DIR"); !dir.isEmpty()) {
        const QString base = QString::fromLocal8Bit(dir);
        EXPECT_TRUE(image.save(base + QStringLiteral("/about-box.png")));
        QWidget panel;
        panel.setFont(UiFont(12));
        auto* label = new TBoxLabel(&panel);
        label->setGeometry(4, 8, 77, 17);
        label->SetCaption(QStringLiteral("TembrookURL"));
        panel.resize(85, 33);
        EXPECT_TRUE(RenderWidget(panel).save(base + QStringLiteral("/box-label.png")));
    }
}

}  // namespace

namespace {

// The main window's wiring: a right release over Start opens the About box and
// does not start an import; a left click starts one.
TEST(MouseUpEventTest, RightReleaseOverStartOpensTheAboutBoxInsteadOfImporting)
{
    QWidget form;
    form.setGeometry(66, 143, 813, 681);
    auto* start = new QPushButton(QStringLiteral("開始(&R)"), &form);
    start->setGeometry(540, 4, 75, 25);
    TAboutForm* const about = CreateTembrookAboutForm(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    int imports = 0;
    QObject::connect(start, &QPushButton::clicked, [&] { ++imports; });
    SetOnMouseUp(start, [about](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
        if (button == Qt::RightButton)
            about->Execute();
    });
    QStringList titles;
    TScopedModalRunner runner([&](TAboutWindow& window) { titles.append(window.windowTitle()); });

    QTest::mouseClick(start, Qt::RightButton);
    EXPECT_EQ(titles, QStringList({QStringLiteral("Tembrook")}));
    EXPECT_EQ(imports, 0);
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(titles.size(), 1);
    EXPECT_EQ(imports, 1);
    QTest::mouseClick(start, Qt::MiddleButton);
    EXPECT_EQ(titles.size(), 1);
    EXPECT_EQ(imports, 1);
}

}  // namespace
}  // namespace tembrook::test
