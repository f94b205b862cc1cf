#include "DateUtils.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "Errors.h"

namespace tembrook {

namespace {

using std::chrono::day;
using std::chrono::days;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

// Day 0 of TDateTime.
constexpr sys_days kEpoch = sys_days{year{1899} / 12 / 30};
// Whole-day values of 0001-01-01 and 9999-12-31.
constexpr double kMinDay = static_cast<double>((sys_days{year{1} / 1 / 1} - kEpoch).count());
constexpr double kMaxDay = static_cast<double>((sys_days{year{9999} / 12 / 31} - kEpoch).count());

// "%02d". Months and days, the only callers' values, take the short way;
// the list renders one date per row.
std::string TwoDigits(int value)
{
    if (value >= 0 && value < 100)
        return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

}  // namespace

bool IsLeapYear(int y) noexcept
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) noexcept
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12)
        return 0;
    return (m == 2 && IsLeapYear(y)) ? 29 : kDays[m - 1];
}

bool TryEncodeDate(int y, int m, int d, TDateTime& value) noexcept
{
    if (d < 1 || d > DaysInMonth(y, m))
        return false;
    const sys_days date{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}};
    value = static_cast<double>((date - kEpoch).count());
    return true;
}

TDateTime EncodeDate(int y, int m, int d)
{
    TDateTime value = 0;
    if (!TryEncodeDate(y, m, d, value))
        throw EConvertError::InvalidDateEncode();
    return value;
}

TCivilDate DecodeDate(TDateTime value) noexcept
{
    if (!std::isfinite(value))
        return {};
    const double whole = std::trunc(value);
    if (whole < kMinDay || whole > kMaxDay)
        return {};
    const year_month_day ymd{kEpoch + days{static_cast<long>(whole)}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

std::string FormatMonthDay(TDateTime value, std::string_view dateSeparator)
{
    const TCivilDate date = DecodeDate(value);
    std::string result = TwoDigits(date.Month);
    result += dateSeparator;
    result += TwoDigits(date.Day);
    return result;
}

std::string FormatMonth(TDateTime value)
{
    return TwoDigits(DecodeDate(value).Month);
}

}  // namespace tembrook
