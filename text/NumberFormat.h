#pragma once
// The "%.0n" number format: a value rounded to a whole number, thousands
// grouped with the given separator, no decimals, "-" before a negative
// result. Half-way values round away from zero (0.5 -> "1", 2.5 -> "3",
// -0.5 -> "-1"); a result of zero never shows a sign ("0" for -0.4).
// Non-finite values show as "NAN", "INF" and "-INF".
//
// Examples with ",": 1200 -> "1,200", -1 -> "-1", 1263616 / 1024.0 -> "1,234"
// (the status bar adds "Kbyte" after it).

#include <string>
#include <string_view>

namespace tembrook {

std::string FormatFloatN0(double value, std::string_view thousandsSeparator);

}  // namespace tembrook
