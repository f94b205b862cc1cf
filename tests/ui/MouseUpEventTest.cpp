#include "MouseUpEvent.h"
#include "AboutForm.h"
#include "UiTestSupport.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Release {
    QObject* sender;
    Qt::MouseButton button;
    Qt::KeyboardModifiers shift;
    QPoint at;
};

TEST(MouseUpEventTest, ReportsEveryReleaseAndLeavesTheButtonsOwnClick)
{
    QWidget form;
    auto* button = new QPushButton(QStringLiteral("開始(&R)"), &form);
    button->setGeometry(540, 4, 75, 25);
    form.resize(813, 681);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    std::vector<Release> releases;
    SetOnMouseUp(button, [&](QObject* sender, Qt::MouseButton b, Qt::KeyboardModifiers shift, int x, int y) {
        releases.push_back({sender, b, shift, QPoint(x, y)});
    });

    QTest::mouseClick(button, Qt::RightButton, Qt::ShiftModifier, QPoint(7, 9));
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].sender, button);
    EXPECT_EQ(releases[0].button, Qt::RightButton);
    EXPECT_EQ(releases[0].shift, Qt::ShiftModifier);
    EXPECT_EQ(releases[0].at, QPoint(7, 9));
    EXPECT_EQ(clicks, 0);

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(releases.size(), 2u);
    EXPECT_EQ(releases[1].button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    // Replacing and clearing the handler.
    int replaced = 0;
    SetOnMouseUp(button, [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++replaced; });
    QTest::mouseClick(button, Qt::RightButton);
    SetOnMouseUp(button, {});
    QTest::mouseClick(button, Qt::RightButton);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(releases.size(), 2u);
    EXPECT_EQ(button->children().size(), 1) << "one filter, however often the handler is set";
}

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
