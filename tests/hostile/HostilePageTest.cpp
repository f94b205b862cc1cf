// Pages no publisher means to send: empty, blank, huge, cut at a NUL or a
// lead byte, malformed CP932, rows without separators, tags never closed, a
// heading with nothing after it. Each ends with the outcome the parsers
// define (or the sound behaviour chosen for them), within bounded memory, and
// the same parser object reads the fixture site correctly afterwards.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BookDataInportOptionUnit.h"
#include "Clock.h"
#include "Cp932Codec.h"
#include "HostileTestSupport.h"
#include "LocaleSettings.h"

namespace tembrook::test {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr const char* kSourceURL = "http://www.example.com/comic/index.html";

class HostilePage : public ::testing::Test {
protected:
    HostilePage() { FOption.SourceURL = kSourceURL; }

    // After any page, the object still reads the fixture site as it should.
    void ExpectStillUsable()
    {
        EXPECT_TRUE(FOption.ParseTopPage(ReadFixture("site/index.html")));
        EXPECT_EQ(FOption.TablePageURLs,
                  (std::vector<std::string>{"http://www.example.com/comic/table1.html",
                                            "http://www.example.com/comic/table2.html"}));
        EXPECT_TRUE(FOption.ParseTablePage(ReadFixture("site/table1.html"), true));
        EXPECT_EQ(FOption.BookSaleList.Count(), 5);
        ASSERT_EQ(FOption.DroppedRows().size(), 1u);
        EXPECT_EQ(FOption.DroppedRows()[0].RowNumber, 4);
    }

    // The page parsed as a table: whether it was readable, and its records' titles.
    struct TTableOutcome {
        bool Readable = false;
        std::vector<std::string> Titles;
        std::vector<std::string> Dropped;
    };
    TTableOutcome ParseTable(const std::string& page)
    {
        TTableOutcome outcome;
        outcome.Readable = FOption.ParseTablePage(page, true);
        for (std::int32_t i = 0; i < FOption.BookSaleList.Count(); ++i)
            outcome.Titles.push_back(FOption.BookSaleList.Items(i)->Title());
        for (const TDroppedRow& row : FOption.DroppedRows())
            outcome.Dropped.push_back(row.Message);
        return outcome;
    }

    // The peak memory of this test must stay within a small multiple of the
    // page: a parser that copied per line or per character would blow it.
    static void ExpectPeakMemoryWithin(std::size_t pageBytes, std::size_t factor)
    {
        EXPECT_LT(PeakResidentBytes(), pageBytes * factor + 256 * kMiB);
    }

    platform::TScopedToday FToday{{2026, 3, 20}};
    platform::TScopedLocaleSeparators FSeparators{{"/", ","}};
    TBookDataInportOption FOption;
};

// --- nothing, or nothing but blank lines ---------------------------------

TEST_F(HostilePage, EmptyAndBlankPagesGiveNoLinkAndNoRecord)
{
    const std::vector<std::string> pages = {
        "",
        "\r\n",
        std::string(1000, '\n'),
        "  \t \r\n\t\r\n \x0B\x0C\r\n",
        std::string(1000000, '\r') + std::string(1000000, '\n'),
    };
    for (const std::string& page : pages) {
        SCOPED_TRACE(page.size());
        // A page parsed before must not leak its records into this one.
        ASSERT_TRUE(FOption.ParseTablePage(ReadFixture("site/table1.html"), true));
        EXPECT_FALSE(FOption.ParseTopPage(page));
        EXPECT_TRUE(FOption.TablePageURLs.empty());
        const TTableOutcome table = ParseTable(page);
        EXPECT_TRUE(table.Readable);
        EXPECT_TRUE(table.Titles.empty());
        EXPECT_TRUE(table.Dropped.empty());
    }
    ExpectStillUsable();
}

TEST_F(HostilePage, AMillionBlankLinesBetweenTwoRowsStillSeparateThem)
{
    std::string page = "<table>\r\n" + Row("03/05", "First");
    for (int i = 0; i < 1000000; ++i)
        page += (i % 2 == 0) ? "\r\n" : " \t\r\n";
    page += Row("03/06", "Second") + "</table>\r\n";

    const TTableOutcome table = ParseTable(page);
    EXPECT_TRUE(table.Readable);
    EXPECT_EQ(table.Titles, (std::vector<std::string>{"First", "Second"}));
    ExpectStillUsable();
}

TEST_F(HostilePage, AMillionBlankLinesInsideAnOpenCellAreSwallowedIntoIt)
{
    std::string page = "<tr><td width=50 bgcolor=#efefef>03/05</td>\r\n<td>P</td>\r\n<td>Long";
    for (int i = 0; i < 1000000; ++i)
        page += "\r\n";
    page += "Title</td>\r\n<td>A</td>\r\n<td>580</td>\r\n</table>\r\n";

    const TTableOutcome table = ParseTable(page);
    EXPECT_TRUE(table.Readable);
    EXPECT_EQ(table.Titles, std::vector<std::string>{"LongTitle"});
}

TEST_F(HostilePage, AMillionBlankLinesBelowTheHeadingMeanNoLinkLine)
{
    std::string page = kHeading + "\r\n";
    for (int i = 0; i < 1000000; ++i)
        page += "\r\n";
    page += "<a href=\"a.html\">a</a>\r\n<a href=\"b.html\">b</a>\r\n";
    EXPECT_FALSE(FOption.ParseTopPage(page));
    EXPECT_TRUE(FOption.TablePageURLs.empty());
}

// --- one line of 50 MB -----------------------------------------------------

TEST_F(HostilePage, AFiftyMegabyteLineWithoutMarkersGivesNothing)
{
    const std::string page(50 * kMiB, 'x');
    EXPECT_FALSE(FOption.ParseTopPage(page));
    const TTableOutcome table = ParseTable(page);
    EXPECT_TRUE(table.Readable);
    EXPECT_TRUE(table.Titles.empty());
    ExpectPeakMemoryWithin(page.size(), 6);
    ExpectStillUsable();
}

// Fifty megabytes of lead bytes before the heading: an even number of them
// ends on a character boundary, so the heading is found; one more and the
// heading's first byte is the second byte of a character, so it is not.
TEST_F(HostilePage, AFiftyMegabyteLineOfLeadBytesDecidesWhereTheHeadingStarts)
{
    const std::string links = "</h3>\r\n<a href=\"a.html\">a</a>\r\n<a href=\"b.html\">b</a>\r\n";
    const std::string even = std::string(50 * kMiB, '\x81') + kHeading + links;
    EXPECT_TRUE(FOption.ParseTopPage(even));
    EXPECT_EQ(FOption.TablePageURLs,
              (std::vector<std::string>{"http://www.example.com/comic/a.html",
                                        "http://www.example.com/comic/b.html"}));

    const std::string odd = std::string(50 * kMiB + 1, '\x81') + kHeading + links;
    EXPECT_FALSE(FOption.ParseTopPage(odd));
    EXPECT_TRUE(FOption.TablePageURLs.empty());
    ExpectStillUsable();
}

// Every byte of a cell goes through the tag, width and title rules, so this
// line is kept to 10 MB to leave the suite's sanitizer run quick.
TEST_F(HostilePage, ATenMegabyteTitleCellBecomesOneWholeRecord)
{
    std::string title = kKatakanaA;
    while (title.size() < 10 * kMiB)
        title += title;
    title.resize(10 * kMiB);  // an even length: whole characters only
    const std::string page = TablePage({Row("03/05", title), Row("03/06", "Next")});

    const TTableOutcome table = ParseTable(page);
    EXPECT_TRUE(table.Readable);
    ASSERT_EQ(table.Titles.size(), 2u);
    EXPECT_EQ(table.Titles[0].size(), title.size());
    EXPECT_TRUE(table.Titles[0] == title);
    EXPECT_EQ(table.Titles[1], "Next");
    ExpectPeakMemoryWithin(page.size(), 8);
}

// --- NUL bytes ---------------------------------------------------------------

// A NUL byte ends the text for the parsers: what stands after it is not read.
TEST_F(HostilePage, ANulByteEndsThePage)
{
    const std::string top =
        kHeading + "\r\n<a href=\"a.html\">a</a>\r\n" + std::string(1, '\0') + "<a href=\"b.html\">b</a>\r\n";
    EXPECT_TRUE(FOption.ParseTopPage(top));
    EXPECT_EQ(FOption.TablePageURLs, std::vector<std::string>{"http://www.example.com/comic/a.html"});

    const std::string beforeHeading = std::string("<p>\0</p>\r\n", 10) + kHeading + "\r\n<a href=x.html>\r\n";
    EXPECT_FALSE(FOption.ParseTopPage(beforeHeading));

    // Between rows: the rows before it are read.
    const std::string betweenRows = "<table>\r\n" + Row("03/05", "One") + "\r\n" + Row("03/06", "Two") +
        "\r\n" + std::string(1, '\0') + Row("03/07", "Three") + "</table>\r\n";
    const TTableOutcome rows = ParseTable(betweenRows);
    EXPECT_TRUE(rows.Readable);
    EXPECT_EQ(rows.Titles, (std::vector<std::string>{"One", "Two"}));

    // Inside a cell: that cell is never closed, so the table is not readable.
    std::string insideCell = "<table>\r\n" + Row("03/05", "One") + "\r\n" + Row("03/06", "Two");
    insideCell.insert(insideCell.find("Two") + 1, 1, '\0');
    const TTableOutcome cut = ParseTable(insideCell);
    EXPECT_FALSE(cut.Readable);
    EXPECT_TRUE(cut.Titles.empty());
    ExpectStillUsable();
}

// --- a lead byte with nothing after it ---------------------------------------

TEST_F(HostilePage, ALoneLeadByteAtTheVeryEnd)
{
    // The link line is the last line and ends in a lead byte: its link alone.
    EXPECT_TRUE(FOption.ParseTopPage(kHeading + "\r\n<a href=\"a.html\">a</a>\x82"));
    EXPECT_EQ(FOption.TablePageURLs, std::vector<std::string>{"http://www.example.com/comic/a.html"});
    EXPECT_TRUE(FOption.ParseTopPage(kHeading + "\r\n<a href=a.html\x82"));
    EXPECT_EQ(FOption.TablePageURLs, std::vector<std::string>{"http://www.example.com/comic/a.html\x82"});

    // A lead byte after the last cell of the page: the price is then no
    // number, so that row alone is dropped with the runtime's message.
    const std::string lastRow = "<table>\r\n" + Row("03/05", "Kept") + "\r\n" +
        "<tr><td>03/06</td>\r\n<td>P</td>\r\n<td>T</td>\r\n<td>A</td>\r\n<td>580</td>\x82";
    const TTableOutcome dropped = ParseTable(lastRow);
    EXPECT_TRUE(dropped.Readable);
    EXPECT_EQ(dropped.Titles, std::vector<std::string>{"Kept"});
    ASSERT_EQ(dropped.Dropped.size(), 1u);
    EXPECT_EQ(dropped.Dropped[0], "'580\x82' is not a valid integer value");
    // Shown to the user, the lost trail byte is a replacement character.
    EXPECT_EQ(FromCP932(dropped.Dropped[0]), QStringLiteral("'580\uFFFD' is not a valid integer value"));
    ExpectStillUsable();
}

// --- bytes that are not CP932 ------------------------------------------------

TEST_F(HostilePage, InvalidSequencesDisplayAsReplacementCharacters)
{
    struct Case {
        std::string Bytes;
        QString Shown;
    };
    const std::vector<Case> cases = {
        {"\x81\x20", QStringLiteral("\uFFFD ")},                   // lead byte, then no trail byte
        {"\x83\x41\x81<td>", QStringLiteral("\u30A2\uFFFD<td>")},  // the ASCII after a broken pair survives
        {"\x80", QStringLiteral("\uFFFD")},                        // bytes no character starts with
        {"\xA0", QStringLiteral("\uFFFD")},
        {"\xFD\xFE\xFF", QStringLiteral("\uFFFD\uFFFD\uFFFD")},
        {"\x85\x40", QStringLiteral("\uFFFD@")},  // unassigned row: the ASCII byte survives
        {"\x85\x80", QStringLiteral("\uFFFD")},
        {"\xFC\xFC", QStringLiteral("\uFFFD")},
        {"\x82", QStringLiteral("\uFFFD")},                // a lead byte alone
        {"\x83\x41\x82", QStringLiteral("\u30A2\uFFFD")},  // ... at the end of a text
        {std::string("\x82\0A", 3), QStringLiteral("\uFFFD") + QChar(0) + QStringLiteral("A")},
        // Valid text around the damage is unharmed, extensions included.
        {"\x87\x40\xED\x40\xFA\x40\x81\x60", QStringLiteral("\u2460\u7E8A\u2170\uFF5E")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QString::fromLatin1(QByteArray(c.Bytes.data(), static_cast<qsizetype>(c.Bytes.size())).toHex())
                .toStdString());
        EXPECT_EQ(FromCP932(c.Bytes), c.Shown);
    }

    // A row whose cells hold such bytes is read like any other, and shows
    // with the replacement character where the damage is.
    const TTableOutcome table = ParseTable(TablePage({Row("03/05",
                                                          "Bad\x80\xFD"
                                                          "Title",
                                                          "580", "\x85\x80")}));
    ASSERT_EQ(table.Titles.size(), 1u);
    EXPECT_EQ(FromCP932(table.Titles[0]), QStringLiteral("Bad\uFFFD\uFFFDTitle"));
    EXPECT_EQ(FromCP932(FOption.BookSaleList.Items(0)->Author()), QStringLiteral("\uFFFD"));
}

// --- rows without the blank line between them ----------------------------

TEST_F(HostilePage, AHundredThousandRowsWithoutBlankLinesAreOneRecord)
{
    std::string page = "<table>\r\n";
    for (int i = 0; i < 100000; ++i)
        page += Row("03/05", "Title" + std::to_string(i));
    page += "</table>\r\n";

    const TTableOutcome table = ParseTable(page);
    EXPECT_TRUE(table.Readable);
    EXPECT_EQ(table.Titles, std::vector<std::string>{"Title0"});
    EXPECT_TRUE(table.Dropped.empty());
    ASSERT_EQ(FOption.BookSaleList.Count(), 1);
    const auto* record = dynamic_cast<const THtmlBookSaleData*>(FOption.BookSaleList.Items(0));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Cells().size(), 500000u);
    ExpectPeakMemoryWithin(page.size(), 12);
    ExpectStillUsable();
}

// --- tags never closed -------------------------------------------------------

TEST_F(HostilePage, TagsNeverClosed)
{
    // An anchor never closed: its value runs to the end of the line, and the
    // quote rule drops its last byte (the documented cost of a stray quote).
    EXPECT_TRUE(FOption.ParseTopPage("<h3>" + kHeading + "\r\n<a href=\"a.html\r\n<a href=\"b.html"));
    EXPECT_EQ(FOption.TablePageURLs,
              (std::vector<std::string>{"http://www.example.com/comic/a.htm",
                                        "http://www.example.com/comic/b.htm"}));

    // A cell never closed up to the end of the page: nothing can be read.
    std::string open = "<table>\r\n" + Row("03/05", "One") + "\r\n<tr><td width=50 bgcolor=#efefef>03/06\r\n";
    for (int i = 0; i < 100000; ++i)
        open += "<b>more text\r\n";
    const TTableOutcome never = ParseTable(open);
    EXPECT_FALSE(never.Readable);
    EXPECT_TRUE(never.Titles.empty());

    // One cell whose </td> is missing takes the next cell into it: that row
    // has four cells and is dropped, the rows around it are kept.
    std::string missing = Row("03/06", "Broken");
    missing.replace(missing.find("Broken</td>"), 11, "Broken");
    const TTableOutcome one = ParseTable(TablePage({Row("03/05", "Before"), missing, Row("03/07", "After")}));
    EXPECT_TRUE(one.Readable);
    EXPECT_EQ(one.Titles, (std::vector<std::string>{"Before", "After"}));
    EXPECT_EQ(one.Dropped, std::vector<std::string>{"List index out of bounds (4)"});

    // Tags opened inside a cell remove the rest of its text, nothing more.
    const TTableOutcome inner =
        ParseTable(TablePage({Row("03/05", "Title<!-- note"), Row("03/06", "<b>Bold")}));
    EXPECT_EQ(inner.Titles, (std::vector<std::string>{"Title", "Bold"}));
    ExpectStillUsable();
}

// --- the heading with nothing after it --------------------------------------

TEST_F(HostilePage, TheHeadingOnTheLastLine)
{
    for (const std::string& page :
         {"<p>x</p>\r\n<h3>" + kHeading + "</h3>", "<h3>" + kHeading + "</h3>\r\n", kHeading}) {
        SCOPED_TRACE(page.size());
        EXPECT_FALSE(FOption.ParseTopPage(page));
        EXPECT_TRUE(FOption.TablePageURLs.empty());
    }
    // A qualifying link line that is the last line gives its own link only.
    EXPECT_TRUE(FOption.ParseTopPage(kHeading + "\r\n<a href=\"a.html\">a</a>\r\n"));
    EXPECT_EQ(FOption.TablePageURLs, std::vector<std::string>{"http://www.example.com/comic/a.html"});
    ExpectStillUsable();
}

}  // namespace
}  // namespace tembrook::test
