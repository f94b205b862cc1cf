// Character references decoded for the outputs that leave for other programs.

#include <gtest/gtest.h>

#include "CharacterReferences.h"

namespace tembrook::test {
namespace {

TEST(CharacterReferences, Table)
{
    struct Case {
        const char* Text;
        const char* Decoded;  // UTF-8
    };
    const Case cases[] = {
        {"Tom &amp; Lily &#12354;", "Tom & Lily あ"},
        {"&#x3042;&#X3042;&#0012354;", "あああ"},
        {"&lt;&gt;&quot;&nbsp;&eacute;&hearts;", "<>\"\u00A0é♥"},
        {"&amp;lt;", "&lt;"},  // decoded once
        {"&#0;&#xD800;&#x110000;&#99999999999999999999;", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"&#150;&#x80;&#x81;&#159;", "\u2013\u20AC\u0081\u0178"},  // 0x80-0x9F as windows-1252
        // Without the ";", with a name the table lacks, or with no digits: as it is.
        {"&copy &amp &#65 &bogus; &#; &#x; &#xZ1; & ;", "&copy &amp &#65 &bogus; &#; &#x; &#xZ1; & ;"},
        {"a&&amp;b&", "a&&b&"},
        {"&Amp; &AMP;", "&Amp; &AMP;"},  // names are case-sensitive
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(DecodeCharacterReferences(QString::fromUtf8(c.Text)), QString::fromUtf8(c.Decoded));
    }
}

}  // namespace
}  // namespace tembrook::test
