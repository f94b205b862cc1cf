// The runtime's string-to-integer conversion.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Errors.h"
#include "StrToInt.h"

using namespace std::string_literals;

namespace {

struct GoodCase {
    std::string text;
    std::int32_t value;
};

TEST(StrToInt, AcceptedForms)
{
    const std::vector<GoodCase> cases = {
        {"0", 0},
        {"580", 580},
        {"  580", 580},  // leading blanks
        {"+7", 7},
        {"-7", -7},
        {"   -12", -12},
        {"007", 7},
        {"00000000000000000012", 12},  // leading zeros do not count against the range
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$ff", 255},
        {"$FF", 255},
        {"x1A", 26},
        {"X1a", 26},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"+0x10", 16},
        {"$7FFFFFFF", INT32_MAX},  // hexadecimal digits spell a value, not a bit pattern
        {"0x7fffffff", INT32_MAX},
        {"-$1", -1},
        {"-$7FFFFFFF", -INT32_MAX},
        {"-$80000000", INT32_MIN},  // the one negative hexadecimal form at the edge
        {"-0X80000000", INT32_MIN},
        {"$00000000FF", 255},
        {"$000000007FFFFFFF", INT32_MAX},
        {"0", 0},
        {"-0", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tembrook::StrToInt(c.text), c.value) << c.text;
        EXPECT_EQ(tembrook::TryStrToInt(c.text), c.value) << c.text;
    }
}

TEST(StrToInt, RejectedFormsNameTheWholeText)
{
    // From "$80000000" on: hexadecimal values beyond the signed 32-bit range.
    const std::vector<std::string> cases = {
        "",           " ",           "+",           "-",          "$",          "0x",
        "x",          "12 ",         "1,200",       "\\580",      "3/",         "1e3",
        "2147483648", "-2147483649", "99999999999", "$100000000", "0x1G",       "\t5",
        "5\0"s,       "--5",         "+-5",         " - 5",       "\x95\x73",   "0x-5",
        "\x82\x50",   "$ 1",         "0$1",         "12x",        "$80000000",  "$FFFFFFFF",
        "0x80000000", "XFFFFFFFF",   "+$80000000",  "-$80000001", "-$FFFFFFFF", "$0000000080000000",
    };
    for (const auto& text : cases) {
        EXPECT_FALSE(tembrook::TryStrToInt(text).has_value()) << testing::PrintToString(text);
        try {
            tembrook::StrToInt(text);
            ADD_FAILURE() << testing::PrintToString(text) << " was accepted";
        } catch (const tembrook::EConvertError& e) {
            std::string shown = text;
            if (const auto nul = shown.find('\0'); nul != std::string::npos)
                shown.replace(nul, 1, "\\0");
            EXPECT_EQ(std::string(e.what()), "'" + shown + "' is not a valid integer value");
        }
    }
}

}  // namespace
