// The release list model: columns, rendering of a row, arrival order and
// RowIndex, sorting by every column both ways, insertion of new rows at their
// place, ticks, and the model contract (QAbstractItemModelTester).

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "BookListModel.h"
#include "BookSaleCompare.h"
#include "Cp932Codec.h"
#include "Errors.h"
#include "LocaleSettings.h"

namespace tembrook::test {
namespace {

using Model = TBookListModel;

std::vector<std::string> Titles(const Model& model)
{
    std::vector<std::string> titles;
    for (int row = 0; row < model.Count(); ++row)
        titles.push_back(model.Record(row) ? model.Record(row)->Title() : std::string("<none>"));
    return titles;
}

std::vector<std::int32_t> RowIndexes(const Model& model)
{
    std::vector<std::int32_t> indexes;
    for (int row = 0; row < model.Count(); ++row)
        indexes.push_back(model.Record(row)->RowIndex());
    return indexes;
}

void Add(Model& model, const std::vector<RecordFields>& rows)
{
    OwnedBookSaleList list(rows);
    model.AddBookSaleList(list.List);
}

// Puts the model in the given sort state the way the user does: header clicks.
void SortBy(Model& model, int column, bool descending)
{
    model.ColumnClick(column);
    if (model.SortDescending() != descending)
        model.ColumnClick(column);
    ASSERT_EQ(model.SortColumn(), column);
    ASSERT_EQ(model.SortDescending(), descending);
}

TEST(BookListModelColumns, HeadersWidthsAndAlignments)
{
    struct Column {
        const char* Header;
        int Width;
        Qt::Alignment Horizontal;
    };
    const Column expected[] = {
        {"", 20, Qt::AlignLeft},        {"発売日", 50, Qt::AlignLeft}, {"書名", 250, Qt::AlignLeft},
        {"著者名", 120, Qt::AlignLeft}, {"価格", 60, Qt::AlignRight},  {"出版社", 100, Qt::AlignLeft},
    };
    Model model;
    ASSERT_EQ(model.columnCount(), 6);
    for (int column = 0; column < 6; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(),
                  QString::fromUtf8(expected[column].Header));
        EXPECT_EQ(Model::ColumnWidth(column), expected[column].Width);
        const auto alignment =
            model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, expected[column].Horizontal);
    }
}

TEST(BookListModelColumns, CellsAreCheckableOnlyInColumnZeroAndNeverEditable)
{
    Model model;
    Add(model, {{.Title = "T", .Price = 420}});
    for (int column = 0; column < 6; ++column) {
        SCOPED_TRACE(column);
        const Qt::ItemFlags flags = model.flags(model.index(0, column));
        EXPECT_TRUE(flags & Qt::ItemIsEnabled);
        EXPECT_TRUE(flags & Qt::ItemIsSelectable);
        EXPECT_FALSE(flags & Qt::ItemIsEditable);
        EXPECT_EQ(bool(flags & Qt::ItemIsUserCheckable), column == 0);
    }
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::CheckStateRole).isValid());
    EXPECT_EQ(model.data(model.index(0, 4), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    // Editing a text is refused.
    EXPECT_FALSE(model.setData(model.index(0, 2), QStringLiteral("X"), Qt::EditRole));
    EXPECT_EQ(model.Text(0, 2), QStringLiteral("T"));
}

// SetListItemTexts, by DateKind, volume and price.
TEST(BookListModelTexts, RenderedFromTheRecord)
{
    struct Case {
        RecordFields Fields;
        const char* Date;
        const char* Title;
        const char* Price;
    };
    const Case cases[] = {
        {{.Title = "T", .Volume = 3, .Price = 1260, .Kind = TSaleDateKind::dkExactDay, .Month = 3, .Day = 14},
         "03/14",
         "T (3)",
         "1,260"},
        {{.Title = "T", .Volume = 0, .Price = 0, .Kind = TSaleDateKind::dkEarlyMonth, .Month = 4, .Day = 10},
         "04上旬",
         "T",
         ""},
        {{.Title = "T", .Volume = -1, .Price = -1, .Kind = TSaleDateKind::dkMidMonth, .Month = 11, .Day = 15},
         "11中旬",
         "T",
         ""},
        {{.Title = "T",
          .Volume = 12,
          .Price = 1234567,
          .Kind = TSaleDateKind::dkLateMonth,
          .Month = 2,
          .Day = 28},
         "02下旬",
         "T (12)",
         "1,234,567"},
        {{.Title = "T", .Volume = 1, .Price = 580, .Kind = TSaleDateKind::dkUnknown, .Month = 4, .Day = 20},
         "不明",
         "T (1)",
         "580"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Date);
        OwnedBookSaleList list({c.Fields});
        const auto* record = static_cast<const THtmlBookSaleData*>(list.List.Items(0));
        const auto texts = Model::ListItemTexts(*record, "/", ",");
        EXPECT_EQ(texts[0], "");
        EXPECT_EQ(FromCP932(texts[1]), QString::fromUtf8(c.Date));
        EXPECT_EQ(texts[2], c.Title);
        EXPECT_EQ(texts[4], c.Price);
    }
}

TEST(BookListModelTexts, AuthorAndPublisherAsStoredInCP932)
{
    // 作者 = 0x8D 0xEC 0x8E 0xD2, 東京 = 0x93 0x8C 0x8B 0x9E
    Model model;
    Add(model, {{.Title = "T", .Author = "\x8D\xEC\x8E\xD2", .Publisher = "\x93\x8C\x8B\x9E"}});
    EXPECT_EQ(model.Text(0, 3), QStringLiteral("作者"));
    EXPECT_EQ(model.Text(0, 5), QStringLiteral("東京"));
}

TEST(BookListModelTexts, LocaleSeparatorsApplyWhenTheRowIsAdded)
{
    Model model;
    {
        platform::TScopedLocaleSeparators german({".", "."});
        Add(model, {{.Title = "A", .Price = 1200, .Month = 3, .Day = 14}});
    }
    // Rendered once: a later change of the separators does not touch the row.
    Add(model, {{.Title = "B", .Price = 1200, .Month = 3, .Day = 14}});
    EXPECT_EQ(model.Text(0, 1), QStringLiteral("03.14"));
    EXPECT_EQ(model.Text(0, 4), QStringLiteral("1.200"));
    EXPECT_EQ(model.Text(1, 1),
              QString::fromStdString("03" + platform::LocaleSeparators().DateSeparator + "14"));
}

TEST(BookListModelRows, CopiesTheRecordsAndNumbersThemByArrival)
{
    Model model;
    OwnedBookSaleList first(std::vector<RecordFields>{{.Title = "A"}, {.Title = "B"}});
    model.AddBookSaleList(first.List);
    // The rows hold copies: the list's records may change or go.
    static_cast<THtmlBookSaleData*>(first.List.Items(0))->SetPublisher("changed");
    first.List.DeleteAll();
    Add(model, {{.Title = "C"}});

    ASSERT_EQ(model.Count(), 3);
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(RowIndexes(model), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(model.Record(0)->Publisher(), "");

    model.Clear();
    EXPECT_EQ(model.Count(), 0);
    Add(model, {{.Title = "D"}});
    EXPECT_EQ(RowIndexes(model), (std::vector<std::int32_t>{0}));
}

TEST(BookListModelRows, ATextRowHasNoRecordAndComparesEqual)
{
    Model model;
    model.AddTextRow(
        {QString(), QStringLiteral("03/14"), QStringLiteral("あああああ"), QString(), QString(), QString()});
    Add(model, {{.Title = "Z"}});
    ASSERT_EQ(model.Count(), 2);
    EXPECT_EQ(model.Record(0), nullptr);
    EXPECT_EQ(model.Text(0, 1), QStringLiteral("03/14"));
    EXPECT_EQ(model.Text(0, 2), QStringLiteral("あああああ"));
    EXPECT_EQ(model.CompareRows(0, 1), 0);
    EXPECT_EQ(model.CompareRows(1, 0), 0);
    // The record row counted the text row when it arrived.
    EXPECT_EQ(model.Record(1)->RowIndex(), 1);
}

TEST(BookListModelRows, ANullEntryStopsTheListWithTheCopysErrorAndKeepsTheRowsBefore)
{
    Model model;
    OwnedBookSaleList list(std::vector<RecordFields>{{.Title = "A"}});
    list.List.Add(static_cast<TBookSaleRootData*>(nullptr));
    list.List.Add(MakeRecord({.Title = "C"}));
    try {
        model.AddBookSaleList(list.List);
        FAIL() << "expected the copy to fail";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a nil to a THtmlBookSaleData");
    }
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"A"}));
}

TEST(BookListModelRows, IndexesOutsideTheListThrowListErrors)
{
    Model model;
    Add(model, {{.Title = "A"}});
    EXPECT_THROW(model.Record(1), EListError);
    EXPECT_THROW(model.Checked(-1), EListError);
    EXPECT_THROW(model.SetChecked(5, true), EListError);
    EXPECT_FALSE(model.data(model.index(3, 0)).isValid());
}

// The edge cases of the list view, with the initial sort state 1 / ascending.
TEST(BookListModelSort, ReleaseDateSortsByArrival)
{
    Model model;
    Add(model, {{.Title = "C", .Month = 1}, {.Title = "A", .Month = 9}, {.Title = "B", .Month = 5}});
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"C", "A", "B"}));
    model.ColumnClick(1);
    EXPECT_TRUE(model.SortDescending());
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"B", "A", "C"}));
    model.ColumnClick(1);
    EXPECT_FALSE(model.SortDescending());
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"C", "A", "B"}));
}

TEST(BookListModelSort, TitleThenAuthorClicks)
{
    Model model;
    Add(model, {{.Title = "b", .Author = "y"}, {.Title = "C", .Author = "x"}, {.Title = "a", .Author = "z"}});
    model.ColumnClick(2);
    EXPECT_EQ(model.SortColumn(), 2);
    EXPECT_FALSE(model.SortDescending());
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"a", "b", "C"}));
    model.ColumnClick(2);
    EXPECT_TRUE(model.SortDescending());
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"C", "b", "a"}));
    model.ColumnClick(3);
    EXPECT_EQ(model.SortColumn(), 3);
    EXPECT_FALSE(model.SortDescending());
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"C", "b", "a"}));  // authors x, y, z
}

TEST(BookListModelSort, TitleComparisonFoldsOnlySingleByteLetters)
{
    // テ = 0x83 0x65 and ウ = 0x83 0x45: their trail bytes look like 'e' and
    // 'E', which must not be folded together.
    Model model;
    Add(model,
        {{.Title = "\x83\x65"}, {.Title = "abc"}, {.Title = "\x83\x45"}, {.Title = "ab"}, {.Title = "ABC"}});
    model.ColumnClick(2);
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"ab", "abc", "ABC", "\x83\x45", "\x83\x65"}));
}

TEST(BookListModelSort, VolumesOfOneTitleAreEqualAndKeepTheirOrder)
{
    Model model;
    Add(model, {{.Title = "T", .Volume = 2}, {.Title = "S"}, {.Title = "T", .Volume = 1}});
    model.ColumnClick(2);
    EXPECT_EQ(model.Text(0, 2), QStringLiteral("S"));
    EXPECT_EQ(model.Text(1, 2), QStringLiteral("T (2)"));
    EXPECT_EQ(model.Text(2, 2), QStringLiteral("T (1)"));
}

TEST(BookListModelSort, PriceSortPutsUnknownPricesFirst)
{
    Model model;
    Add(model,
        {{.Title = "p500", .Price = 500},
         {.Title = "none", .Price = -1},
         {.Title = "p420", .Price = 420},
         {.Title = "big", .Price = 3000000000LL}});
    model.ColumnClick(4);
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"none", "p420", "p500", "big"}));
    model.ColumnClick(4);
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"big", "p500", "p420", "none"}));
}

TEST(BookListModelSort, CheckBoxSortPutsUncheckedFirstAndTicksDoNotResort)
{
    Model model;
    Add(model, {{.Title = "A"}, {.Title = "B"}, {.Title = "C"}});
    model.SetChecked(0, true);
    model.ColumnClick(0);
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"B", "C", "A"}));
    model.SetChecked(0, true);  // B
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"B", "C", "A"}));
    model.ColumnClick(0);
    EXPECT_TRUE(model.SortDescending());
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"B", "A", "C"}));
}

TEST(BookListModelSort, EveryColumnBothWaysGivesASortedStableOrder)
{
    std::vector<RecordFields> rows;
    std::mt19937 random(7);
    for (int i = 0; i < 60; ++i) {
        rows.push_back({.Title = std::string(1, static_cast<char>('a' + random() % 5)),
                        .Volume = static_cast<std::int32_t>(random() % 3),
                        .Author = std::string(1, static_cast<char>('A' + random() % 4)),
                        .Price = static_cast<std::int64_t>(random() % 4) * 100 - 1,
                        .Publisher = std::string(1, static_cast<char>('p' + random() % 3))});
    }
    for (int column = 0; column < 6; ++column) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "column " << column << (descending ? " descending" : " ascending"));
            Model model;
            Add(model, rows);
            for (int row = 0; row < model.Count(); row += 3)
                model.SetChecked(row, true);
            // Start from arrival order so the ties can be checked against it.
            SortBy(model, 1, false);
            SortBy(model, column, descending);
            for (int row = 0; row + 1 < model.Count(); ++row) {
                const int order = model.CompareRows(row, row + 1);
                ASSERT_LE(order, 0) << "rows " << row << " and " << row + 1;
                if (order == 0) {
                    ASSERT_LT(model.Record(row)->RowIndex(), model.Record(row + 1)->RowIndex()) << "stable";
                }
            }
        }
    }
}

// The reference for insertion: one row at a time, each placed after the
// last row it does not precede.
std::vector<std::string> InsertOneByOneReference(std::vector<TBookSaleRowRef> rows,
                                                 const std::vector<THtmlBookSaleData*>& fresh, int column,
                                                 bool descending)
{
    for (const THtmlBookSaleData* record : fresh) {
        const TBookSaleRowRef row{record, false};
        const auto at = std::upper_bound(rows.begin(), rows.end(), row,
                                         [&](const TBookSaleRowRef& a, const TBookSaleRowRef& b) {
                                             return CompareBookSaleRows(a, b, column, descending) < 0;
                                         });
        rows.insert(at, row);
    }
    std::vector<std::string> keys;
    for (const TBookSaleRowRef& row : rows)
        keys.push_back(row.Record->Title() + "/" + row.Record->Author());
    return keys;
}

std::vector<std::string> Keys(const Model& model)
{
    std::vector<std::string> keys;
    for (int row = 0; row < model.Count(); ++row)
        keys.push_back(model.Record(row)->Title() + "/" + model.Record(row)->Author());
    return keys;
}

// Batches small and large (the model places large ones by merging) must give
// exactly the order of one-by-one binary insertion, for every sort state.
TEST(BookListModelInsertion, NewRowsTakeTheirPlaceAsIfInsertedOneByOne)
{
    std::mt19937 random(11);
    const auto makeSpecs = [&](int count, int tag) {
        std::vector<RecordFields> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back({.Title = std::string(1, static_cast<char>('a' + random() % 7)),
                            .Author = std::to_string(tag) + "-" + std::to_string(i),
                            .Price = static_cast<std::int64_t>(random() % 5) * 10,
                            .Publisher = std::string(1, static_cast<char>('p' + random() % 4))});
        return rows;
    };
    for (int column = 0; column < 6; ++column) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "column " << column << (descending ? " descending" : " ascending"));
            Model model;
            QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
            SortBy(model, column, descending);
            int tag = 0;
            for (const int batch : {1, 5, 200, 3, 1000, 40}) {
                std::vector<TBookSaleRowRef> before;
                for (int row = 0; row < model.Count(); ++row)
                    before.push_back({model.Record(row), model.Checked(row)});
                OwnedBookSaleList list(makeSpecs(batch, tag++));
                std::vector<THtmlBookSaleData*> fresh;
                for (std::int32_t i = 0; i < list.List.Count(); ++i)
                    fresh.push_back(static_cast<THtmlBookSaleData*>(list.List.Items(i)));
                // The reference compares the list's records; RowIndex matters
                // only for column 1, where it must be the arrival number.
                for (std::size_t i = 0; i < fresh.size(); ++i)
                    fresh[i]->SetRowIndex(model.Count() + static_cast<std::int32_t>(i));
                const auto expected = InsertOneByOneReference(before, fresh, column, descending);
                model.AddBookSaleList(list.List);
                ASSERT_EQ(Keys(model), expected) << "after a batch of " << batch;
            }
        }
    }
}

// Texts that agree on 16 bytes and more (the rows are sorted by keys that
// hold only the first 16): sorting and merging must still give the order of
// the row comparison itself.
TEST(BookListModelSort, LongTextsSortAndMergeAsTheRowComparisonOrdersThem)
{
    std::mt19937 random(17);
    const std::string stems[] = {"0123456789abcdef", "0123456789ABCDEF", "0123456789abcde",
                                 "\x83\x65\x83\x45"
                                 "0123456789ab"};
    const auto text = [&] {
        std::string t = stems[random() % std::size(stems)];
        for (int n = static_cast<int>(random() % 3); n > 0; --n)
            t += "aAbB\x83"[random() % 5];
        return t;
    };
    const auto makeSpecs = [&](int count) {
        std::vector<RecordFields> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back({.Title = text(), .Author = text(), .Publisher = text()});
        return rows;
    };
    for (const int column : {2, 3, 5}) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "column " << column << (descending ? " descending" : " ascending"));
            Model model;
            Add(model, makeSpecs(150));
            SortBy(model, 1, false);
            std::vector<TBookSaleRowRef> rows;
            for (int row = 0; row < model.Count(); ++row)
                rows.push_back({model.Record(row), false});
            std::stable_sort(rows.begin(), rows.end(),
                             [&](const TBookSaleRowRef& a, const TBookSaleRowRef& b) {
                                 return CompareBookSaleRows(a, b, column, descending) < 0;
                             });
            SortBy(model, column, descending);
            for (int row = 0; row < model.Count(); ++row)
                ASSERT_EQ(model.Record(row)->RowIndex(),
                          rows[static_cast<std::size_t>(row)].Record->RowIndex())
                    << row;

            OwnedBookSaleList list(makeSpecs(80));
            std::vector<THtmlBookSaleData*> fresh;
            for (std::int32_t i = 0; i < list.List.Count(); ++i)
                fresh.push_back(static_cast<THtmlBookSaleData*>(list.List.Items(i)));
            for (std::size_t i = 0; i < fresh.size(); ++i)
                fresh[i]->SetRowIndex(model.Count() + static_cast<std::int32_t>(i));
            const auto expected = InsertOneByOneReference(rows, fresh, column, descending);
            model.AddBookSaleList(list.List);
            ASSERT_EQ(Keys(model), expected);
        }
    }
}

TEST(BookListModelInsertion, UnderTheTitleSortEachNewRowGoesAfterItsEquals)
{
    Model model;
    model.ColumnClick(2);
    Add(model, {{.Title = "m", .Author = "1"}, {.Title = "c", .Author = "1"}});
    Add(model, {{.Title = "m", .Author = "2"}, {.Title = "a", .Author = "2"}, {.Title = "z", .Author = "2"}});
    EXPECT_EQ(Keys(model), (std::vector<std::string>{"a/2", "c/1", "m/1", "m/2", "z/2"}));
}

// Ticks under the check-box sort leave the rows where they stand; rows that
// arrive afterwards must leave the whole list in check-box order again, the
// earlier rows included, whichever way the ticks left it.
TEST(BookListModelInsertion, RowsArrivingAfterTicksUnderTheCheckBoxSortLeaveTheWholeListInOrder)
{
    struct Case {
        const char* Name;
        bool Descending;
        std::vector<int> Ticks;  // rows ticked after the sort, by position
        int Arrivals;
    };
    const Case cases[] = {
        {"ticks break the ascending order", false, {0, 2}, 1},
        {"ticks break the descending order", true, {1, 3}, 3},
        {"a tick on the last row keeps the order", false, {4}, 2},
        {"every row ticked", false, {0, 1, 2, 3, 4}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Model model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        SortBy(model, 0, c.Descending);
        Add(model, {{.Title = "A"}, {.Title = "Ab"}, {.Title = "B"}, {.Title = "b"}, {.Title = "c"}});
        for (const int row : c.Ticks)
            model.SetChecked(row, true);
        const QPersistentModelIndex ticked(model.index(c.Ticks.front(), 2));
        std::vector<RecordFields> fresh;
        for (int i = 0; i < c.Arrivals; ++i)
            fresh.push_back({.Title = "NEW" + std::to_string(i)});
        Add(model, fresh);

        ASSERT_EQ(model.Count(), 5 + c.Arrivals);
        for (int row = 0; row + 1 < model.Count(); ++row)
            EXPECT_LE(model.CompareRows(row, row + 1), 0) << "rows " << row << " and " << row + 1;
        const int tickedFirst = c.Descending ? 0 : model.Count() - static_cast<int>(c.Ticks.size());
        for (int row = 0; row < model.Count(); ++row)
            EXPECT_EQ(model.Checked(row), row >= tickedFirst && row < tickedFirst + int(c.Ticks.size()))
                << row;
        EXPECT_TRUE(model.Checked(ticked.row())) << "a view's index follows its row";
        std::vector<std::string> titles = Titles(model);
        std::sort(titles.begin(), titles.end());
        std::vector<std::string> expected = {"A", "Ab", "B", "b", "c"};
        for (const RecordFields& row : fresh)
            expected.push_back(row.Title);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(titles, expected);
    }
}

// The example of the fault: A(ticked), Ab, B(ticked), b, c sorted by the
// check box ascending, and a new row; the new row used to land among the old
// rows (A, Ab, NEW, B, b, c) by a binary search over an unsorted list.
TEST(BookListModelInsertion, ANewRowAfterTicksPutsEveryUntickedRowBeforeEveryTickedOne)
{
    Model model;
    Add(model, {{.Title = "A"}, {.Title = "Ab"}, {.Title = "B"}, {.Title = "b"}, {.Title = "c"}});
    model.ColumnClick(0);
    model.SetChecked(0, true);
    model.SetChecked(2, true);
    Add(model, {{.Title = "NEW"}});
    // Rows that compare equal keep the order they stood in (a stable sort).
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"Ab", "b", "c", "NEW", "A", "B"}));
    // Once sorted again, a further page goes in by the merge.
    Add(model, {{.Title = "x"}, {.Title = "y"}});
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"Ab", "b", "c", "NEW", "x", "y", "A", "B"}));
}

TEST(BookListModelContract, ModelTesterAcrossAddsSortsTicksAndClear)
{
    Model model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.AddTextRow(
        {QString(), QStringLiteral("03/14"), QStringLiteral("あああああ"), QString(), QString(), QString()});
    model.Clear();
    std::vector<RecordFields> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back({.Title = std::to_string((i * 37) % 101), .Price = i % 7});
    Add(model, rows);
    for (const int column : {2, 2, 4, 0, 5, 3, 1})
        model.ColumnClick(column);
    for (int row = 0; row < model.Count(); row += 2)
        EXPECT_TRUE(model.setData(model.index(row, 0), Qt::Checked, Qt::CheckStateRole));
    Add(model, rows);
    model.ColumnClick(2);
    Add(model, rows);
    EXPECT_EQ(model.Count(), 900);
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(BookListModelContract, TickingSignalsTheCheckStateOfThatCellOnly)
{
    Model model;
    Add(model, {{.Title = "A"}, {.Title = "B"}});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(1, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), model.index(1, 0));
    EXPECT_EQ(changed[0][2].value<QList<int>>(), QList<int>{Qt::CheckStateRole});
    EXPECT_TRUE(model.Checked(1));
    EXPECT_FALSE(model.Checked(0));
    // Setting the same state again changes nothing.
    model.SetChecked(1, true);
    EXPECT_EQ(changed.count(), 1);
}

TEST(BookListModelContract, SortingKeepsPersistentIndexesOnTheirRows)
{
    Model model;
    Add(model, {{.Title = "c"}, {.Title = "a"}, {.Title = "b"}});
    const QPersistentModelIndex c(model.index(0, 2));
    model.ColumnClick(2);
    EXPECT_EQ(c.row(), 2);
    EXPECT_EQ(c.data().toString(), QStringLiteral("c"));
}

}  // namespace
}  // namespace tembrook::test
