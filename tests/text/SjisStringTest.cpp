// The CP932 string conventions: byte classification, searching on character
// boundaries, case folding, trimming, substrings, splitting into lines and
// the last delimiter.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ReferenceModel.h"
#include "SjisString.h"

using namespace std::string_literals;
using tembrook::TByteType;

namespace {

// ア is 0x83 0x41: its trail byte has the value of "A".
// ソ is 0x83 0x5C: its trail byte has the value of "\".
// モ is 0x83 0x82: its trail byte is itself a lead-range value.
// 作 is 0x8D 0xEC, 品 is 0x95 0x69, 　 (full-width space) is 0x81 0x40.

struct ByteTypeCase {
    std::string text;
    std::size_t index;
    TByteType expected;
};

TEST(ByteType, ClassifiesFromTheStartOfTheText)
{
    const std::vector<ByteTypeCase> cases = {
        {"abc", 2, TByteType::mbSingleByte},
        {"\x83\x41", 1, TByteType::mbLeadByte},  // ア
        {"\x83\x41", 2, TByteType::mbTrailByte},
        {"\x83\x82\x83\x82", 2, TByteType::mbTrailByte},  // モモ: 0x82 after a lead
        {"\x83\x82\x83\x82", 3, TByteType::mbLeadByte},
        {"\x83\x82\x83\x82", 4, TByteType::mbTrailByte},
        {"a\x82\x82\x82", 3, TByteType::mbTrailByte},  // run of 1 before: odd
        {"a\x82\x82\x82", 4, TByteType::mbLeadByte},   // run of 2 before: even
        {"\xB1\x82", 1, TByteType::mbSingleByte},      // half-width katakana
        {"\x82", 1, TByteType::mbLeadByte},            // lead byte at the end
        {"\x82\x00"s, 2, TByteType::mbTrailByte},      // a trail byte whatever its value
        {"abc", 0, TByteType::mbSingleByte},           // outside the text
        {"abc", 4, TByteType::mbSingleByte},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tembrook::ByteType(c.text, c.index), c.expected) << "index " << c.index;
    }
}

TEST(ByteType, LeadByteValues)
{
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(tembrook::IsLeadByteValue(static_cast<unsigned char>(b)), lead) << b;
    }
}

struct PosCase {
    std::string needle;
    std::string text;
    std::size_t expected;
};

TEST(AnsiPos, FindsOnlyOccurrencesThatStartOnACharacterBoundary)
{
    const std::vector<PosCase> cases = {
        {"b", "abcb", 2},
        {"A",
         "\x83\x41"
         "A",
         3},                                      // アA: the A inside ア is skipped
        {"\\", "\x83\x5C\\", 3},                  // ソ\: likewise for the backslash
        {"\x82\x60", "\x83\x82\x60", 0},          // モ` holds 0x82 0x60 (Ａ) across the boundary
        {"\x82\x60", "\x83\x82\x60\x82\x60", 4},  // ...and finds the real Ａ after it
        {"\x83\x82", "\x83\x82\x83\x82", 1},
        {"\x82\x83", "\x83\x82\x83\x82", 0},
        {"", "abc", 0},
        {"a", "", 0},
        {"abcd", "abc", 0},
        {"c", "ab\0c"s, 0},   // NUL ends the text
        {"b\0x"s, "abc", 2},  // NUL ends the needle
        {"\0"s, "a\0"s, 0},   // a needle that is only NUL is empty
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tembrook::AnsiPos(c.needle, c.text), c.expected);
    }
}

TEST(AnsiPos, AgreesWithTheReferenceOnRandomTexts)
{
    std::mt19937 rng(20260320);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = tembrook::reference::RandomText(rng, 24);
        const std::string needle = tembrook::reference::RandomText(rng, 3);
        ASSERT_EQ(tembrook::AnsiPos(needle, text), tembrook::reference::Pos(needle, text))
            << testing::PrintToString(text) << " / " << testing::PrintToString(needle);
        const auto types = tembrook::reference::Classify(text);
        for (std::size_t i = 0; i < text.size(); ++i) {
            ASSERT_EQ(static_cast<int>(tembrook::ByteType(text, i + 1)), types[i]);
        }
    }
}

TEST(PosIgnoreCase, LowerCasesTheTextOnly)
{
    EXPECT_EQ(tembrook::PosIgnoreCase("<td", "x<TD>"), 2u);
    EXPECT_EQ(tembrook::PosIgnoreCase("</table>", "</TaBlE>"), 1u);
    EXPECT_EQ(tembrook::PosIgnoreCase("href", "<A HREF=x>"), 4u);
    // ア's trail byte "A" must not become "a" and match.
    EXPECT_EQ(tembrook::PosIgnoreCase("a", "\x83\x41"), 0u);
    EXPECT_EQ(tembrook::PosIgnoreCase("<td", ""), 0u);
}

TEST(AnsiLowerCase, ChangesOnlySingleByteLetters)
{
    EXPECT_EQ(tembrook::AnsiLowerCase("AbZ@[`{"), "abz@[`{");
    EXPECT_EQ(tembrook::AnsiLowerCase("\x83\x41"
                                      "A"),
              "\x83\x41"
              "a");                                              // アA -> アa
    EXPECT_EQ(tembrook::AnsiLowerCase("\x82\x60"), "\x82\x60");  // Ａ stays full-width
    EXPECT_EQ(tembrook::AnsiLowerCase("A\0B"s), "a\0b"s);        // length never changes
    EXPECT_EQ(tembrook::AnsiLowerCase("\xB1"
                                      "A"),
              "\xB1"
              "a");  // half-width katakana is single
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// The order of the release list's text columns.
TEST(CompareTextIgnoreAsciiCase, Table)
{
    struct Case {
        const char* Name;
        std::string A;
        std::string B;
        int Expected;
    };
    const Case cases[] = {
        {"equal", "Abc", "Abc", 0},
        {"ASCII case folded", "abc", "ABC", 0},
        {"mixed case folded", "aBc", "AbC", 0},
        {"first difference decides", "abc", "abd", -1},
        {"folded to upper case, not lower", "[", "a", 1},  // '[' 0x5B lies between 'Z' and 'a'
        {"prefix first", "ab", "abc", -1},
        {"empty first", "", "a", -1},
        {"both empty", "", "", 0},
        {"prefix with case difference", "AB", "abc", -1},
        {"bytes above 0x7F compare unsigned", "\xB1", "A", 1},  // half-width katakana ｱ
        // テ is 0x83 0x65 and ウ is 0x83 0x45: the trail bytes look like 'e' and
        // 'E' but are no letters, so テ sorts after ウ.
        {"trail byte not folded", "\x83\x65", "\x83\x45", 1},
        {"trail byte not folded, other way", "\x83\x45", "\x83\x65", -1},
        {"trail byte against the single letter", "\x83\x61", "\x83\x41", 1},
        // After a double-byte character the next letter is single again and folds.
        {"letter after a double-byte character", "\x83\x65x", "\x83\x65X", 0},
        {"a lead byte value that is a trail byte", "\x81\x81z", "\x81\x81Z", 0},
        {"a lone lead byte at the end", "a\x81", "A\x81", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Sign(tembrook::CompareTextIgnoreAsciiCase(c.A, c.B)), c.Expected);
        EXPECT_EQ(Sign(tembrook::CompareTextIgnoreAsciiCase(c.B, c.A)), -c.Expected);
    }
}

TEST(Trim, RemovesControlBytesAndBlanksButNotTheFullWidthSpace)
{
    struct Case {
        std::string Text;
        std::string Trimmed;
    };
    const Case cases[] = {
        {" \t\r\n abc \x01\x1F ", "abc"},
        {"\x81\x40"
         "abc"
         "\x81\x40",
         "\x81\x40"
         "abc"
         "\x81\x40"},  // the full-width space stays
        {"\0a\0"s, "a"},
        {"   ", ""},
        {"", ""},
        {"a b", "a b"},
        {"  a  ", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Text));
        EXPECT_EQ(tembrook::Trim(c.Text), c.Trimmed);
        EXPECT_EQ(tembrook::TrimView(c.Text), c.Trimmed);
        std::string inPlace = c.Text;
        tembrook::TrimInPlace(inPlace);
        EXPECT_EQ(inPlace, c.Trimmed);
    }
}

struct CopyCase {
    std::int64_t index;
    std::int64_t count;
    std::string expected;
};

TEST(Copy, ClampsIndexAndCount)
{
    const std::vector<CopyCase> cases = {
        {1, 3, "abc"}, {2, 2, "bc"},    {0, 2, "ab"}, {-5, 2, "ab"}, {5, 1, "e"},
        {6, 1, ""},    {3, 100, "cde"}, {2, 0, ""},   {2, -1, ""},   {1, INT64_MAX, "abcde"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tembrook::Copy("abcde", c.index, c.count), c.expected) << c.index << "," << c.count;
    }
    EXPECT_EQ(tembrook::Copy("", 1, 1), "");
}

struct SplitCase {
    std::string text;
    std::vector<std::string> lines;
};

TEST(SplitLines, LineEndsAndNul)
{
    const std::vector<SplitCase> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
        {"a\r\n", {"a"}},            // no empty line after a final break
        {"a\n\n", {"a", ""}},
        {"\r\n", {""}},
        {"\r\r\n\n", {"", "", ""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"ab\0c\r\nd"s, {"ab"}},  // NUL ends the whole text
        {"\0abc"s, {}},
        {"\x83\x82\r\n\x83\x41", {"\x83\x82", "\x83\x41"}},  // モ / ア
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tembrook::SplitLines(c.text), c.lines) << testing::PrintToString(c.text);
    }
}

TEST(SplitLines, JoinWritesCrLfAfterEveryLine)
{
    EXPECT_EQ(tembrook::JoinLinesCRLF({}), "");
    EXPECT_EQ(tembrook::JoinLinesCRLF({"a", "", "b"}), "a\r\n\r\nb\r\n");
    const std::vector<std::string> lines = {"x", "", "y z"};
    EXPECT_EQ(tembrook::SplitLines(tembrook::JoinLinesCRLF(lines)), lines);
}

TEST(LastDelimiter, SkipsTrailBytes)
{
    EXPECT_EQ(tembrook::LastDelimiter("/:", "http://a/b/c.html"), 11u);
    EXPECT_EQ(tembrook::LastDelimiter("/:", "http:"), 5u);
    EXPECT_EQ(tembrook::LastDelimiter("/:", "abc"), 0u);
    EXPECT_EQ(tembrook::LastDelimiter("/:", ""), 0u);
    EXPECT_EQ(tembrook::LastDelimiter("\\", "a\\\x83\x5C"), 2u);  // a\ソ: ソ's trail is not a "\"
    EXPECT_EQ(tembrook::LastDelimiter("", "a/b"), 0u);

    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = tembrook::reference::RandomText(rng, 20);
        ASSERT_EQ(tembrook::LastDelimiter("/:\\", text), tembrook::reference::LastDelimiter("/:\\", text))
            << testing::PrintToString(text);
    }
}

}  // namespace
