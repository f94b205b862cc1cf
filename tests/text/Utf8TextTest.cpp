// The UTF-8 checks: which byte sequences are valid, and that anything else
// becomes U+FFFD byte by byte while the valid text around it stays.
#include <gtest/gtest.h>

#include "Utf8Text.h"

namespace tembrook {
namespace {

TEST(Utf8Text, SequenceLengthsAndReplacements)
{
    struct Case {
        std::string Text;
        std::size_t Length;  // of the sequence at byte 0
        std::string Valid;
    };
    const std::string fffd = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"a", 1, "a"},
        {"\xC3\xA9", 2, "\xC3\xA9"},                         // é
        {"\xE6\xBC\xAB", 3, "\xE6\xBC\xAB"},                 // 漫
        {"\xF0\x9F\x98\x80", 4, "\xF0\x9F\x98\x80"},         // U+1F600
        {"\xC0\xAF", 0, fffd + fffd},                        // overlong "/"
        {"\xE0\x80\xAF", 0, fffd + fffd + fffd},             // overlong, three bytes
        {"\xED\xA0\x80", 0, fffd + fffd + fffd},             // a surrogate
        {"\xF4\x90\x80\x80", 0, fffd + fffd + fffd + fffd},  // above U+10FFFF
        {"\xE6\xBC", 0, fffd + fffd},                        // cut short
        {"\x80z", 0, fffd + "z"},                            // a stray continuation byte
        {"\x81\x9A ok", 0, fffd + fffd + " ok"},             // CP932 ★
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Utf8SequenceLength(c.Text, 0), c.Length);
        EXPECT_EQ(ToValidUtf8(c.Text), c.Valid);
        EXPECT_EQ(IsValidUtf8(c.Text), c.Valid == c.Text);
        EXPECT_TRUE(IsValidUtf8(ToValidUtf8(c.Text)));
    }
}

}  // namespace
}  // namespace tembrook
