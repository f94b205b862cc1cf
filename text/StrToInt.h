#pragma once
// The runtime's string-to-integer conversion, used for every month, day,
// volume and price the record reads from a cell.
//
// Accepted: optional leading blanks (0x20 only), an optional sign (+ or -),
// then either decimal digits or a hexadecimal prefix ($, x, X, 0x, 0X)
// followed by hexadecimal digits of either case, and nothing after them.
// The value the digits spell, with its sign, must lie in
// -2147483648..2147483647, for hexadecimal digits as for decimal ones:
// "$7FFFFFFF" is the highest hexadecimal value, "$80000000" fails and
// "-$80000000" is the lowest. Leading zeros do not count. Anything else, the
// empty text included, throws EConvertError "'%s' is not a valid integer
// value" with the whole text.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tembrook {

std::int32_t StrToInt(std::string_view text);
// Same rules; no value instead of the exception.
std::optional<std::int32_t> TryStrToInt(std::string_view text) noexcept;

}  // namespace tembrook
