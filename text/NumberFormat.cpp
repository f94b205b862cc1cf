#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tembrook {

std::string FormatFloatN0(double value, std::string_view thousandsSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";

    const double rounded = std::round(value);  // half-way cases away from zero
    const bool negative = rounded < 0;
    // Exact decimal digits of the (whole) magnitude, whatever its size.
    char digits[400];
    const double whole = std::fabs(rounded);
    // Below 2^53 every whole number is exact as an integer too, whose digits
    // come far cheaper than a double's exact decimal expansion (a price on
    // every line of an export); above it, the double's own digits.
    constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
    const auto [end, ec] = whole < kExactIntegers
        ? std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(whole))
        : std::to_chars(digits, digits + sizeof digits, whole, std::chars_format::fixed, 0);
    if (ec != std::errc())
        return "0";  // cannot happen for a finite double: 309 digits at most
    const std::string_view magnitude(digits, static_cast<std::size_t>(end - digits));

    std::string result;
    result.reserve(magnitude.size() + (magnitude.size() / 3) * thousandsSeparator.size() + 1);
    if (negative)
        result += '-';
    const std::size_t firstGroup = magnitude.size() % 3 == 0 ? 3 : magnitude.size() % 3;
    result.append(magnitude.substr(0, firstGroup));
    for (std::size_t i = firstGroup; i < magnitude.size(); i += 3) {
        result += thousandsSeparator;
        result.append(magnitude.substr(i, 3));
    }
    return result;
}

}  // namespace tembrook
