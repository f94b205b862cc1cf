#include "MouseUpEvent.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tembrook::test {
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

// The release is judged where it happens: Qt hands it to the widget that
// took the press, but the handler hears of it only when the pointer is over
// the control when the button goes up.
TEST(MouseUpEventTest, TheReleasePositionDecidesWhicheverWidgetTookThePress)
{
    QWidget form;
    auto* start = new QPushButton(QStringLiteral("開始(&R)"), &form);
    start->setGeometry(540, 4, 75, 25);
    auto* log = new QPlainTextEdit(&form);
    log->setGeometry(0, 56, 813, 200);
    auto* other = new QPushButton(QStringLiteral("保存(&S)"), &form);
    other->setGeometry(644, 4, 75, 25);
    form.resize(813, 681);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    std::vector<Release> releases;
    SetOnMouseUp(start, [&](QObject* sender, Qt::MouseButton b, Qt::KeyboardModifiers shift, int x, int y) {
        releases.push_back({sender, b, shift, QPoint(x, y)});
    });
    struct Case {
        const char* Name;
        QWidget* Pressed;
        QWidget* Released;
        bool Heard;
    };
    const Case cases[] = {
        {"pressed and released on Start", start, start, true},
        {"pressed on Start, released over the log", start, log->viewport(), false},
        {"pressed over the log, released on Start", log->viewport(), start, true},
        {"pressed on another button, released on Start", other, start, true},
        {"pressed on Start, released on another button", start, other, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        releases.clear();
        QTest::mousePress(c.Pressed, Qt::RightButton, {}, QPoint(5, 6));
        QTest::mouseRelease(c.Released, Qt::RightButton, {}, QPoint(5, 6));
        ASSERT_EQ(releases.size(), c.Heard ? 1u : 0u);
        if (c.Heard) {
            EXPECT_EQ(releases[0].sender, start);
            EXPECT_EQ(releases[0].button, Qt::RightButton);
            EXPECT_EQ(releases[0].at, QPoint(5, 6));
        }
    }
    // Hidden, the control hears nothing where it stood.
    start->hide();
    releases.clear();
    QTest::mouseClick(&form, Qt::RightButton, {}, QPoint(545, 10));
    EXPECT_TRUE(releases.empty());
}

}  // namespace
}  // namespace tembrook::test
