// Fuzzes the CP932 string conventions and the text, date and number helpers
// the parsers stand on, each against a plain restatement of its rule that
// classifies every byte by reading the text from its start (slow, obviously
// right). The input supplies a needle, a position, a count, a number and a
// text (FuzzedDataProvider).

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DateUtils.h"
#include "Errors.h"
#include "FuzzChecks.h"
#include "NumberFormat.h"
#include "SjisString.h"
#include "StrToInt.h"
#include "TextHelpers.h"

namespace {

using tembrook::TByteType;

// --- The rules, restated -------------------------------------------------

bool LeadValue(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::vector<TByteType> Classify(std::string_view text)
{
    std::vector<TByteType> types(text.size(), TByteType::mbSingleByte);
    bool trailNext = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (trailNext) {
            types[i] = TByteType::mbTrailByte;
            trailNext = false;
        } else if (LeadValue(static_cast<unsigned char>(text[i]))) {
            types[i] = TByteType::mbLeadByte;
            trailNext = true;
        }
    }
    return types;
}

std::string_view CutAtNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// Search from 1-based from1; the text ends at its first NUL (from the start
// when nulFromStart, else the first NUL at or after from1).
std::size_t Pos(std::string_view needle, std::string_view text, std::int64_t from1, bool nulFromStart)
{
    needle = CutAtNul(needle);
    const std::size_t start = from1 < 1 ? 0 : static_cast<std::size_t>(from1 - 1);
    if (start > text.size())
        return 0;
    const std::string_view cut =
        nulFromStart ? CutAtNul(text) : text.substr(0, start + CutAtNul(text.substr(start)).size());
    if (needle.empty() || cut.empty())
        return 0;
    const std::vector<TByteType> types = Classify(text);
    for (std::size_t i = start; i + needle.size() <= cut.size(); ++i) {
        if (types[i] != TByteType::mbTrailByte && cut.substr(i, needle.size()) == needle)
            return i + 1;
    }
    return 0;
}

std::string Lower(std::string_view text)
{
    const std::vector<TByteType> types = Classify(text);
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (types[i] == TByteType::mbSingleByte && result[i] >= 'A' && result[i] <= 'Z')
            result[i] += 'a' - 'A';
    }
    return result;
}

std::string Substring(std::string_view text, std::int64_t index, std::int64_t count)
{
    std::string result;
    for (std::int64_t i = std::max<std::int64_t>(index, 1);
         count > 0 && i <= static_cast<std::int64_t>(text.size()); ++i, --count) {
        result += text[static_cast<std::size_t>(i - 1)];
    }
    return result;
}

bool Blank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string TrimBoth(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && Blank(text[begin]))
        ++begin;
    while (end > begin && Blank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> Lines(std::string_view text)
{
    text = CutAtNul(text);
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // bytes (or nothing) since the last break still form a line
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += text[i];
            open = true;
        }
    }
    if (open)
        lines.push_back(line);
    return lines;
}

std::size_t LastDelimiter(std::string_view set, std::string_view text)
{
    const std::vector<TByteType> types = Classify(text);
    for (std::size_t i = text.size(); i > 0; --i) {
        if (types[i - 1] != TByteType::mbTrailByte && set.find(text[i - 1]) != std::string_view::npos)
            return i;
    }
    return 0;
}

std::string HrefValue(std::string_view line)
{
    const std::int64_t whole = static_cast<std::int64_t>(line.size());
    std::string t = Substring(line, static_cast<std::int64_t>(Pos("href", Lower(line), 1, true)), whole);
    if (const std::size_t gt = Pos(">", t, 1, true))
        t = Substring(t, 1, static_cast<std::int64_t>(gt) - 1);
    if (const std::size_t blank = Pos(" ", t, 1, true))
        t = Substring(t, 1, static_cast<std::int64_t>(blank) - 1);
    t = Substring(t, static_cast<std::int64_t>(Pos("=", t, 1, true)) + 1, whole);
    if (Pos("\"", t, 1, true) > 0)
        t = Substring(t, 2, static_cast<std::int64_t>(t.size()) - 2);
    return t;
}

std::string WithoutTags(std::string_view text)
{
    const std::vector<TByteType> types = Classify(text);
    std::string result;
    bool inTag = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool single = types[i] == TByteType::mbSingleByte;
        if (single && text[i] == '<') {
            inTag = true;
        } else if (single && text[i] == '>') {
            inTag = false;
        } else if (!inTag) {
            result += text[i];
        }
    }
    return TrimBoth(result);
}

std::string HalfWidth(std::string text)
{
    static const char* const kAscii =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-*/,.!?()%";
    std::vector<int> codes;
    for (int i = 0; i < 26; ++i)
        codes.push_back(0x8260 + i);
    for (int i = 0; i < 26; ++i)
        codes.push_back(0x8281 + i);
    for (int i = 0; i < 10; ++i)
        codes.push_back(0x824F + i);
    for (const int code :
         {0x817B, 0x817C, 0x8196, 0x815E, 0x8143, 0x8144, 0x8149, 0x8148, 0x8169, 0x816A, 0x8193})
        codes.push_back(code);
    for (std::size_t entry = 0; entry < codes.size(); ++entry) {
        const std::string wide{static_cast<char>(codes[entry] >> 8), static_cast<char>(codes[entry] & 0xFF)};
        for (std::size_t p = Pos(wide, text, 1, true); p > 0; p = Pos(wide, text, 1, true)) {
            text = text.substr(0, p - 1) + kAscii[entry] + text.substr(p + 1);
        }
    }
    return text;
}

// The integer grammar: blanks, a sign, then decimal digits, or a hex prefix
// and hex digits; nothing else. The signed value must fit in 32 bits.
std::optional<std::int32_t> Integer(std::string_view text)
{
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    std::string_view rest = text.substr(i);
    int base = 10;
    for (const std::string_view prefix : {"$", "x", "X", "0x", "0X"}) {
        if (rest.size() > prefix.size() - 1 && rest.substr(0, prefix.size()) == prefix) {
            base = 16;
            rest.remove_prefix(prefix.size());
            break;
        }
    }
    if (rest.empty())
        return std::nullopt;
    long double magnitude = 0;
    for (const char c : rest) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > 1e12L)
            magnitude = 1e12L;  // far out of range either way
    }
    // Hexadecimal or decimal, the signed value must fit in 32 bits.
    const long double value = negative ? -magnitude : magnitude;
    if (value < -2147483648.0L || value > 2147483647.0L)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// --- The checks -----------------------------------------------------------

void CheckSearching(std::string_view needle, std::string_view text)
{
    const std::vector<TByteType> types = Classify(text);
    for (std::size_t i = 0; i < text.size(); ++i)
        TEMBROOK_FUZZ_CHECK(tembrook::ByteType(text, i + 1) == types[i]);
    TEMBROOK_FUZZ_CHECK(tembrook::AnsiPos(needle, text) == Pos(needle, text, 1, true));
    const std::string lowerNeedle = Lower(needle);
    TEMBROOK_FUZZ_CHECK(tembrook::PosIgnoreCase(lowerNeedle, text) == Pos(lowerNeedle, Lower(text), 1, true));
    TEMBROOK_FUZZ_CHECK(tembrook::AnsiLowerCase(text) == Lower(text));
    TEMBROOK_FUZZ_CHECK(tembrook::LastDelimiter(needle, text) == LastDelimiter(needle, text));
}

void CheckCutting(std::string_view text, std::int64_t index, std::int64_t count)
{
    TEMBROOK_FUZZ_CHECK(tembrook::Trim(text) == TrimBoth(text));
    TEMBROOK_FUZZ_CHECK(tembrook::TrimView(text) == TrimBoth(text));
    TEMBROOK_FUZZ_CHECK(tembrook::Copy(text, index, count) == Substring(text, index, count));

    const std::vector<std::string> lines = tembrook::SplitLines(text);
    TEMBROOK_FUZZ_CHECK(lines == Lines(text));
    // Lines hold no break, so writing them out and reading them back is exact.
    TEMBROOK_FUZZ_CHECK(tembrook::SplitLines(tembrook::JoinLinesCRLF(lines)) == lines);
}

void CheckCellHelpers(std::string_view text)
{
    const std::string path = tembrook::ExtractURLPath(text);
    TEMBROOK_FUZZ_CHECK(path == Substring(text, 1, static_cast<std::int64_t>(LastDelimiter("/:", text))));
    TEMBROOK_FUZZ_CHECK(tembrook::ExtractHrefValue(text) == HrefValue(text));
    TEMBROOK_FUZZ_CHECK(tembrook::RemoveHTMLTags(text) == WithoutTags(text));

    bool digits = !text.empty();
    for (const char c : text)
        digits = digits && c >= '0' && c <= '9';
    TEMBROOK_FUZZ_CHECK(tembrook::IsAllDigits(text) == digits);

    const std::string half = tembrook::FullToHalfWidth(text);
    TEMBROOK_FUZZ_CHECK(half.size() <= text.size());
    if (text.size() <= 256)
        TEMBROOK_FUZZ_CHECK(half == HalfWidth(std::string(text)));
}

void CheckInteger(std::string_view text)
{
    const std::optional<std::int32_t> expected = Integer(text);
    TEMBROOK_FUZZ_CHECK(tembrook::TryStrToInt(text) == expected);
    try {
        const std::int32_t value = tembrook::StrToInt(text);
        TEMBROOK_FUZZ_CHECK(expected && value == *expected);
    } catch (const tembrook::EConvertError& error) {
        TEMBROOK_FUZZ_CHECK(!expected);
        const std::string_view message = error.what();
        TEMBROOK_FUZZ_CHECK(message.size() >= text.size());
        TEMBROOK_FUZZ_CHECK(message.find("' is not a valid integer value") != std::string_view::npos);
    }
}

bool SameValue(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

void CheckDates(double value, int year, int month, int day)
{
    const tembrook::TCivilDate civil = tembrook::DecodeDate(value);
    const double first = tembrook::FirstDayOfMonth(value);
    const double last = tembrook::LastDayOfMonth(value);
    if (civil.Year == 0) {
        TEMBROOK_FUZZ_CHECK(SameValue(first, value));
        TEMBROOK_FUZZ_CHECK(SameValue(last, value));
    } else {
        const tembrook::TCivilDate firstCivil = tembrook::DecodeDate(first);
        const tembrook::TCivilDate lastCivil = tembrook::DecodeDate(last);
        const int days = tembrook::DaysInMonth(civil.Year, civil.Month);
        TEMBROOK_FUZZ_CHECK(firstCivil == (tembrook::TCivilDate{civil.Year, civil.Month, 1}));
        TEMBROOK_FUZZ_CHECK(lastCivil == (tembrook::TCivilDate{civil.Year, civil.Month, days}));
        TEMBROOK_FUZZ_CHECK(first == std::trunc(first) && last == std::trunc(last));
        TEMBROOK_FUZZ_CHECK(last - first + 1 == days);
    }
    TEMBROOK_FUZZ_CHECK(tembrook::FormatMonthDay(value, "/").size() == 5);
    TEMBROOK_FUZZ_CHECK(tembrook::FormatMonth(value).size() == 2);

    double encoded = -12345.0;
    const bool valid = year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
        day <= tembrook::DaysInMonth(year, month);
    TEMBROOK_FUZZ_CHECK(tembrook::TryEncodeDate(year, month, day, encoded) == valid);
    if (valid) {
        TEMBROOK_FUZZ_CHECK(tembrook::DecodeDate(encoded) == (tembrook::TCivilDate{year, month, day}));
        TEMBROOK_FUZZ_CHECK(tembrook::EncodeDate(year, month, day) == encoded);
    } else {
        TEMBROOK_FUZZ_CHECK(encoded == -12345.0);
        bool threw = false;
        try {
            (void)tembrook::EncodeDate(year, month, day);
        } catch (const tembrook::EConvertError&) {
            threw = true;
        }
        TEMBROOK_FUZZ_CHECK(threw);
    }
}

void CheckNumber(double value)
{
    const std::string grouped = tembrook::FormatFloatN0(value, ",");
    TEMBROOK_FUZZ_CHECK(!grouped.empty());
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return;
    std::string plain;
    for (const char c : grouped)
        if (c != ',')
            plain += c;
    const double rounded = std::round(value);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.0f", rounded == 0 ? 0.0 : rounded);
    TEMBROOK_FUZZ_CHECK(plain == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const std::string needle = provider.ConsumeRandomLengthString(12);
    const auto from1 = provider.ConsumeIntegralInRange<std::int64_t>(-3, 5000);
    const auto count = provider.ConsumeIntegralInRange<std::int64_t>(-3, 5000);
    const auto year = provider.ConsumeIntegralInRange<int>(-1, 10001);
    const auto month = provider.ConsumeIntegralInRange<int>(-1, 14);
    const auto day = provider.ConsumeIntegralInRange<int>(-1, 33);
    const double number = provider.ConsumeFloatingPoint<double>();
    const std::string text = provider.ConsumeRemainingBytesAsString();

    CheckSearching(needle, text);
    CheckCutting(text, from1, count);
    CheckCellHelpers(text);
    CheckInteger(text);
    CheckInteger(needle);
    CheckDates(number, year, month, day);
    CheckDates(static_cast<double>(from1) * 37.25 + count, year, month, day);
    CheckNumber(number);
    return 0;
}
