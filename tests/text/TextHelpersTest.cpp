// The seven text and date helpers the parsers and the release record use.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "DateUtils.h"
#include "ReferenceModel.h"
#include "TextHelpers.h"

using namespace std::string_literals;

namespace {

struct TextCase {
    std::string input;
    std::string expected;
};

TEST(ExtractURLPath, KeepsEverythingUpToTheLastSlashOrColon)
{
    const std::vector<TextCase> cases = {
        {"http://www.example.test/comic/index.html", "http://www.example.test/comic/"},
        {"http://www.example.test/comic/", "http://www.example.test/comic/"},
        {"http://www.example.test", "http://"},
        {"index.html", ""},
        {"", ""},
        {"http://h/a.cgi?x=1/2", "http://h/a.cgi?x=1/"},  // a query is not special
        {"mailto:x", "mailto:"},
        {"http://h/\x83\x5C"
         "a",
         "http://h/"},  // ソ's trail byte is no delimiter
    };
    for (const auto& c : cases)
        EXPECT_EQ(tembrook::ExtractURLPath(c.input), c.expected) << c.input;
}

TEST(ExtractHrefValue, TakesTheFirstHrefValue)
{
    const std::vector<TextCase> cases = {
        {"<A HREF=\"x.html\">", "x.html"},
        {"<a href=x.html>", "x.html"},
        {"<a href='x.html'>", "'x.html'"},  // single quotes stay
        {"<a href=\"list.html\" target=x>", "list.html"},
        {"<a HREF=List.HTML>Link</a>", "List.HTML"},  // the value keeps its case
        {"", ""},
        {"<a href=\"x.html>", "x.htm"},     // stray opening quote: last byte lost
        {"<a href = \"x.html\">", "href"},  // blanks around "=" unsupported
        {"<td>text</td>", "<td"},           // no href: the line cut down
        {"abc", "abc"},
        {"<a href=\"\">", ""},
        {"<a href=\"a\">", "a"},
        {"<a href=\">", ""},                              // one byte with a quote: empty
        {"<a href=a=b>", "a=b"},                          // only the first "=" splits
        {"<a href=\"\x83\x3E.html\">", "\x83\x3E.html"},  // a ">" trail byte does not cut
    };
    for (const auto& c : cases)
        EXPECT_EQ(tembrook::ExtractHrefValue(c.input), c.expected) << c.input;
}

TEST(RemoveHTMLTags, KeepsTheTextOutsideTags)
{
    const std::vector<TextCase> cases = {
        {"<tr><td width=50 bgcolor=#efefef>10/15</td>", "10/15"},
        {"a > b", "a  b"},  // a stray ">" disappears
        {"<td>   </td>", ""},
        {"<td>A &amp; B</td>", "A &amp; B"},  // character references stay
        {"<td>\x81\x40"
         "A"
         "\x81\x40</td>",
         "\x81\x40"
         "A"
         "\x81\x40"},                        // full-width spaces survive
        {"<td x=\"\x8D\xEC\">y</td>", "y"},  // 作 inside a tag goes with it
        {"a<b", "a"},                        // unclosed tag removes the rest
        {"<<a>b>c", "bc"},                   // tags do not nest
        {"\x83\x3C"
         "b",
         "\x83\x3C"
         "b"},  // a "<" trail byte opens no tag
        {"", ""},
        {" x ", "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tembrook::RemoveHTMLTags(c.input), c.expected) << c.input;
}

TEST(RemoveHTMLTags, EqualsTheByteByByteRuleOnRandomTexts)
{
    std::mt19937 rng(29);
    std::uniform_int_distribution<int> coin(0, 3);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int piece = 0; piece < 6; ++piece) {
            text += coin(rng) == 0 ? "<td a=\"\x83\x3E\">"s : tembrook::reference::RandomText(rng, 6);
        }
        ASSERT_EQ(tembrook::RemoveHTMLTags(text), tembrook::reference::RemoveHTMLTags(text))
            << testing::PrintToString(text);
    }
}

TEST(IsAllDigits, OnlyAsciiDigits)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", false},
        {"7", true},
        {"0123456789", true},
        {"12 ", false},
        {" 12", false},
        {"\x82\x50", false},
        {"1\x82\x50", false},
        {"-1", false},
        {"1\0"s, false},
        {"\x82"
         "1",
         false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(tembrook::IsAllDigits(text), expected) << text;
}

TEST(FullToHalfWidth, ConvertsAllSeventyThreeCharacters)
{
    std::string wide;
    std::string ascii;
    for (const auto& [character, replacement] : tembrook::reference::WidthTable()) {
        wide += character;
        ascii += replacement;
    }
    ASSERT_EQ(ascii, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-*/,.!?()%");
    EXPECT_EQ(tembrook::FullToHalfWidth(wide), ascii);
}

TEST(FullToHalfWidth, KeepsEverythingElse)
{
    const std::vector<TextCase> cases = {
        {"\x81\x40", "\x81\x40"},                  // full-width space
        {"\x83\x82`", "\x83\x82`"},                // モ` holds 0x82 0x60 (Ａ) across two characters
        {"\x83\x82`\x82\x60", "\x83\x82`A"},       // ...the real Ａ after it converts
        {"\x83\x41\x8D\xEC", "\x83\x41\x8D\xEC"},  // ア作: katakana and kanji
        {"\x8D\xEC\x81\x69\x8A\xAE\x81\x6A", "\x8D\xEC(\x8A\xAE)"},  // 作（完） -> 作(完)
        {"\x82\x50\x82\x51", "12"},                                  // １２
        {"\x82\x50\0\x82\x51"s, "1\0\x82\x51"s},                     // nothing after a NUL
        {"\x82", "\x82"},                                            // a lone lead byte at the end
        {"\xB1\x82\x60",
         "\xB1"
         "A"},  // half-width katakana, then Ａ
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tembrook::FullToHalfWidth(c.input), c.expected) << testing::PrintToString(c.input);
    }
}

TEST(FullToHalfWidth, EqualsTheRepeatedSearchOnRandomTexts)
{
    std::mt19937 rng(73);
    const auto table = tembrook::reference::WidthTable();
    std::uniform_int_distribution<std::size_t> pickEntry(0, table.size() - 1);
    std::uniform_int_distribution<int> coin(0, 2);
    for (int round = 0; round < 1500; ++round) {
        std::string text;
        for (int piece = 0; piece < 8; ++piece) {
            text += coin(rng) == 0 ? table[pickEntry(rng)].first : tembrook::reference::RandomText(rng, 3);
        }
        ASSERT_EQ(tembrook::FullToHalfWidth(text), tembrook::reference::FullToHalfWidth(text))
            << testing::PrintToString(text);
    }
}

struct MonthCase {
    int year, month, day;
    double timeOfDay;
    tembrook::TCivilDate first;
    tembrook::TCivilDate last;
};

TEST(MonthBoundaries, FirstAndLastDay)
{
    const std::vector<MonthCase> cases = {
        {2028, 2, 10, 0.0, {2028, 2, 1}, {2028, 2, 29}},  // leap year
        {2026, 2, 28, 0.0, {2026, 2, 1}, {2026, 2, 28}},
        {1900, 2, 15, 0.0, {1900, 2, 1}, {1900, 2, 28}},    // century, not leap
        {2000, 2, 1, 0.0, {2000, 2, 1}, {2000, 2, 29}},     // 400-year leap
        {2026, 12, 5, 0.0, {2026, 12, 1}, {2026, 12, 31}},  // December stays in its year
        {2026, 4, 30, 0.75, {2026, 4, 1}, {2026, 4, 30}},   // time of day dropped
        {9999, 12, 31, 0.5, {9999, 12, 1}, {9999, 12, 31}},
        {1, 1, 1, 0.0, {1, 1, 1}, {1, 1, 31}},
    };
    for (const auto& c : cases) {
        const double date = tembrook::EncodeDate(c.year, c.month, c.day) + c.timeOfDay;
        const double first = tembrook::FirstDayOfMonth(date);
        const double last = tembrook::LastDayOfMonth(date);
        EXPECT_EQ(tembrook::DecodeDate(first), c.first) << c.year << "-" << c.month;
        EXPECT_EQ(tembrook::DecodeDate(last), c.last) << c.year << "-" << c.month;
        EXPECT_EQ(first, static_cast<double>(static_cast<long>(first))) << "midnight";
        EXPECT_EQ(last, static_cast<double>(static_cast<long>(last))) << "midnight";
    }
}

TEST(MonthBoundaries, DatesOutsideTheRangeComeBackUnchanged)
{
    const double tooLate = 2958466.0;  // 10000-01-01
    EXPECT_EQ(tembrook::LastDayOfMonth(tooLate), tooLate);
    EXPECT_EQ(tembrook::FirstDayOfMonth(-700000.0), -700000.0);
    EXPECT_TRUE(std::isnan(tembrook::LastDayOfMonth(std::nan(""))));
}

}  // namespace
