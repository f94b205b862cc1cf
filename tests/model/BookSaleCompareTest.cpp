// The list's row comparison: every column, both directions, and the byte
// and price cases where a careless comparison goes wrong.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BookSaleCompare.h"

namespace tembrook {
namespace {

TEST(ComparePrices, Table)
{
    struct Case {
        const char* Name;
        TCurrency A;
        TCurrency B;
        int Expected;
    };
    const Case cases[] = {
        {"equal", TCurrency::FromUnits(420), TCurrency::FromUnits(420), 0},
        {"less than a unit apart", TCurrency::FromUnits(420), TCurrency::FromRaw(4'205'000), 0},
        {"just under a unit apart", TCurrency::FromUnits(420), TCurrency::FromRaw(4'209'999), 0},
        {"exactly a unit apart", TCurrency::FromUnits(420), TCurrency::FromUnits(421), -1},
        {"unknown before a free one", TCurrency::FromUnits(-1), TCurrency::FromUnits(0), -1},
        {"unknown before any price", TCurrency::FromUnits(-1), TCurrency::FromUnits(580), -1},
        // A 32-bit difference would wrap to a negative number here.
        {"beyond 32 bits", TCurrency::FromUnits(3'000'000'000), TCurrency::FromUnits(0), 1},
        {"the extremes", TCurrency::FromRaw(INT64_MAX), TCurrency::FromRaw(INT64_MIN), 1},
        {"the extremes, close", TCurrency::FromRaw(INT64_MIN + 9999), TCurrency::FromRaw(INT64_MIN), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(CompareBookSalePrices(c.A, c.B), c.Expected);
        EXPECT_EQ(CompareBookSalePrices(c.B, c.A), -c.Expected);
    }
}

std::unique_ptr<THtmlBookSaleData> MakeRecord(std::int32_t rowIndex, const std::string& title,
                                              std::int32_t volume, const std::string& author,
                                              std::int64_t priceRaw, const std::string& publisher)
{
    auto record = std::make_unique<THtmlBookSaleData>();
    record->SetRowIndex(rowIndex);
    record->SetTitle(title);
    record->SetVolume(volume);
    record->SetAuthor(author);
    record->SetPrice(TCurrency::FromRaw(priceRaw));
    record->SetPublisher(publisher);
    return record;
}

TEST(CompareRows, EveryColumnBothDirections)
{
    const auto a = MakeRecord(0, "Beta", 1, "zed", 5'800'000, "\x83\x65");    // テ
    const auto b = MakeRecord(1, "alpha", 9, "Adam", 4'200'000, "\x83\x45");  // ウ
    struct Case {
        std::int32_t Column;
        bool CheckedA;
        bool CheckedB;
        int Expected;  // ascending, a against b
    };
    const Case cases[] = {
        {scCheck, false, true, -1}, {scCheck, true, false, 1},      {scCheck, true, true, 0},
        {scDate, false, false, -1}, {scTitle, false, false, 1},     {scAuthor, false, false, 1},
        {scPrice, false, false, 1}, {scPublisher, false, false, 1}, {6, false, false, 0},
        {-1, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Column);
        const TBookSaleRowRef ra{a.get(), c.CheckedA};
        const TBookSaleRowRef rb{b.get(), c.CheckedB};
        EXPECT_EQ(CompareBookSaleRows(ra, rb, c.Column, false), c.Expected);
        EXPECT_EQ(CompareBookSaleRows(rb, ra, c.Column, false), -c.Expected);
        EXPECT_EQ(CompareBookSaleRows(ra, rb, c.Column, true), -c.Expected);
        EXPECT_EQ(CompareBookSaleRows(rb, ra, c.Column, true), c.Expected);
    }
}

TEST(CompareRows, TitlesIgnoreVolumeAndAsciiCase)
{
    const auto vol1 = MakeRecord(0, "Series", 1, "A", 0, "P");
    const auto vol2 = MakeRecord(1, "SERIES", 2, "A", 0, "P");
    const auto longer = MakeRecord(2, "Series two", -1, "A", 0, "P");
    EXPECT_EQ(CompareBookSaleRows({vol1.get()}, {vol2.get()}, scTitle, false), 0);
    EXPECT_EQ(CompareBookSaleRows({vol1.get()}, {longer.get()}, scTitle, false), -1);
    EXPECT_EQ(CompareBookSaleRows({vol1.get()}, {longer.get()}, scTitle, true), 1);
}

TEST(CompareRows, PricesLessThanAUnitApartAreEqual)
{
    const auto whole = MakeRecord(0, "T", -1, "A", 4'200'000, "P");
    const auto half = MakeRecord(1, "T", -1, "A", 4'205'000, "P");
    const auto unknown = MakeRecord(2, "T", -1, "A", -10'000, "P");
    EXPECT_EQ(CompareBookSaleRows({whole.get()}, {half.get()}, scPrice, false), 0);
    EXPECT_EQ(CompareBookSaleRows({unknown.get()}, {whole.get()}, scPrice, false), -1);
    EXPECT_EQ(CompareBookSaleRows({unknown.get()}, {whole.get()}, scPrice, true), 1);
}

TEST(CompareRows, ArrivalOrderAcrossTheWholeIndexRange)
{
    const auto first = MakeRecord(INT32_MIN, "T", -1, "A", 0, "P");
    const auto last = MakeRecord(INT32_MAX, "T", -1, "A", 0, "P");
    EXPECT_EQ(CompareBookSaleRows({first.get()}, {last.get()}, scDate, false), -1);
    EXPECT_EQ(CompareBookSaleRows({last.get()}, {first.get()}, scDate, false), 1);
}

TEST(CompareRows, ARowWithoutARecordIsEqualToAnything)
{
    const auto record = MakeRecord(0, "T", -1, "A", 0, "P");
    for (std::int32_t column = scCheck; column <= scPublisher; ++column) {
        for (const bool descending : {false, true}) {
            EXPECT_EQ(CompareBookSaleRows({nullptr, true}, {record.get(), false}, column, descending), 0);
            EXPECT_EQ(CompareBookSaleRows({record.get(), false}, {nullptr, true}, column, descending), 0);
            EXPECT_EQ(CompareBookSaleRows({nullptr}, {nullptr}, column, descending), 0);
        }
    }
}

// The sort keys must order rows exactly as the row comparison does. The
// texts share long prefixes and differ around the 16 bytes a key keeps, mix
// case, double-byte characters whose trail bytes look like letters, and lead
// bytes that end a text.
TEST(SortKeys, CompareAsTheRowsDoOnRandomRows)
{
    std::mt19937 random(16);
    const std::string stems[] = {"",
                                 "Series",
                                 "\x83\x65\x83\x45"
                                 "ABCDEFGHIJKLMN",
                                 "0123456789abcdef",
                                 "0123456789ABCDE",
                                 "\x81\x81"
                                 "aaaaaaaaaaaaaa"};
    const char tails[] = {'a',    'A',    'z',    'Z',    '[',    ' ',   '\x81',
                          '\x83', '\x65', '\x45', '\xB1', '\xE0', '\xFC'};
    const auto text = [&] {
        std::string t = stems[random() % std::size(stems)];
        for (int n = static_cast<int>(random() % 6); n > 0; --n)
            t += tails[random() % std::size(tails)];
        return t;
    };
    const std::int64_t prices[] = {-10'000,   0,         9'999,     10'000,   4'200'000,
                                   4'205'000, 4'210'000, INT64_MAX, INT64_MIN};
    std::vector<std::unique_ptr<THtmlBookSaleData>> records;
    std::vector<TBookSaleRowRef> rows;
    for (int i = 0; i < 120; ++i) {
        records.push_back(MakeRecord(static_cast<std::int32_t>(random() % 7) - 3, "", -1, text(),
                                     prices[random() % std::size(prices)], text()));
        rows.push_back({records.back().get(), random() % 2 == 0});
    }
    // The release record's SetTitle parses volumes out of the text; the root
    // record's only trims it, and Assign from a root record copies it as is.
    for (auto& record : records) {
        TBookSaleRootData root;
        root.SetTitle(text());
        root.SetAuthor(record->Author());
        root.SetPrice(record->Price());
        const std::int32_t rowIndex = record->RowIndex();
        const std::string publisher = record->Publisher();
        record->Assign(&root);
        record->SetRowIndex(rowIndex);
        record->SetPublisher(publisher);
    }
    rows.push_back({nullptr, true});  // a row without a record
    for (std::int32_t column = -1; column <= 6; ++column) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "column " << column << (descending ? " descending" : " ascending"));
            std::vector<TBookSaleSortKey> keys;
            for (const TBookSaleRowRef& row : rows)
                keys.push_back(MakeBookSaleSortKey(row, column));
            for (std::size_t a = 0; a < rows.size(); ++a) {
                for (std::size_t b = 0; b < rows.size(); ++b) {
                    ASSERT_EQ(CompareBookSaleSortKeys(keys[a], keys[b], descending),
                              CompareBookSaleRows(rows[a], rows[b], column, descending))
                        << "rows " << a << " and " << b;
                }
            }
        }
    }
}

TEST(SortKeys, TheHeadHoldsTheFirstSixteenFoldedBytes)
{
    const auto record = MakeRecord(0, "T", -1, "abcdefghijklmnopq", 0,
                                   "\x83\x61"
                                   "b");
    const TBookSaleSortKey author = MakeBookSaleSortKey({record.get()}, scAuthor);
    EXPECT_EQ(author.Head[0], 0x4142434445464748u);  // ABCDEFGH
    EXPECT_EQ(author.Head[1], 0x494A4B4C4D4E4F50u);  // IJKLMNOP; the q is left to the text
    EXPECT_EQ(author.Text, "abcdefghijklmnopq");
    // The trail byte 0x61 stays, the single b after it folds.
    const TBookSaleSortKey publisher = MakeBookSaleSortKey({record.get()}, scPublisher);
    EXPECT_EQ(publisher.Head[0], 0x8361420000000000u);
    EXPECT_EQ(publisher.Head[1], 0u);
    EXPECT_FALSE(MakeBookSaleSortKey({nullptr}, scAuthor).HasRecord());
}

}  // namespace
}  // namespace tembrook
