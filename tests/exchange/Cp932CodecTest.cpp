// The one conversion between CP932 bytes and Unicode, both ways.

#include <gtest/gtest.h>

#include <QStringDecoder>

#include "Cp932Codec.h"

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
