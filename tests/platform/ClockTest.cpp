// The clock seam: the system's local date, and overrides that nest and restore.

#include <gtest/gtest.h>

#include <ctime>

#include "Clock.h"

namespace {

using tembrook::platform::TLocalDate;

TEST(Clock, SystemDateIsTheLocalCalendarDate)
{
    const std::time_t before = std::time(nullptr);
    const TLocalDate today = tembrook::platform::SystemToday();
    const std::time_t after = std::time(nullptr);
    std::tm a{}, b{};
    localtime_r(&before, &a);
    localtime_r(&after, &b);
    // Midnight may pass between the calls; the answer is one of the two days.
    const TLocalDate first{a.tm_year + 1900, a.tm_mon + 1, a.tm_mday};
    const TLocalDate second{b.tm_year + 1900, b.tm_mon + 1, b.tm_mday};
    EXPECT_TRUE(today == first || today == second);
    EXPECT_EQ(tembrook::platform::Today(), tembrook::platform::SystemToday());
}

TEST(Clock, ScopedOverridesNestAndRestore)
{
    const TLocalDate system = tembrook::platform::SystemToday();
    {
        tembrook::platform::TScopedToday outer({2026, 3, 20});
        EXPECT_EQ(tembrook::platform::Today(), (TLocalDate{2026, 3, 20}));
        {
            tembrook::platform::TScopedToday inner({2028, 2, 29});
            EXPECT_EQ(tembrook::platform::Today(), (TLocalDate{2028, 2, 29}));
        }
        EXPECT_EQ(tembrook::platform::Today(), (TLocalDate{2026, 3, 20}));
        EXPECT_EQ(tembrook::platform::SystemToday(), system);  // the system answer is never overridden
    }
    EXPECT_EQ(tembrook::platform::Today(), tembrook::platform::SystemToday());
}

TEST(Clock, SettersAndProviders)
{
    tembrook::platform::SetTodayForTesting(TLocalDate{2026, 1, 31});
    EXPECT_EQ(tembrook::platform::Today(), (TLocalDate{2026, 1, 31}));
    int calls = 0;
    tembrook::platform::SetTodayProviderForTesting([&calls] {
        ++calls;
        return TLocalDate{2026, 1, calls};
    });
    EXPECT_EQ(tembrook::platform::Today().Day, 1);
    EXPECT_EQ(tembrook::platform::Today().Day, 2);  // a clock that moves
    tembrook::platform::SetTodayForTesting(std::nullopt);
    EXPECT_EQ(tembrook::platform::Today(), tembrook::platform::SystemToday());
    tembrook::platform::SetTodayProviderForTesting({});
    EXPECT_EQ(tembrook::platform::Today(), tembrook::platform::SystemToday());
}

}  // namespace
