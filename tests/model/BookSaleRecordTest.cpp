// The release record: defaults, cell parsing (dates on a fixed day, titles,
// authors, prices), failures part-way through a row, Assign and the two
// renderings with a fixed locale.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "BookDataListUnit.h"
#include "BookDataUnit.h"
#include "Clock.h"
#include "DateUtils.h"
#include "Errors.h"
#include "LocaleSettings.h"

using tembrook::TCivilDate;
using tembrook::TCurrency;
using tembrook::THtmlBookSaleData;
using tembrook::TSaleDateKind;

namespace {

// CP932 texts used below.
const std::string kSpace = "\x81\x40";                     // 　 (full-width space)
const std::string kWork = "\x8D\xEC\x95\x69";              // 作品
const std::string kEarly = "\x8F\xE3\x8F\x7B";             // 上旬
const std::string kMid = "\x92\x86\x8F\x7B";               // 中旬
const std::string kLate = "\x89\xBA\x8F\x7B";              // 下旬
const std::string kUnknown = "\x95\x73\x96\xBE";           // 不明
const std::string kUpper = "\x8F\xE3";                     // 上
const std::string kWide12 = "\x82\x50\x82\x51";            // １２
const std::string kWideDone = "\x81\x69\x8A\xAE\x81\x6A";  // （完）
const std::string kDone = "(\x8A\xAE)";                    // (完)
const std::string kWideAB = "\x82\x60\x82\x61";            // ＡＢ
const std::string kWideCD = "\x82\x62\x82\x63";            // ＣＤ

constexpr tembrook::platform::TLocalDate kParseDay{2026, 3, 20};

TEST(BookSaleRecord, FreshRecordHasTheDefaults)
{
    const THtmlBookSaleData record;
    EXPECT_EQ(record.DateKind(), TSaleDateKind::dkExactDay);
    EXPECT_EQ(record.SaleDate(), 0.0);
    EXPECT_EQ(tembrook::DecodeDate(record.SaleDate()), (TCivilDate{1899, 12, 30}));
    EXPECT_EQ(record.Title(), "");
    EXPECT_EQ(record.Author(), "");
    EXPECT_EQ(record.Publisher(), "");
    EXPECT_EQ(record.Volume(), -1);
    EXPECT_EQ(record.Price(), TCurrency::FromUnits(-1));
    EXPECT_EQ(record.Price().Raw(), -10000);
    EXPECT_EQ(record.PriceUnits(), -1.0);
    EXPECT_EQ(record.ExtraFlag(), 0);
    EXPECT_EQ(record.RowIndex(), -1);
    EXPECT_TRUE(record.Cells().empty());
    EXPECT_EQ(record.ClassName(), "THtmlBookSaleData");
    EXPECT_EQ(sizeof(TSaleDateKind), 1u);
    EXPECT_EQ(static_cast<int>(TSaleDateKind::dkUnknown), 4);
}

struct DateCase {
    std::string cell;
    tembrook::platform::TLocalDate today;
    TSaleDateKind kind;
    std::optional<TCivilDate> date;  // nullopt: the parse fails with `error`
    std::string error;
};

TEST(BookSaleRecord, ReleaseDateCells)
{
    const std::vector<DateCase> cases = {
        {"03/14", kParseDay, TSaleDateKind::dkExactDay, TCivilDate{2026, 3, 14}, ""},
        {"01/10", kParseDay, TSaleDateKind::dkExactDay, TCivilDate{2026, 1, 10}, ""},  // no rollover
        {"04/" + kEarly, kParseDay, TSaleDateKind::dkEarlyMonth, TCivilDate{2026, 4, 10}, ""},
        {"04/" + kMid, kParseDay, TSaleDateKind::dkMidMonth, TCivilDate{2026, 4, 15}, ""},
        {"02/" + kLate, kParseDay, TSaleDateKind::dkLateMonth, TCivilDate{2026, 2, 28}, ""},
        {"02/" + kLate, {2028, 3, 20}, TSaleDateKind::dkLateMonth, TCivilDate{2028, 2, 29}, ""},
        {"12/" + kLate, kParseDay, TSaleDateKind::dkLateMonth, TCivilDate{2026, 12, 31}, ""},
        {"04/" + kUnknown, kParseDay, TSaleDateKind::dkUnknown, TCivilDate{2026, 4, 20}, ""},
        {"04" + kEarly, kParseDay, TSaleDateKind::dkUnknown, TCivilDate{2026, 4, 20}, ""},  // no separator
        {"04/" + kUpper.substr(0, 1), kParseDay, TSaleDateKind::dkUnknown, TCivilDate{2026, 4, 20}, ""},
        // Today's day does not exist in the parsed month: the month's last day.
        {"04/" + kUnknown, {2026, 3, 31}, TSaleDateKind::dkUnknown, TCivilDate{2026, 4, 30}, ""},
        {"02/" + kUnknown, {2028, 1, 31}, TSaleDateKind::dkUnknown, TCivilDate{2028, 2, 29}, ""},
        {"02/30", kParseDay, TSaleDateKind::dkExactDay, std::nullopt, "Invalid argument to date encode"},
        {"3/14", kParseDay, TSaleDateKind::dkExactDay, std::nullopt, "'3/' is not a valid integer value"},
        {kUnknown, kParseDay, TSaleDateKind::dkUnknown, std::nullopt,
         "'\x95\x73' is not a valid integer value"},  // the month text is 不
        {"13/" + kEarly, kParseDay, TSaleDateKind::dkEarlyMonth, std::nullopt,
         "Invalid argument to date encode"},
        {"13/" + kUnknown,
         {2026, 3, 31},
         TSaleDateKind::dkUnknown,
         std::nullopt,
         "Invalid argument to date encode"},
        {"04/", kParseDay, TSaleDateKind::dkExactDay, std::nullopt, "'' is not a valid integer value"},
        {"", kParseDay, TSaleDateKind::dkExactDay, std::nullopt, "'' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.cell));
        tembrook::platform::TScopedToday today(c.today);
        THtmlBookSaleData record;
        const double before = 123.0;
        record.SetSaleDate(before);
        record.SetDateKind(TSaleDateKind::dkMidMonth);
        if (c.date) {
            record.ParseSaleDate(c.cell);
            EXPECT_EQ(tembrook::DecodeDate(record.SaleDate()), *c.date);
        } else {
            try {
                record.ParseSaleDate(c.cell);
                ADD_FAILURE() << "no error";
            } catch (const tembrook::EConvertError& e) {
                EXPECT_EQ(std::string(e.what()), c.error);
            }
            EXPECT_EQ(record.SaleDate(), before);  // the kind is set first, the date stays
        }
        EXPECT_EQ(record.DateKind(), c.kind);
    }
}

struct TitleCase {
    std::string cell;
    std::string title;
    int volume;
};

TEST(BookSaleRecord, TitleCells)
{
    const std::vector<TitleCase> cases = {
        {kWork + kSpace + kWide12, kWork, 12},
        {kWork + kWideDone, kWork, -1},
        {kWork + kSpace + kWide12 + kWideDone, kWork, 12},
        {kWork + kSpace + kUpper, kWork + kUpper, -1},                     // last segment joins with no blank
        {kWideAB + kSpace + "\x82\x50" + kSpace + "\x82\x51", "AB 1", 2},  // ＡＢ　１　２
        {kWork + kSpace, kWork, -1},
        {kWork + kSpace + "\x82\x4F", kWork, 0},     // ０: volume 0
        {kWork + " 12", kWork + " 12", -1},          // digits after an ASCII blank
        {kWork + " " + kWideDone, kWork + " ", -1},  // blank before the removed marker stays
        {kWork + kDone + kDone, kWork + kDone, -1},  // only the first marker goes
        {"  " + kWork + kSpace + "3 ", kWork, 3},    // ASCII blanks trimmed first
        {kSpace + kWork, kWork, -1},                 // an empty first segment
        {kWork + kSpace + "A" + kSpace + "B" + kSpace + "7", kWork + " A B", 7},
        {"", "", -1},
        {kWork + kSpace + "12a", kWork + "12a", -1},
        {"\x83\x81\x40", "\x83\x81\x40", -1},  // メ@: 0x81 0x40 across characters is no space
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.cell));
        THtmlBookSaleData record;
        record.SetTitle(c.cell);
        EXPECT_EQ(record.Title(), c.title);
        EXPECT_EQ(record.Volume(), c.volume);
    }
}

TEST(BookSaleRecord, TitleResetsAndRejectsHugeVolumes)
{
    THtmlBookSaleData record;
    record.SetTitle(kWork + kSpace + "3");
    ASSERT_EQ(record.Volume(), 3);
    record.SetTitle("X");
    EXPECT_EQ(record.Title(), "X");
    EXPECT_EQ(record.Volume(), -1);
    try {
        record.SetTitle(kWork + kSpace + "99999999999");
        ADD_FAILURE() << "no error";
    } catch (const tembrook::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'99999999999' is not a valid integer value");
    }
    EXPECT_EQ(record.Volume(), -1);
}

TEST(BookSaleRecord, AuthorCells)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {kWideAB + kSpace + kWideCD, kWideAB + kWideCD},  // letters stay full-width
        {kSpace + " " + "A", " A"},                       // no trimming
        {kSpace + kSpace + kSpace, ""},
        {"\x83\x81\x40", "\x83\x81\x40"},  // メ@ keeps its bytes
        {"A  B", "A  B"},
    };
    for (const auto& [cell, author] : cases) {
        THtmlBookSaleData record;
        record.SetAuthor(cell);
        EXPECT_EQ(record.Author(), author) << testing::PrintToString(cell);
    }
    // The base record trims instead.
    tembrook::TBookSaleRootData root;
    root.SetAuthor("  " + kSpace + "A ");
    EXPECT_EQ(root.Author(), kSpace + "A");
    root.SetTitle("\tT\r\n");
    EXPECT_EQ(root.Title(), "T");
}

// A five-cell row as the table parser hands it over, tags still in the cells.
std::vector<std::string> Row(const std::string& date, const std::string& price)
{
    return {"<tr><td width=50 bgcolor=#efefef>" + date + "</td>", "<td>P</td>",
            "<td align=left>" + kWork + kSpace + "\x82\x52</td>",  // 作品　３
            "<td>A" + kSpace + "B</td>", "<td>" + price + "</td></tr>"};
}

TEST(BookSaleRecord, ParseCellsReadsTheFiveCellsInOrder)
{
    tembrook::platform::TScopedToday today(kParseDay);
    THtmlBookSaleData record;
    record.Cells() = Row("03/14", "1200");
    record.Cells().push_back("<td>ignored</td>");
    record.ParseCells();
    EXPECT_EQ(record.DateKind(), TSaleDateKind::dkExactDay);
    EXPECT_EQ(tembrook::DecodeDate(record.SaleDate()), (TCivilDate{2026, 3, 14}));
    EXPECT_EQ(record.Publisher(), "P");
    EXPECT_EQ(record.Title(), kWork);
    EXPECT_EQ(record.Volume(), 3);
    EXPECT_EQ(record.Author(), "AB");
    EXPECT_EQ(record.Price().Raw(), 12000000);
    EXPECT_EQ(record.Cells().size(), 6u);
}

struct PriceCase {
    std::string cell;
    std::optional<std::int64_t> raw;
};

TEST(BookSaleRecord, PriceCells)
{
    tembrook::platform::TScopedToday today(kParseDay);
    const std::vector<PriceCase> cases = {
        {"", -10000},
        {"580", 5800000},
        {"0", 0},
        {" 580 ", 5800000},  // the cell text is trimmed first
        {"2147483647", 2147483647LL * 10000},
        {"1,200", std::nullopt},
        {"\\580", std::nullopt},
        {"580" + std::string("\x89\x7E"), std::nullopt},  // 580円
        {"$244", 5800000},
        {"$FFFFFFFF", std::nullopt},  // beyond 32 signed bits, not -1 ("no price")
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        THtmlBookSaleData record;
        record.Cells() = Row("03/14", c.cell);
        if (c.raw) {
            record.ParseCells();
            EXPECT_EQ(record.Price().Raw(), *c.raw);
        } else {
            try {
                record.ParseCells();
                ADD_FAILURE() << "no error";
            } catch (const tembrook::EConvertError& e) {
                EXPECT_EQ(std::string(e.what()), "'" + c.cell + "' is not a valid integer value");
            }
            EXPECT_EQ(record.Author(), "AB");  // the earlier cells were parsed
            EXPECT_EQ(record.Price().Raw(), -10000);
        }
    }
}

TEST(BookSaleRecord, ShortRowsFailAtTheFirstMissingCell)
{
    tembrook::platform::TScopedToday today(kParseDay);
    struct ShortCase {
        std::size_t cells;
        const char* error;
    };
    for (const auto& c :
         {ShortCase{4, "List index out of bounds (4)"}, ShortCase{3, "List index out of bounds (3)"},
          ShortCase{1, "List index out of bounds (1)"}, ShortCase{0, "List index out of bounds (0)"}}) {
        SCOPED_TRACE(c.cells);
        THtmlBookSaleData record;
        auto row = Row("03/14", "580");
        row.resize(c.cells);
        record.Cells() = row;
        try {
            record.ParseCells();
            ADD_FAILURE() << "no error";
        } catch (const tembrook::EListError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
        EXPECT_EQ(record.Price().Raw(), -10000);
        EXPECT_EQ(record.Author(), c.cells >= 4 ? "AB" : "");
        EXPECT_EQ(record.Title(), c.cells >= 3 ? kWork : "");
        EXPECT_EQ(record.Publisher(), c.cells >= 2 ? "P" : "");
        EXPECT_EQ(record.SaleDate(), c.cells >= 1 ? tembrook::EncodeDate(2026, 3, 14) : 0.0);
    }
}

TEST(BookSaleRecord, ABadDateStopsTheRow)
{
    tembrook::platform::TScopedToday today(kParseDay);
    THtmlBookSaleData record;
    record.Cells() = Row("3/14", "580");
    EXPECT_THROW(record.ParseCells(), tembrook::EConvertError);
    EXPECT_EQ(record.Publisher(), "");
    EXPECT_EQ(record.Title(), "");
    EXPECT_EQ(record.Volume(), -1);
}

// Records which setters ParseCells goes through.
class TSetterSpy : public THtmlBookSaleData {
public:
    void SetTitle(std::string value) override
    {
        Titles.push_back(value);
        THtmlBookSaleData::SetTitle(std::move(value));
    }
    void SetAuthor(std::string value) override
    {
        Authors.push_back(value);
        THtmlBookSaleData::SetAuthor(std::move(value));
    }
    std::vector<std::string> Titles, Authors;
};

TEST(BookSaleRecord, ParseCellsUsesTheVirtualSetters)
{
    tembrook::platform::TScopedToday today(kParseDay);
    TSetterSpy record;
    record.Cells() = Row("03/14", "580");
    record.ParseCells();
    EXPECT_EQ(record.Titles, std::vector<std::string>{kWork + kSpace + "\x82\x52"});
    EXPECT_EQ(record.Authors, std::vector<std::string>{"A" + kSpace + "B"});
}

// The record of the renderings: exact day 2026-03-14, T, volume 3, A, 1200, P.
void MakeSample(THtmlBookSaleData& record)
{
    record.SetDateKind(TSaleDateKind::dkExactDay);
    record.SetSaleDate(tembrook::EncodeDate(2026, 3, 14));
    record.SetTitle("T");
    record.SetVolume(3);
    record.SetAuthor("A");
    record.SetPrice(TCurrency::FromUnits(1200));
    record.SetPublisher("P");
}

struct LineCase {
    TSaleDateKind kind;
    std::int64_t price;
    int volume;
    std::string textLine;
    std::string htmlLine;
};

TEST(BookSaleRecord, TextLineAndHtmlLine)
{
    const std::vector<LineCase> cases = {
        {TSaleDateKind::dkExactDay, 1200, 3, "03/14 T(3) A 1,200 P", "T(3) A"},
        {TSaleDateKind::dkLateMonth, -1, 3, "03" + kLate + " T(3) A -1 P", "T(3) A"},
        {TSaleDateKind::dkEarlyMonth, 0, 3, "03" + kEarly + " T(3) A 0 P", "T(3) A"},
        {TSaleDateKind::dkMidMonth, 1234567, 3, "03" + kMid + " T(3) A 1,234,567 P", "T(3) A"},
        {TSaleDateKind::dkUnknown, 580, 3, "03/14 T(3) A 580 P", "T(3) A"},
        {TSaleDateKind::dkExactDay, 580, 0, "03/14 T A 580 P", "T A"},  // volume 0: none shown
        {TSaleDateKind::dkExactDay, 580, -1, "03/14 T A 580 P", "T A"},
        {TSaleDateKind::dkExactDay, 580, 12, "03/14 T(12) A 580 P", "T(12) A"},
    };
    for (const auto& c : cases) {
        THtmlBookSaleData record;
        MakeSample(record);
        record.SetDateKind(c.kind);
        record.SetPrice(TCurrency::FromUnits(c.price));
        record.SetVolume(c.volume);
        EXPECT_EQ(record.TextLine("/", ","), c.textLine);
        EXPECT_EQ(record.HTMLLine(), c.htmlLine);
    }
}

TEST(BookSaleRecord, EmptyFieldsKeepTheirBlanks)
{
    THtmlBookSaleData record;
    record.SetSaleDate(tembrook::EncodeDate(2026, 3, 14));
    record.SetTitle("T");
    EXPECT_EQ(record.HTMLLine(), "T ");
    EXPECT_EQ(record.TextLine("/", ","), "03/14 T  -1 ");
}

TEST(BookSaleRecord, TextLineUsesTheLocaleSeparators)
{
    THtmlBookSaleData record;
    MakeSample(record);
    {
        tembrook::platform::TScopedLocaleSeparators locale({".", " "});
        EXPECT_EQ(record.TextLine(), "03.14 T(3) A 1 200 P");
    }
    tembrook::platform::TScopedLocaleSeparators locale({"/", ","});
    EXPECT_EQ(record.TextLine(), "03/14 T(3) A 1,200 P");
}

TEST(BookSaleRecord, AssignCopiesEverythingButTheRowIndex)
{
    THtmlBookSaleData source;
    MakeSample(source);
    source.SetTitle("T U");  // a blank in the title; Assign must not parse it again
    source.SetVolume(3);
    source.SetRowIndex(5);
    source.SetExtraFlag(7);
    source.SetDateKind(TSaleDateKind::dkMidMonth);
    source.Cells() = {"a", "b"};

    THtmlBookSaleData target;
    target.Assign(&source);
    EXPECT_EQ(target.RowIndex(), -1);
    EXPECT_EQ(target.Title(), "T U");
    EXPECT_EQ(target.Volume(), 3);
    EXPECT_EQ(target.DateKind(), TSaleDateKind::dkMidMonth);
    EXPECT_EQ(target.SaleDate(), source.SaleDate());
    EXPECT_EQ(target.Author(), "A");
    EXPECT_EQ(target.Price(), source.Price());
    EXPECT_EQ(target.ExtraFlag(), 7);
    EXPECT_EQ(target.Publisher(), "P");
    EXPECT_EQ(target.Cells(), source.Cells());
    EXPECT_EQ(target.TextLine("/", ","), source.TextLine("/", ","));

    target.Assign(&target);  // assigning to itself changes nothing
    EXPECT_EQ(target.Title(), "T U");
    EXPECT_EQ(target.Cells().size(), 2u);
}

TEST(BookSaleRecord, AssignBetweenRecordClasses)
{
    THtmlBookSaleData html;
    MakeSample(html);
    html.Cells() = {"c"};

    // A base record copies the seven common fields directly.
    tembrook::TBookSaleRootData root;
    root.Assign(&html);
    EXPECT_EQ(root.Title(), "T");
    EXPECT_EQ(root.Volume(), 3);
    EXPECT_EQ(root.Price(), html.Price());

    tembrook::TBookSaleRootData other;
    other.SetTitle("R");
    other.SetAuthor("X" + kSpace + "Y");
    THtmlBookSaleData target;
    target.SetPublisher("keep");
    target.Cells() = {"keep"};
    target.Assign(&other);
    EXPECT_EQ(target.Title(), "R");
    EXPECT_EQ(target.Author(), "X" + kSpace + "Y");  // copied without the setter
    EXPECT_EQ(target.Publisher(), "keep");
    EXPECT_EQ(target.Cells(), std::vector<std::string>{"keep"});
}

TEST(BookSaleRecord, AssignFromAnUnrelatedSourceFails)
{
    THtmlBookSaleData target;
    const auto expectAssignError = [&](const tembrook::TPersistent* source, const char* message) {
        try {
            target.Assign(source);
            ADD_FAILURE() << "no error";
        } catch (const tembrook::EConvertError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    expectAssignError(nullptr, "Cannot assign a nil to a THtmlBookSaleData");
    const tembrook::TPersistent plain;
    expectAssignError(&plain, "Cannot assign a TPersistent to a THtmlBookSaleData");
    tembrook::TBookSaleRootData root;
    try {
        root.Assign(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const tembrook::EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a nil to a TBookSaleRootData");
    }
}

TEST(Currency, WholeUnitsAndRawValues)
{
    EXPECT_EQ(TCurrency::FromUnits(580).Raw(), 5800000);
    EXPECT_EQ(TCurrency::FromRaw(5800000), TCurrency::FromUnits(580));
    EXPECT_EQ(TCurrency::FromRaw(4205000).Units(), 420.5);
    EXPECT_LT(TCurrency::FromUnits(-1), TCurrency::FromUnits(0));
    EXPECT_EQ(TCurrency::FromUnits(INT64_MAX).Raw(), INT64_MAX);  // saturates
    EXPECT_EQ(TCurrency::FromUnits(INT64_MIN).Raw(), INT64_MIN);
}

}  // namespace
