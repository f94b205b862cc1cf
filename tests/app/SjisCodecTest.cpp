// The edge conversion between CP932 bytes and Unicode.

#include <gtest/gtest.h>

#include "SjisCodec.h"

namespace tembrook::test {
namespace {

TEST(SjisCodec, RoundTripsTheCharactersThePagesUse)
{
    struct Case {
        std::string Bytes;
        const char* Utf8;
    };
    const Case cases[] = {
        {"", ""},
        {"abc 123", "abc 123"},
        {"\x81\x9A\x81\x9A\x81\x9A ", "★★★ "},  // black stars
        {"\x81\x60", "～"},                     // windows-31j: full-width tilde
        {"\x87\x40", "①"},                      // NEC extension
        {"\xB1\xB2", "ｱｲ"},                     // half-width katakana
        {"\x81\x64\x81\x64", "‥‥"},             // two-dot leaders
        {"\x5C", "\\"},                         // the backslash stays one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Utf8);
        EXPECT_EQ(FromCP932(c.Bytes), QString::fromUtf8(c.Utf8));
        EXPECT_EQ(ToCP932(QString::fromUtf8(c.Utf8)), c.Bytes);
    }
}

TEST(SjisCodec, BrokenBytesShowAsReplacementCharacters)
{
    EXPECT_EQ(FromCP932("A\x81\xFF"
                        "B"),
              QStringLiteral("A\uFFFD\uFFFDB"));
    // A lead byte whose trail byte is missing at the end.
    EXPECT_EQ(FromCP932("A\x82"), QStringLiteral("A\uFFFD"));
    // 0x88 0x9F is one character (亜) although 0x9F could be a lead byte.
    EXPECT_EQ(FromCP932("\x88\x9F"), QStringLiteral("亜"));
}

TEST(SjisCodec, CharactersCP932LacksBecomeQuestionMarks)
{
    EXPECT_EQ(ToCP932(QString::fromUtf8("x\xF0\x9F\x98\x80y\xC3\xA9z")), "x?y?z");
    EXPECT_EQ(ToCP932(QStringLiteral("http://例.jp/")), "http://\x97\xE1.jp/");  // 例 = 0x97 0xE1
}

}  // namespace
}  // namespace tembrook::test
