#pragma once
// Today's local civil date, the one place the program asks for it. Tests pin
// "today" with TScopedToday (or SetTodayForTesting) so that date parsing gives
// the same answer on every run; without an override the system clock and the
// local time zone answer. Safe to call from any thread.

#include "ScopedOverride.h"

#include <functional>
#include <optional>

namespace tembrook::platform {

struct TLocalDate {
    int Year = 0;
    int Month = 0;  // 1..12
    int Day = 0;    // 1..31
    friend bool operator==(const TLocalDate&, const TLocalDate&) = default;
};

// A moment in UTC, to the second.
struct TUtcDateTime {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    friend bool operator==(const TUtcDateTime&, const TUtcDateTime&) = default;
};

// Today's local date (the override if one is set).
TLocalDate Today();

// The system's answer, ignoring any override.
TLocalDate SystemToday();

// The current time in UTC (a file's creation stamp). While a test overrides
// Today(), the overriding day at 00:00:00, so that what it writes is the same
// on every run.
TUtcDateTime UtcNow();

// Replaces the answer of Today() until reset with std::nullopt.
void SetTodayForTesting(std::optional<TLocalDate> date);
// Replaces the answer of Today() by a function (for a clock that moves);
// an empty function resets to the system clock.
void SetTodayProviderForTesting(std::function<TLocalDate()> provider);

namespace detail {
// Installs the function Today() answers with (an empty one: the system clock)
// and returns the one it replaces.
std::function<TLocalDate()> ExchangeTodayProvider(std::function<TLocalDate()> provider);
}  // namespace detail

// Pins Today() for the lifetime of the object and restores the previous
// setting when it ends.
class TScopedToday : public TScopedOverride<std::function<TLocalDate()>, &detail::ExchangeTodayProvider> {
public:
    explicit TScopedToday(TLocalDate date) : TScopedOverride([date] { return date; }) {}
};

}  // namespace tembrook::platform
