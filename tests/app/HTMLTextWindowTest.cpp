// The HTML text window: the ticked rows' entries joined by " / ", a snapshot
// per press, hidden until the first press, closing only hides.

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QStatusBar>

#include "AppTestSupport.h"
#include "BookListModel.h"
#include "HTMLTextWindow.h"

namespace tembrook::test {
namespace {

class HTMLTextWindow : public testing::Test {
protected:
    void SetUp() override
    {
        OwnedBookSaleList list(std::vector<RecordFields>{{.Title = "T", .Volume = 2, .Author = "A"},
                                                         {.Title = "U", .Author = "B"},
                                                         {.Title = "V", .Volume = 1, .Author = "C"},
                                                         {.Title = "W", .Author = ""},
                                                         {.Title = "X", .Author = "E"}});
        FModel.AddBookSaleList(list.List);
    }
    QString Memo() const { return FForm.HTMLStringMemo()->toPlainText(); }

    TBookListModel FModel;
    THTMLTextForm FForm;
};

TEST_F(HTMLTextWindow, LayoutAndHiddenAtCreation)
{
    EXPECT_FALSE(FForm.isVisible());
    EXPECT_EQ(FForm.windowTitle(), QStringLiteral("HTMLテキスト"));
    EXPECT_EQ(FForm.pos(), QPoint(301, 160));
    EXPECT_EQ(FForm.size(), QSize(422, 344));
    EXPECT_FALSE(FForm.HTMLStringMemo()->isReadOnly());
    EXPECT_EQ(FForm.HTMLStringMemo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(FForm.HTMLStringMemo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(FForm.HTMLStringMemo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(FForm.HTMLStringMemo()->frameShape(), QFrame::NoFrame);
    ASSERT_NE(FForm.statusBar(), nullptr);
    EXPECT_EQ(FForm.statusBar()->height(), 19);
}

TEST_F(HTMLTextWindow, NoTickedRowGivesAnEmptyMemoAndStillShowsTheWindow)
{
    FForm.HTMLStringMemo()->setPlainText(QStringLiteral("old"));
    FForm.ShowHTMLText(FModel);
    EXPECT_TRUE(FForm.isVisible());
    EXPECT_EQ(Memo(), QString());
}

TEST_F(HTMLTextWindow, TickedRowsJoinedInRowOrder)
{
    struct Case {
        std::vector<int> Ticked;
        const char* Text;
    };
    const Case cases[] = {
        {{0}, "T(2) A"},
        {{3}, "W "},  // an empty author leaves the blank
        {{0, 2, 3}, "T(2) A / V(1) C / W "},
        {{1, 4}, "U B / X E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        for (int row = 0; row < FModel.Count(); ++row)
            FModel.SetChecked(row, std::find(c.Ticked.begin(), c.Ticked.end(), row) != c.Ticked.end());
        FForm.BuildHTMLText(FModel);
        EXPECT_EQ(Memo(), QString::fromUtf8(c.Text));
        EXPECT_EQ(THTMLTextForm::HTMLText(FModel), c.Text);
    }
    EXPECT_FALSE(FForm.isVisible()) << "building alone does not show";
}

TEST_F(HTMLTextWindow, EntriesFollowTheSortAndEachPressReplacesEdits)
{
    FModel.SetChecked(0, true);
    FModel.SetChecked(4, true);
    FForm.ShowHTMLText(FModel);
    EXPECT_EQ(Memo(), QStringLiteral("T(2) A / X E"));
    FModel.ColumnClick(2);
    FModel.ColumnClick(2);  // titles descending
    FForm.HTMLStringMemo()->setPlainText(QStringLiteral("typed by the user"));
    // The window is a snapshot: it does not follow the list by itself.
    EXPECT_EQ(Memo(), QStringLiteral("typed by the user"));
    FForm.ShowHTMLText(FModel);
    EXPECT_EQ(Memo(), QStringLiteral("X E / T(2) A"));
}

TEST_F(HTMLTextWindow, ATickedRowWithoutARecordAddsNothing)
{
    FModel.Clear();
    FModel.AddTextRow(
        {QString(), QStringLiteral("03/14"), QStringLiteral("あああああ"), QString(), QString(), QString()});
    OwnedBookSaleList list(std::vector<RecordFields>{{.Title = "T", .Author = "A"}});
    FModel.AddBookSaleList(list.List);
    FModel.SetChecked(0, true);
    FModel.SetChecked(1, true);
    FForm.BuildHTMLText(FModel);
    EXPECT_EQ(Memo(), QStringLiteral("T A"));
}

TEST_F(HTMLTextWindow, JapaneseEntriesAreShownAsUnicode)
{
    // 漫画 = 0x96 0x9F 0x89 0xE6, 作者 = 0x8D 0xEC 0x8E 0xD2
    FModel.Clear();
    OwnedBookSaleList list(
        std::vector<RecordFields>{{.Title = "\x96\x9F\x89\xE6", .Volume = 5, .Author = "\x8D\xEC\x8E\xD2"}});
    FModel.AddBookSaleList(list.List);
    FModel.SetChecked(0, true);
    FForm.BuildHTMLText(FModel);
    EXPECT_EQ(Memo(), QStringLiteral("漫画(5) 作者"));
}

TEST_F(HTMLTextWindow, ClosingOnlyHides)
{
    FForm.ShowHTMLText(FModel);
    ASSERT_TRUE(FForm.isVisible());
    EXPECT_TRUE(FForm.close());
    EXPECT_FALSE(FForm.isVisible());
    FModel.SetChecked(1, true);
    FForm.ShowHTMLText(FModel);
    EXPECT_TRUE(FForm.isVisible());
    EXPECT_EQ(Memo(), QStringLiteral("U B"));
}

}  // namespace
}  // namespace tembrook::test
