#include "StrToInt.h"

#include "Errors.h"

namespace tembrook {

namespace {

int HexDigitValue(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) noexcept
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;  // no digits at all

    // Hexadecimal digits spell a value like decimal ones do (not a 32-bit
    // pattern), so the range check below covers both.
    constexpr std::uint64_t kMagnitudeLimit = 2147483648ull;  // |INT32_MIN|
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0 || (!hex && digit > 9))
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > kMagnitudeLimit)
            return std::nullopt;
    }
    if (negative)
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    if (value == kMagnitudeLimit)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t StrToInt(std::string_view text)
{
    if (const auto value = TryStrToInt(text))
        return *value;
    throw EConvertError::InvalidInteger(text);
}

}  // namespace tembrook
