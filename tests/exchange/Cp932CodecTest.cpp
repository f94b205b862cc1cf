// The one conversion between CP932 bytes and Unicode, both ways.

#include <gtest/gtest.h>

#include <QStringDecoder>

#include "Cp932Codec.h"
#include "PageDecoder.h"

namespace tembrook::test {
namespace {

using namespace std::string_literals;

QString Utf16(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

TEST(Cp932Codec, DecodesAndEncodesTheCharactersOfThePages)
{
    struct Case {
        std::string Bytes;
        std::u16string Text;
    };
    const Case cases[] = {
        {"", u""},
        {"abc 123", u"abc 123"},
        {"\x81\x9A\x81\x9A\x81\x9A ", u"★★★ "},  // black stars
        {"\x81\x60", u"～"},                     // the full-width tilde
        {"\x87\x40", u"①"},                      // NEC extension
        {"\xFA\x40", u"ⅰ"},                      // IBM extension
        {"\xB1\xB2", u"ｱｲ"},                     // half-width katakana
        {"\x88\x9F", u"亜"},                     // a trail byte that could be a lead byte
        {"\x5C\x7E", u"\\~"},                    // ASCII, not yen sign and overline
        // Every byte 0x00-0x7F is itself, control codes included, both ways.
        {std::string("\x00\x1A\x1C\x7F", 4), u"\u0000\u001A\u001C\u007F"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16(c.Text).toStdString());
        EXPECT_EQ(FromCP932(c.Bytes), Utf16(c.Text));
        EXPECT_EQ(ToCP932(Utf16(c.Text)), c.Bytes);
        EXPECT_EQ(Cp932ToUtf8(c.Bytes), Utf16(c.Text).toStdString());
    }
}

TEST(Cp932Codec, WhatIsNoCharacterReadsAsTheReplacementCharacterAndNothingIsLost)
{
    struct Case {
        std::string Bytes;
        std::u16string Text;
    };
    const Case cases[] = {
        {"BAD\x80"
         "BYTE",
         u"BAD\uFFFDBYTE"},  // no character starts with 0x80
        {"\xA0\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\x81 ", u"\uFFFD "},  // a lead byte before a byte that cannot trail it ...
        {"\x82"
         "A",
         u"\uFFFDA"},                   // ... which is then read on its own
        {"\x81\xFF", u"\uFFFD\uFFFD"},  // ... even when it is no character either
        {std::string("\x82\0A", 3), u"\uFFFD\u0000A"s},
        {"\x85\x40", u"\uFFFD@"},  // ... or by an ASCII byte that completes nothing
        {"\x81\xAD", u"\uFFFD"},   // a pair of a lead byte and a byte 0x80-0xFC CP932 does not assign
        {"\x85\x80", u"\uFFFD"},
        {"A\x82", u"A\uFFFD"},  // a lead byte at the very end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QByteArray::fromStdString(c.Bytes).toHex().toStdString());
        EXPECT_EQ(FromCP932(c.Bytes), Utf16(c.Text));
    }
}

TEST(Cp932Codec, EncodesTheCharactersItCannotHoldAsQuestionMarks)
{
    struct Case {
        std::u16string Text;
        std::string Bytes;
    };
    const Case cases[] = {
        {u"x\U0001F600y\u00E9z", "x?y?z"},  // outside the BMP, and é
        {u"\uFFFD", "?"},
        {u"\xD800x", "?x"},  // a lone surrogate
        {u"http://例.jp/", "http://\x97\xE1.jp/"},
        // Characters that several pairs decode to take the pair Windows writes.
        {u"\uFFE2\u2252\u2170\u2235", "\x81\xCA\x81\xE0\xFA\x40\x81\xE6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bytes);
        EXPECT_EQ(ToCP932(Utf16(c.Text)), c.Bytes);
    }
}

// A page in Unicode written into CP932: what CP932 holds as itself or as its
// twin takes those bytes; the rest stands as a reference to the character.
TEST(Cp932Codec, TextFromAPageInAnotherEncodingKeepsEveryCharacter)
{
    struct Case {
        std::u16string Text;
        std::string Bytes;
    };
    const Case cases[] = {
        {u"abc &amp; \\~", "abc &amp; \\~"},
        {u"星の航路　１２", "\x90\xAF\x82\xCC\x8D\x71\x98\x48\x81\x40\x82\x50\x82\x51"},
        {u"\uFF5E\u2225\uFF0D", "\x81\x60\x81\x61\x81\x7C"},  // CP932's own characters
        // The twins, one by one.
        {u"\u301C", "\x81\x60"},
        {u"\u2016", "\x81\x61"},
        {u"\u2212", "\x81\x7C"},
        {u"\u00A2", "\x81\x91"},
        {u"\u00A3", "\x81\x92"},
        {u"\u00AC", "\x81\xCA"},
        {u"\u2014", "\x81\x5C"},
        {u"\u00A6", "\xFA\x55"},
        // What CP932 lacks, yen sign and overline included.
        {u"\u2665", "&#9829;"},
        {u"\u00A5\u203E", "&#165;&#8254;"},
        {u"x\U0001F600y", "x&#128512;y"},  // one reference for the pair
        {u"\uFFFD", "&#65533;"},
        {u"\u0085\u0080\u009F\u00A0", "&#65533;&#65533;&#65533;&#160;"},  // C1 controls
        {u"\xD800x\xDC00", "&#65533;x&#65533;"},                          // lone surrogates
        {std::u16string(u"\u0000\u001F", 2), std::string("\x00\x1F", 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bytes);
        EXPECT_EQ(ToCP932WithReferences(Utf16(c.Text)), c.Bytes);
    }
}

// The page decoder: a Shift_JIS page untouched, the others converted once,
// the label it could not read handed back.
TEST(PageDecoder, ConvertsWhatIsNotShiftJis)
{
    struct Case {
        const char* ContentType;
        std::string Body;
        std::string Text;
        std::string Unread;
    };
    const std::string sjis = "<p>\x93\xFA</p>";  // 日
    const Case cases[] = {
        {"text/html", sjis, sjis, ""},
        {"text/html; charset=EUC-JP", "<p>\xC6\xFC</p>", sjis, ""},
        {"text/html; charset=ISO-2022-JP", "<p>\x1B$BF|\x1B(B</p>", sjis, ""},
        {"text/html", "\xEF\xBB\xBF<p>\xE6\x97\xA5</p>", sjis, ""},
        {"", "\xFF\xFE<\0p\0>\0\xE5\x65"s, "<p>\x93\xFA", ""},
        {"text/html; charset=bogus", "<p>\xE6\x97\xA5\xE2\x99\xA5</p>", "<p>\x93\xFA&#9829;</p>", "bogus"},
        {"text/html; charset=utf-8", "<p>\xE6\x97</p>", "<p>&#65533;&#65533;</p>",
         ""},  // malformed, a mark a byte
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ContentType + (" " + c.Text));
        std::string body = c.Body;
        const char* before = body.data();
        EXPECT_EQ(DecodePageToCP932(body, c.ContentType, false), c.Unread);
        EXPECT_EQ(body, c.Text);
        if (c.Body == c.Text) {
            EXPECT_EQ(body.data(), before) << "a Shift_JIS page is not copied";
        }
    }
}

// Every pair that decodes to a character encodes to a pair that decodes to
// the same character, and the pairs agree with the platform's table.
TEST(Cp932Codec, EveryAssignedPairGoesBothWays)
{
    QStringDecoder platform("windows-31j", QStringConverter::Flag::Stateless);
    ASSERT_TRUE(platform.isValid());
    int assigned = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const QString text = FromCP932(pair);
            if (text.startsWith(QChar::ReplacementCharacter)) {
                // Unassigned: one mark, or one and the ASCII byte read on its own.
                ASSERT_EQ(text.size(), trail < 0x80 ? 2 : 1) << lead << " " << trail;
                continue;
            }
            ASSERT_EQ(text.size(), 1) << lead << " " << trail;
            ++assigned;
            platform.resetState();
            ASSERT_EQ(text, platform.decode(QByteArray::fromStdString(pair))) << lead << " " << trail;
            ASSERT_EQ(FromCP932(ToCP932(text)), text) << lead << " " << trail;
        }
    }
    EXPECT_GT(assigned, 7000);
}

}  // namespace
}  // namespace tembrook::test
