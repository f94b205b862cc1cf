// Encoding, decoding and formatting of day counts since 1899-12-30.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "DateUtils.h"
#include "Errors.h"

namespace {

struct DayCase {
    int year, month, day;
    double value;
};

// Values that any implementation of this calendar must give.
const std::vector<DayCase> kKnownDays = {
    {1899, 12, 30, 0},    {1900, 1, 1, 2},      {1970, 1, 1, 25569}, {2000, 2, 29, 36585},
    {2026, 3, 14, 46095}, {2028, 2, 29, 46812}, {1, 1, 1, -693593},  {9999, 12, 31, 2958465},
};

TEST(EncodeDate, KnownDays)
{
    for (const auto& c : kKnownDays) {
        EXPECT_EQ(tembrook::EncodeDate(c.year, c.month, c.day), c.value)
            << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(tembrook::DecodeDate(c.value), (tembrook::TCivilDate{c.year, c.month, c.day}));
    }
}

TEST(EncodeDate, RejectsDaysThatDoNotExist)
{
    const std::vector<DayCase> bad = {
        {2026, 2, 29, 0}, {2026, 2, 30, 0}, {2026, 4, 31, 0}, {2026, 0, 1, 0},
        {2026, 13, 1, 0}, {2026, 1, 0, 0},  {2026, 1, 32, 0}, {0, 1, 1, 0},
        {10000, 1, 1, 0}, {1900, 2, 29, 0}, {2026, -1, 1, 0},
    };
    for (const auto& c : bad) {
        try {
            tembrook::EncodeDate(c.year, c.month, c.day);
            ADD_FAILURE() << c.year << "-" << c.month << "-" << c.day << " was accepted";
        } catch (const tembrook::EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to date encode");
        }
        double untouched = 42;
        EXPECT_FALSE(tembrook::TryEncodeDate(c.year, c.month, c.day, untouched));
        EXPECT_EQ(untouched, 42);
    }
}

TEST(DecodeDate, RoundTripsEveryDayOfSeveralCenturies)
{
    double expected = tembrook::EncodeDate(1890, 1, 1);
    for (int y = 1890; y <= 2110; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= tembrook::DaysInMonth(y, m); ++d) {
                ASSERT_EQ(tembrook::EncodeDate(y, m, d), expected);
                // The time of day adds to the magnitude: -1.25 is the day -1 at 06:00.
                const double late = expected < 0 ? expected - 0.999 : expected + 0.999;
                ASSERT_EQ(tembrook::DecodeDate(late), (tembrook::TCivilDate{y, m, d}));
                expected += 1;
            }
        }
    }
}

TEST(DecodeDate, DatePartAndInvalidValues)
{
    // The date part of a negative value is truncated toward zero.
    EXPECT_EQ(tembrook::DecodeDate(-1.25), (tembrook::TCivilDate{1899, 12, 29}));
    EXPECT_EQ(tembrook::DecodeDate(-0.5), (tembrook::TCivilDate{1899, 12, 30}));
    EXPECT_EQ(tembrook::DecodeDate(std::nan("")), tembrook::TCivilDate{});
    EXPECT_EQ(tembrook::DecodeDate(INFINITY), tembrook::TCivilDate{});
    EXPECT_EQ(tembrook::DecodeDate(2958466.0), tembrook::TCivilDate{});
    EXPECT_EQ(tembrook::DecodeDate(-693594.0), tembrook::TCivilDate{});
    EXPECT_EQ(tembrook::DecodeDate(1e300), tembrook::TCivilDate{});
}

TEST(DaysInMonth, GregorianRule)
{
    EXPECT_EQ(tembrook::DaysInMonth(2024, 2), 29);
    EXPECT_EQ(tembrook::DaysInMonth(2100, 2), 28);
    EXPECT_EQ(tembrook::DaysInMonth(2400, 2), 29);
    EXPECT_EQ(tembrook::DaysInMonth(2026, 4), 30);
    EXPECT_EQ(tembrook::DaysInMonth(2026, 12), 31);
    EXPECT_EQ(tembrook::DaysInMonth(2026, 13), 0);
    EXPECT_EQ(tembrook::DaysInMonth(0, 1), 0);
}

TEST(FormatMonthDay, TwoDigitsAndTheGivenSeparator)
{
    const double date = tembrook::EncodeDate(2026, 3, 4) + 0.9;
    EXPECT_EQ(tembrook::FormatMonthDay(date, "/"), "03/04");
    EXPECT_EQ(tembrook::FormatMonthDay(date, "."), "03.04");
    EXPECT_EQ(tembrook::FormatMonthDay(tembrook::EncodeDate(2026, 12, 31), "-"), "12-31");
    EXPECT_EQ(tembrook::FormatMonth(date), "03");
    EXPECT_EQ(tembrook::FormatMonth(tembrook::EncodeDate(2026, 11, 1)), "11");
    EXPECT_EQ(tembrook::FormatMonthDay(0, "/"), "12/30");
    EXPECT_EQ(tembrook::FormatMonthDay(std::nan(""), "/"), "00/00");
}

}  // namespace
