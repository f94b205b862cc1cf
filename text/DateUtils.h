#pragma once
// Dates as the rest of the program stores them: a double counting days since
// 1899-12-30 (the fraction is the time of day). The supported range is the
// Gregorian years 1..9999. The date part of a value is its integer part
// (truncated toward zero), so -1.25 is 1899-12-29 at 06:00.

#include <string>
#include <string_view>

namespace tembrook {

using TDateTime = double;

// A civil date. All fields are 0 for "no valid date".
struct TCivilDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    friend bool operator==(const TCivilDate&, const TCivilDate&) = default;
};

bool IsLeapYear(int year) noexcept;
// 28..31 for a valid year and month, 0 otherwise.
int DaysInMonth(int year, int month) noexcept;

// Whole-day value of year-month-day; throws EConvertError
// ("Invalid argument to date encode") for a year outside 1..9999, a month
// outside 1..12 or a day the month does not have.
TDateTime EncodeDate(int year, int month, int day);
// Non-throwing form: false (and value untouched) where EncodeDate would throw.
bool TryEncodeDate(int year, int month, int day, TDateTime& value) noexcept;

// The civil date of a value's date part. A value that is not finite or lies
// outside years 1..9999 gives {0, 0, 0}.
TCivilDate DecodeDate(TDateTime value) noexcept;

// "mm" + dateSeparator + "dd": two-digit month and day with leading zeros.
// A value outside the supported range shows as "00" + separator + "00".
std::string FormatMonthDay(TDateTime value, std::string_view dateSeparator);
// "mm": the two-digit month with a leading zero ("00" outside the range).
std::string FormatMonth(TDateTime value);

}  // namespace tembrook
