// The "%.0n" format: rounding, grouping, signs.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "NumberFormat.h"

namespace {

struct FormatCase {
    double value;
    std::string expected;
};

TEST(FormatFloatN0, GroupsThousandsAndRounds)
{
    const std::vector<FormatCase> cases = {
        {0, "0"},
        {-1, "-1"},
        {580, "580"},
        {999, "999"},
        {1000, "1,000"},
        {1200, "1,200"},
        {-1200, "-1,200"},
        {1234567, "1,234,567"},
        {999999999, "999,999,999"},
        {1263616 / 1024.0, "1,234"},  // 1234.0
        {1263615 / 1024.0, "1,234"},  // 1233.999...
        {1264127 / 1024.0, "1,234"},  // 1234.499...
        {1264128 / 1024.0, "1,235"},  // 1234.5: half-way away from zero
        {0.5, "1"},
        {1.5, "2"},
        {2.5, "3"},
        {-0.5, "-1"},
        {-2.5, "-3"},
        {0.4, "0"},
        {-0.4, "0"},  // no "-0"
        {-0.0, "0"},
        {2147483647.0, "2,147,483,647"},
        // Either side of 2^53, where the digits switch from an integer's to the double's own.
        {9007199254740991.0, "9,007,199,254,740,991"},
        {-9007199254740991.0, "-9,007,199,254,740,991"},
        {9007199254740993.0, "9,007,199,254,740,992"},
        {9007199254740994.0, "9,007,199,254,740,994"},
        {18446744073709551616.0, "18,446,744,073,709,551,616"},  // 2^64, beyond any integer type here
        {1e21, "1,000,000,000,000,000,000,000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tembrook::FormatFloatN0(c.value, ","), c.expected) << c.value;
}

TEST(FormatFloatN0, UsesTheGivenSeparator)
{
    EXPECT_EQ(tembrook::FormatFloatN0(1234567, "."), "1.234.567");
    EXPECT_EQ(tembrook::FormatFloatN0(1234567, ""), "1234567");
    EXPECT_EQ(tembrook::FormatFloatN0(1234567, "\xA0\xA0"),
              "1\xA0\xA0"
              "234\xA0\xA0"
              "567");
    EXPECT_EQ(tembrook::FormatFloatN0(123, "."), "123");
}

TEST(FormatFloatN0, NonFiniteValues)
{
    EXPECT_EQ(tembrook::FormatFloatN0(std::nan(""), ","), "NAN");
    EXPECT_EQ(tembrook::FormatFloatN0(INFINITY, ","), "INF");
    EXPECT_EQ(tembrook::FormatFloatN0(-INFINITY, ","), "-INF");
    EXPECT_EQ(tembrook::FormatFloatN0(1.7976931348623157e308, ",").size(), 309u + 102u);
}

}  // namespace
