#include "TextHelpers.h"

#include <array>
#include <cstdint>

#include "SjisString.h"

namespace tembrook {

namespace {

inline unsigned char U8(char c) noexcept
{
    return static_cast<unsigned char>(c);
}

// The 73 full-width characters and their ASCII forms, indexed by the trail
// byte for each of the two lead bytes that occur (0x81 and 0x82). 0 = keep.
struct TWidthTable {
    std::array<char, 256> Lead81{};
    std::array<char, 256> Lead82{};
};

constexpr TWidthTable MakeWidthTable()
{
    TWidthTable table;
    for (int i = 0; i < 26; ++i) {
        table.Lead82[0x60 + i] = static_cast<char>('A' + i);  // Ａ..Ｚ = 0x8260..0x8279
        table.Lead82[0x81 + i] = static_cast<char>('a' + i);  // ａ..ｚ = 0x8281..0x829A
    }
    for (int i = 0; i < 10; ++i)
        table.Lead82[0x4F + i] = static_cast<char>('0' + i);  // ０..９
    table.Lead81[0x7B] = '+';                                 // ＋
    table.Lead81[0x7C] = '-';                                 // －
    table.Lead81[0x96] = '*';                                 // ＊
    table.Lead81[0x5E] = '/';                                 // ／
    table.Lead81[0x43] = ',';                                 // ，
    table.Lead81[0x44] = '.';                                 // ．
    table.Lead81[0x49] = '!';                                 // ！
    table.Lead81[0x48] = '?';                                 // ？
    table.Lead81[0x69] = '(';                                 // （
    table.Lead81[0x6A] = ')';                                 // ）
    table.Lead81[0x93] = '%';                                 // ％
    return table;
}

constexpr TWidthTable kWidthTable = MakeWidthTable();

}  // namespace

std::string ExtractURLPath(std::string_view url)
{
    return Copy(url, 1, static_cast<std::int64_t>(LastDelimiter("/:", url)));
}

std::string ExtractHrefValue(std::string_view line)
{
    const auto whole = static_cast<std::int64_t>(line.size());
    std::string value = Copy(line, static_cast<std::int64_t>(PosIgnoreCase("href", line)), whole);
    if (const std::size_t gt = AnsiPos(">", value); gt > 0)
        value.resize(gt - 1);
    if (const std::size_t blank = AnsiPos(" ", value); blank > 0)
        value.resize(blank - 1);
    const std::size_t equals = AnsiPos("=", value);
    value = Copy(value, static_cast<std::int64_t>(equals) + 1, whole);
    if (AnsiPos("\"", value) > 0) {
        value = Copy(value, 2, static_cast<std::int64_t>(value.size()) - 2);
    }
    return value;
}

namespace {

// Byte classes for RemoveHTMLTags, read from one table instead of testing
// every byte against the lead-byte ranges and both brackets.
enum : std::uint8_t { tcPlain = 0, tcLead = 1, tcOpen = 2, tcClose = 3 };

constexpr std::array<std::uint8_t, 256> MakeTagClasses()
{
    std::array<std::uint8_t, 256> classes{};
    for (int b = 0; b < 256; ++b)
        classes[b] = IsLeadByteValue(static_cast<unsigned char>(b)) ? tcLead : tcPlain;
    classes['<'] = tcOpen;
    classes['>'] = tcClose;
    return classes;
}

constexpr std::array<std::uint8_t, 256> kTagClasses = MakeTagClasses();

}  // namespace

std::string RemoveHTMLTags(std::string_view text)
{
    // The text between tags is copied a run at a time, and the result is
    // trimmed in place, so a cell costs at most the one allocation of its
    // result (none when that fits the string's own buffer). A lead byte takes
    // the next byte with it whatever its value, so a "<" or ">" trail byte is
    // part of a character, not markup (and a lead byte that ends the text
    // stands alone).
    std::string result;
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        // Outside a tag: keep everything up to the next single-byte "<" or ">".
        const std::size_t start = i;
        std::uint8_t kind = tcPlain;
        while (i < size) {
            kind = kTagClasses[U8(text[i])];
            if (kind == tcPlain) {
                ++i;
            } else if (kind == tcLead) {
                i += 2;
            } else {
                break;
            }
        }
        if (i >= size) {
            result.append(text, start, std::string_view::npos);
            break;
        }
        result.append(text, start, i - start);
        ++i;
        // A stray ">" only disappears; a "<" opens a tag, which ends after its
        // first single-byte ">" (tags do not nest) or with the text.
        if (kind == tcClose)
            continue;
        while (i < size) {
            kind = kTagClasses[U8(text[i])];
            i += (kind == tcLead) ? 2 : 1;
            if (kind == tcClose)
                break;
        }
    }
    std::size_t end = result.size();
    while (end > 0 && U8(result[end - 1]) <= 0x20)
        --end;
    std::size_t begin = 0;
    while (begin < end && U8(result[begin]) <= 0x20)
        ++begin;
    result.erase(end);
    result.erase(0, begin);
    return result;
}

bool IsAllDigits(std::string_view text) noexcept
{
    if (text.empty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

namespace {

// FullToHalfWidth into `out`, which has room for text.size() bytes (the
// result is never longer); returns the result's length.
std::size_t FullToHalfWidthInto(std::string_view text, char* out) noexcept
{
    // Searching stops at the first NUL, so nothing after it is replaced.
    const std::size_t limit = UntilNul(text).size();
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < limit) {
        const unsigned char b = U8(text[i]);
        if (!IsLeadByteValue(b) || i + 1 >= limit) {
            // A single byte, or a lead byte with no trail byte before the end or NUL.
            out[n++] = text[i];
            ++i;
            continue;
        }
        const unsigned char trail = U8(text[i + 1]);
        char ascii = 0;
        if (b == 0x81)
            ascii = kWidthTable.Lead81[trail];
        if (b == 0x82)
            ascii = kWidthTable.Lead82[trail];
        if (ascii != 0) {
            out[n++] = ascii;
        } else {
            out[n++] = text[i];
            out[n++] = text[i + 1];
        }
        i += 2;
    }
    for (; i < text.size(); ++i)
        out[n++] = text[i];
    return n;
}

}  // namespace

std::string FullToHalfWidth(std::string_view text)
{
    // A cell's text is converted on the stack, so the result is allocated once
    // at its own size (or not at all when it fits the string's own buffer).
    constexpr std::size_t kStackSize = 256;
    if (text.size() <= kStackSize) {
        char buffer[kStackSize];
        return std::string(buffer, FullToHalfWidthInto(text, buffer));
    }
    std::string result(text.size(), '\0');
    result.resize(FullToHalfWidthInto(text, result.data()));
    return result;
}

TDateTime FirstDayOfMonth(TDateTime date) noexcept
{
    const TCivilDate civil = DecodeDate(date);
    TDateTime first = date;
    if (civil.Year == 0 || !TryEncodeDate(civil.Year, civil.Month, 1, first))
        return date;
    return first;
}

TDateTime LastDayOfMonth(TDateTime date) noexcept
{
    // Day 1 of the next month minus one day is the month's last day; counting
    // the month's days gives the same value and also works for December 9999.
    const TCivilDate civil = DecodeDate(date);
    TDateTime last = date;
    if (civil.Year == 0 ||
        !TryEncodeDate(civil.Year, civil.Month, DaysInMonth(civil.Year, civil.Month), last)) {
        return date;
    }
    return last;
}

}  // namespace tembrook
