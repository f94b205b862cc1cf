// ParseTablePage: which lines of a table page become which cells of which
// records, and what a bad row or a bad layout costs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "BookDataInportOptionUnit.h"
#include "Clock.h"
#include "DateUtils.h"
#include "SjisString.h"

namespace tembrook {
namespace {

using Lines = std::vector<std::string>;

std::string Page(const Lines& lines, const std::string& eol = "\r\n")
{
    std::string text;
    for (const auto& line : lines)
        text += line + eol;
    return text;
}

const THtmlBookSaleData& Record(const TBookDataInportOption& option, std::int32_t index)
{
    const auto* record = dynamic_cast<const THtmlBookSaleData*>(option.BookSaleList.Items(index));
    if (record == nullptr)
        throw std::runtime_error("no release record at this index");
    return *record;
}

// A well-formed row of five one-line cells.
Lines Row(const std::string& date, const std::string& title, bool marker = false)
{
    return {(marker ? "<tr><td width=50 bgcolor=#efefef>" : "<tr><td>") + date + "</td>", "<td>P</td>",
            "<td>" + title + "</td>", "<td>A</td>", "<td>580</td></tr>"};
}

Lines Concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class TablePageParser : public ::testing::Test {
protected:
    platform::TScopedToday FToday{platform::TLocalDate{2026, 3, 20}};
    TBookDataInportOption FOption;

    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (std::int32_t i = 0; i < FOption.BookSaleList.Count(); ++i)
            titles.push_back(Record(FOption, i).Title());
        return titles;
    }
};

TEST_F(TablePageParser, TheExamplePage)
{
    const std::string text = Page({
        "<table border=1>",
        "<tr><td>date</td><td>publisher</td></tr>",
        "<tr><td width=50 bgcolor=#efefef>10/15</td>",
        "  <td>P</td>",
        "<td>Some",
        "Title</td>",
        "<td>A</td>",
        "<td>580</td></tr>",
        "",
        "<tr><td width=50 bgcolor=#efefef>10/20</td>",
        "<td>Q</td>",
        "<td>Other</td>",
        "<td>B</td>",
        "<td>1200</td></tr>",
        "</table>",
        "<p>footer</p>",
    });
    ASSERT_TRUE(FOption.ParseTablePage(text, true));
    ASSERT_EQ(FOption.BookSaleList.Count(), 2);
    const THtmlBookSaleData& first = Record(FOption, 0);
    EXPECT_EQ(first.Cells(),
              (Lines{"<tr><td width=50 bgcolor=#efefef>10/15</td>", "<td>P</td>", "<td>SomeTitle</td>",
                     "<td>A</td>", "<td>580</td></tr>"}));
    EXPECT_EQ(first.DateKind(), TSaleDateKind::dkExactDay);
    EXPECT_EQ(first.SaleDate(), EncodeDate(2026, 10, 15));
    EXPECT_EQ(first.Publisher(), "P");
    EXPECT_EQ(first.Title(), "SomeTitle");
    EXPECT_EQ(first.Author(), "A");
    EXPECT_EQ(first.Price(), TCurrency::FromUnits(580));
    const THtmlBookSaleData& second = Record(FOption, 1);
    EXPECT_EQ(second.SaleDate(), EncodeDate(2026, 10, 20));
    EXPECT_EQ(second.Publisher(), "Q");
    EXPECT_EQ(second.Title(), "Other");
    EXPECT_EQ(second.Price(), TCurrency::FromUnits(1200));
    EXPECT_TRUE(FOption.DroppedRows().empty());
}

TEST_F(TablePageParser, HeaderRowThenRowsInPageOrder)
{
    const Lines lines =
        Concat({{"<table>", "<tr><td>h1</td><td>h2</td><td>h3</td><td>h4</td><td>h5</td></tr>", ""},
                Row("03/01", "One", true),
                {""},
                Row("03/02", "Two"),
                {""},
                Row("03/03", "Three"),
                {"</table>"}});
    ASSERT_TRUE(FOption.ParseTablePage(Page(lines), true));
    EXPECT_EQ(Titles(), (Lines{"One", "Two", "Three"}));
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(Record(FOption, i).Cells().size(), 5u);
}

TEST_F(TablePageParser, RowSeparators)
{
    // Whitespace-only lines and runs of blank lines separate rows like one
    // empty line; a row needs no blank line before </table>.
    const Lines lines = Concat({Row("03/01", "One", true),
                                {" \t ", "", ""},
                                Row("03/02", "Two"),
                                {"\t"},
                                Row("03/03", "Three"),
                                {"</table>"}});
    for (const std::string& eol : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
        SCOPED_TRACE(eol == "\r" ? "CR" : eol == "\n" ? "LF" : "CR LF");
        ASSERT_TRUE(FOption.ParseTablePage(Page(lines, eol), true));
        EXPECT_EQ(Titles(), (Lines{"One", "Two", "Three"}));
    }
}

// Line breaks of every kind mixed in one page (CR, LF, CR LF, and LF CR,
// which is two breaks), lines of every length around the eight bytes the
// splitter tests at a time, and a NUL that ends the text: the records and the
// page line numbers of the dropped rows are those of the same lines written
// with LF alone, split by SplitLines.
TEST_F(TablePageParser, MixedLineBreaksSplitAsSplitLinesSplits)
{
    std::mt19937 random(5);
    const std::string breaks[] = {"\r\n", "\n", "\r", "\n\r", "\r\r"};
    for (int round = 0; round < 200; ++round) {
        Lines lines = {"<table>"};
        for (int row = 0; row < 6; ++row) {
            Lines cells = Row("03/" + std::to_string(10 + row), std::string(random() % 20, 'x'), row == 0);
            if (random() % 4 == 0)
                cells.pop_back();  // a row of four cells is dropped
            lines.insert(lines.end(), cells.begin(), cells.end());
            lines.push_back(std::string(random() % 3, ' '));
        }
        lines.push_back("</table>");
        std::string text;
        for (const std::string& line : lines)
            text += line + breaks[random() % std::size(breaks)];
        if (round % 10 == 0)
            text.insert(text.size() / 2, 1, '\0');
        std::string reference;
        for (const std::string& line : SplitLines(text))
            reference += line + "\n";

        TBookDataInportOption expected;
        const bool expectedResult = expected.ParseTablePage(reference, true);
        ASSERT_EQ(FOption.ParseTablePage(text, true), expectedResult) << testing::PrintToString(text);
        ASSERT_EQ(FOption.BookSaleList.Count(), expected.BookSaleList.Count());
        for (std::int32_t i = 0; i < expected.BookSaleList.Count(); ++i)
            ASSERT_EQ(Record(FOption, i).Cells(), Record(expected, i).Cells());
        ASSERT_EQ(FOption.DroppedRows().size(), expected.DroppedRows().size());
        for (std::size_t i = 0; i < expected.DroppedRows().size(); ++i)
            ASSERT_EQ(FOption.DroppedRows()[i].LineNumber, expected.DroppedRows()[i].LineNumber);
    }
}

TEST_F(TablePageParser, TwoRowsWithoutABlankLineMakeOneRecord)
{
    const Lines lines = Concat({Row("03/01", "One", true), Row("03/02", "Two"), {"</table>"}});
    ASSERT_TRUE(FOption.ParseTablePage(Page(lines), true));
    ASSERT_EQ(FOption.BookSaleList.Count(), 1);
    EXPECT_EQ(Record(FOption, 0).Cells().size(), 10u);
    EXPECT_EQ(Record(FOption, 0).Title(), "One");
}

TEST_F(TablePageParser, CellsSpreadOverSeveralLines)
{
    struct Case {
        const char* Name;
        Lines TitleLines;
        std::string Cell;
    };
    const Case cases[] = {
        {"three lines", {"<td>ABC", "   DEF", "GHI</td>  "}, "<td>ABCDEFGHI</td>"},
        {"a blank line inside the open cell is swallowed", {"<td>AB", "", "  ", "CD</td>"}, "<td>ABCD</td>"},
        {"the closing tag split over two lines", {"<td>AB</t", "d>"}, "<td>AB</td>"},
        {"the closing tag split, upper case", {"<TD>AB</", "TD>"}, "<TD>AB</TD>"},
        // A lead byte at the end of a line takes the next line's first byte as
        // its trail byte, so the "<" there does not start a tag.
        {"a lead byte at the end of a line", {"<td>A\x81", "</td>", "</td>"}, "<td>A\x81</td></td>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const Lines lines = Concat({{"<tr><td width=50 bgcolor=#efefef>03/01</td>", "<td>P</td>"},
                                    c.TitleLines,
                                    {"<td>A</td>", "<td>580</td></tr>", "</table>"}});
        ASSERT_TRUE(FOption.ParseTablePage(Page(lines), true));
        ASSERT_EQ(FOption.BookSaleList.Count(), 1);
        EXPECT_EQ(Record(FOption, 0).Cells().at(2), c.Cell);
    }
}

TEST_F(TablePageParser, TagsAfterDoubleByteCharacters)
{
    // Two lead-value bytes make one character, so the "<" after them starts a
    // tag; after three, the "<" is the trail byte of the last character.
    const Lines good = {"<tr><td width=50 bgcolor=#efefef>03/01</td>",
                        "\x81\x81<td>P</td>",
                        "<td>T\x81\x81</td>",
                        "<td>A</td>",
                        "<td>5</td>",
                        "</table>"};
    ASSERT_TRUE(FOption.ParseTablePage(Page(good), true));
    ASSERT_EQ(FOption.BookSaleList.Count(), 1);
    EXPECT_EQ(Record(FOption, 0).Cells().at(1), "\x81\x81<td>P</td>");

    const Lines oddRun = {"<tr><td width=50 bgcolor=#efefef>03/01</td>", "\x81\x81\x81<td>P</td>",
                          "</table>"};
    EXPECT_FALSE(FOption.ParseTablePage(Page(oddRun), true));

    // "</table>" on a trail byte does not end the table; its line then has no
    // "<td" either.
    const Lines hiddenEnd = {"<tr><td width=50 bgcolor=#efefef>03/01</td>",
                             "<td>P</td>",
                             "<td>T</td>",
                             "<td>A</td>",
                             "<td>5</td>",
                             "",
                             "\x81</table>"};
    EXPECT_FALSE(FOption.ParseTablePage(Page(hiddenEnd), true));
}

TEST_F(TablePageParser, UpperCaseTagsAndMarker)
{
    const std::string text =
        Page({"<TABLE>", "<TR><TD WIDTH=50 BGCOLOR=#EFEFEF>03/01</TD>", "<TD>P</TD>", "<TD>Title</TD>",
              "<TD>A</TD>", "<TD>580</TD></TR>", "", "<Tr><Td>03/02</tD>", "<TD>P</TD>", "<TD>Second</TD>",
              "<TD>A</TD>", "<TD>580</TD></TR>", "</TABLE>", "</BODY>"});
    ASSERT_TRUE(FOption.ParseTablePage(text, true));
    EXPECT_EQ(Titles(), (Lines{"Title", "Second"}));
}

TEST_F(TablePageParser, PagesWithoutARowMarkerGiveNoRecord)
{
    struct Case {
        const char* Name;
        std::string Text;
    };
    const Case cases[] = {
        {"quoted attribute values",
         Page({"<tr><td width=\"50\" bgcolor=\"#efefef\">03/01</td>", "<td>P</td>", "<td>T</td>",
               "<td>A</td>", "<td>580</td></tr>", "</table>"})},
        {"two spaces in the marker",
         Page({"<tr><td width=50  bgcolor=#efefef>03/01</td>", "<td>P</td>", "</table>"})},
        {"the whole table on one line",
         Page({"<table><tr><td width=50 bgcolor=#efefef>03/01</td><td>P</td></tr></table>", "<p>x</p>"})},
        {"marker bytes after a lead byte",
         Page({"\x81<tr><td width=50 bgcolor=#efefef>03/01</td>", "</table>"})},
        {"an empty page", ""},
        {"only a NUL", std::string("\0<tr><td width=50 bgcolor=#efefef>03/01</td>", 44)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_TRUE(FOption.ParseTablePage(c.Text, true));
        EXPECT_EQ(FOption.BookSaleList.Count(), 0);
        EXPECT_TRUE(FOption.DroppedRows().empty());
    }
}

TEST_F(TablePageParser, LayoutsThatFailTheNormalisation)
{
    struct Case {
        const char* Name;
        Lines Text;
    };
    const Case cases[] = {
        {"no </table>: the closing tags after the table have no <td",
         Concat({Row("03/01", "One", true), {""}, {"</body></html>"}})},
        {"</tr> on a line of its own", Concat({Row("03/01", "One", true), {"</tr>", "", "</table>"}})},
        {"a comment between the rows",
         Concat({Row("03/01", "One", true), {"", "<!-- next -->", "</table>"}})},
        {"a cell opened on the last line", {"<tr><td width=50 bgcolor=#efefef>03/01</td>", "<td>P"}},
        {"a closed cell followed by an open one",
         {"<tr><td width=50 bgcolor=#efefef>03/01</td>", "<td>a</td><td>b", "c</td>", "</table>"}},
        {"<td after a lead byte is no cell",
         {"<tr><td width=50 bgcolor=#efefef>03/01</td>", "\x81<td>P</td>", "</table>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_FALSE(FOption.ParseTablePage(Page(c.Text), true));
        EXPECT_EQ(FOption.BookSaleList.Count(), 0);
    }
}

TEST_F(TablePageParser, ACellOnTheTableEndLineIsLost)
{
    const std::string text = Page({"<tr><td width=50 bgcolor=#efefef>03/01</td>", "<td>P</td>", "<td>T</td>",
                                   "<td>A</td>", "<td>580</td></tr></table>"});
    ASSERT_TRUE(FOption.ParseTablePage(text, true));
    // Four cells are left: the row fails on the missing price cell and is dropped.
    EXPECT_EQ(FOption.BookSaleList.Count(), 0);
    ASSERT_EQ(FOption.DroppedRows().size(), 1u);
    EXPECT_EQ(FOption.DroppedRows()[0].Message, "List index out of bounds (4)");
    EXPECT_EQ(FOption.DroppedRows()[0].RowNumber, 1);
    EXPECT_EQ(FOption.DroppedRows()[0].LineNumber, 1);
}

TEST_F(TablePageParser, ARowOnOneLineIsOneCell)
{
    const std::string text =
        Page({"<table>", "", "<tr><td width=50 bgcolor=#efefef>03/01</td><td>P</td><td>T</td></tr>", "",
              "</table>"});
    ASSERT_TRUE(FOption.ParseTablePage(text, true));
    EXPECT_EQ(FOption.BookSaleList.Count(), 0);
    ASSERT_EQ(FOption.DroppedRows().size(), 1u);
    EXPECT_EQ(FOption.DroppedRows()[0].Message, "List index out of bounds (1)");
    EXPECT_EQ(FOption.DroppedRows()[0].LineNumber, 3);
}

TEST_F(TablePageParser, ABadRowCostsOnlyItself)
{
    const Lines lines = Concat(
        {{"<table>", "<tr><td>head</td></tr>"},
         Row("03/01", "One", true),
         {""},
         {"<tr><td>3/02</td>", "<td>P</td>", "<td>Bad date</td>", "<td>A</td>", "<td>1</td></tr>"},
         {""},
         Row("03/03", "Three"),
         {""},
         {"<tr><td>03/04</td>", "<td>P</td>", "<td>Bad price</td>", "<td>A</td>", "<td>1,200</td></tr>"},
         {""},
         Row("03/05", "Five"),
         {"</table>"}});
    ASSERT_TRUE(FOption.ParseTablePage(Page(lines), true));
    EXPECT_EQ(Titles(), (Lines{"One", "Three", "Five"}));
    ASSERT_EQ(FOption.DroppedRows().size(), 2u);
    EXPECT_EQ(FOption.DroppedRows()[0].RowNumber, 2);
    EXPECT_EQ(FOption.DroppedRows()[0].LineNumber, 9);
    EXPECT_EQ(FOption.DroppedRows()[0].Message, "'3/' is not a valid integer value");
    EXPECT_EQ(FOption.DroppedRows()[1].RowNumber, 4);
    EXPECT_EQ(FOption.DroppedRows()[1].LineNumber, 21);
    EXPECT_EQ(FOption.DroppedRows()[1].Message, "'1,200' is not a valid integer value");
}

TEST_F(TablePageParser, ClearListDecidesWhetherPagesAccumulate)
{
    const std::string page1 = Page(Concat({Row("03/01", "One", true), {"</table>"}}));
    const std::string page2 =
        Page(Concat({Row("03/02", "Two", true), {""}, Row("03/03", "Three"), {"</table>"}}));
    const std::string bad = Page(Concat({Row("03/04", "Four", true), {"", "<tr><td>x</td>", "</table>"}}));

    ASSERT_TRUE(FOption.ParseTablePage(page1, true));
    ASSERT_TRUE(FOption.ParseTablePage(page2, false));
    EXPECT_EQ(Titles(), (Lines{"One", "Two", "Three"}));

    ASSERT_TRUE(FOption.ParseTablePage(page2, true));
    EXPECT_EQ(Titles(), (Lines{"Two", "Three"}));

    // A page that fails the normalisation adds nothing, and with clearList
    // false leaves the list as it was.
    ASSERT_FALSE(FOption.ParseTablePage(Page(Concat({Row("03/04", "Four", true), {"</tr>"}})), false));
    EXPECT_EQ(Titles(), (Lines{"Two", "Three"}));

    // An empty page with clearList empties the list all the same.
    ASSERT_TRUE(FOption.ParseTablePage("", true));
    EXPECT_EQ(FOption.BookSaleList.Count(), 0);

    // Dropped rows follow the same rule.
    ASSERT_TRUE(FOption.ParseTablePage(bad, true));
    ASSERT_TRUE(FOption.ParseTablePage(bad, false));
    EXPECT_EQ(FOption.DroppedRows().size(), 2u);
    ASSERT_TRUE(FOption.ParseTablePage(page1, true));
    EXPECT_TRUE(FOption.DroppedRows().empty());
}

TEST_F(TablePageParser, ALargePageIsReadWhole)
{
    // 50,000 rows: every record arrives, the last one intact.
    constexpr int kRows = 50000;
    std::string text = "<html><body><table>\r\n<tr><td>head</td></tr>\r\n";
    text.reserve(7'000'000);
    for (int i = 0; i < kRows; ++i) {
        text += i == 0 ? "<tr><td width=50 bgcolor=#efefef>" : "<tr><td>";
        text += "04/" + std::string(i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1) + "</td>\r\n";
        text += "  <td>\x91\x90\x8A\x43\x8E\xD0</td>\r\n";  // 蒼海社
        text += "  <td>Title " + std::to_string(i) + "\x81\x40" + std::to_string(i % 90 + 1) + "</td>\r\n";
        text += "  <td>Author\x81\x40Name</td>\r\n";
        text += "  <td>" + std::to_string(400 + i % 1000) + "</td></tr>\r\n\r\n";
    }
    text += "</table></body></html>\r\n";
    ASSERT_TRUE(FOption.ParseTablePage(text, true));
    ASSERT_EQ(FOption.BookSaleList.Count(), kRows);
    const THtmlBookSaleData& last = Record(FOption, kRows - 1);
    EXPECT_EQ(last.Title(), "Title 49999");
    EXPECT_EQ(last.Volume(), 49999 % 90 + 1);
    EXPECT_EQ(last.Author(), "AuthorName");
    EXPECT_EQ(last.Price(), TCurrency::FromUnits(400 + 49999 % 1000));
    EXPECT_TRUE(FOption.DroppedRows().empty());
}

TEST_F(TablePageParser, AVeryLongCellOverManyLines)
{
    // A cell spread over 20,000 lines is joined whole.
    std::string text = "<tr><td width=50 bgcolor=#efefef>03/01</td>\n<td>P</td>\n<td>";
    for (int i = 0; i < 20000; ++i)
        text += "ab\n";
    text += "</td>\n<td>A</td>\n<td>5</td>\n</table>\n";
    ASSERT_TRUE(FOption.ParseTablePage(text, true));
    ASSERT_EQ(FOption.BookSaleList.Count(), 1);
    EXPECT_EQ(Record(FOption, 0).Title().size(), 40000u);
}

}  // namespace
}  // namespace tembrook
