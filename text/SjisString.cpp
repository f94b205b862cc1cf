#include "SjisString.h"

#include <algorithm>
#include <array>

#include "LineScan.h"

namespace tembrook {

namespace {

inline unsigned char U8(char c) noexcept
{
    return static_cast<unsigned char>(c);
}

// First occurrence of needle in text whose first byte is a character
// boundary, 1-based. text and needle are already cut at their NUL and not
// empty. One forward walk keeps the boundary position `cur` at or just past
// each candidate, so the whole search touches every byte a bounded number of
// times.
std::size_t FindOnBoundary(std::string_view needle, std::string_view text) noexcept
{
    std::size_t cur = 0;
    std::size_t cand = text.find(needle);
    while (cand != std::string_view::npos) {
        while (cur < cand)
            cur += IsLeadByteValue(U8(text[cur])) ? 2 : 1;
        if (cur == cand)
            return cand + 1;
        // cand is the trail byte of the pair that starts at cand - 1; cur is the
        // boundary right after that pair.
        cand = text.find(needle, cur);
    }
    return 0;
}

}  // namespace

TByteType ByteType(std::string_view text, std::size_t index1) noexcept
{
    if (index1 == 0 || index1 > text.size())
        return TByteType::mbSingleByte;
    const std::size_t at = index1 - 1;
    // A byte is a trail byte exactly when the run of lead-value bytes right
    // before it has odd length.
    std::size_t run = 0;
    while (run < at && IsLeadByteValue(U8(text[at - run - 1])))
        ++run;
    if (run % 2 == 1)
        return TByteType::mbTrailByte;
    return IsLeadByteValue(U8(text[at])) ? TByteType::mbLeadByte : TByteType::mbSingleByte;
}

std::string_view UntilNul(std::string_view text) noexcept
{
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::size_t AnsiPos(std::string_view needle, std::string_view text) noexcept
{
    const std::string_view n = UntilNul(needle);
    const std::string_view t = UntilNul(text);
    if (n.empty() || t.empty())
        return 0;
    return FindOnBoundary(n, t);
}

std::size_t PosIgnoreCase(std::string_view lowerNeedle, std::string_view text)
{
    return AnsiPos(lowerNeedle, AnsiLowerCase(text));
}

std::string AnsiLowerCase(std::string_view text)
{
    std::string result(text);
    std::size_t i = 0;
    while (i < result.size()) {
        const unsigned char b = U8(result[i]);
        if (IsLeadByteValue(b)) {
            i += 2;  // the trail byte keeps its value even if it looks like a letter
        } else {
            result[i] = ToAsciiLower(result[i]);
            ++i;
        }
    }
    return result;
}

int CompareTextIgnoreAsciiCase(std::string_view text1, std::string_view text2) noexcept
{
    TUpperFoldingReader r1(text1);
    TUpperFoldingReader r2(text2);
    while (!r1.AtEnd() && !r2.AtEnd()) {
        const unsigned char b1 = r1.Next();
        const unsigned char b2 = r2.Next();
        if (b1 != b2)
            return b1 < b2 ? -1 : 1;
    }
    // One is a prefix of the other: the shorter goes first.
    if (text1.size() == text2.size())
        return 0;
    return text1.size() < text2.size() ? -1 : 1;
}

std::string Trim(std::string_view text)
{
    return std::string(TrimView(text));
}

std::string Copy(std::string_view text, std::int64_t index, std::int64_t count)
{
    if (count <= 0)
        return {};
    if (index < 1)
        index = 1;
    const auto size = static_cast<std::int64_t>(text.size());
    if (index > size)
        return {};
    const std::int64_t available = size - index + 1;
    const std::int64_t take = std::min(count, available);
    return std::string(text.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(take)));
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    TLineScan(text).ForEach([&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string JoinLinesCRLF(const std::vector<std::string>& lines)
{
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::string result;
    result.reserve(total);
    for (const auto& line : lines) {
        result += line;
        result += "\r\n";
    }
    return result;
}

std::size_t LastDelimiter(std::string_view delimiters, std::string_view text) noexcept
{
    std::array<bool, 256> isDelimiter{};
    for (const char c : delimiters)
        isDelimiter[U8(c)] = true;
    std::size_t last = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char b = U8(text[i]);
        if (isDelimiter[b])
            last = i + 1;
        i += IsLeadByteValue(b) ? 2 : 1;  // the trail byte is never a delimiter
    }
    return last;
}

}  // namespace tembrook
