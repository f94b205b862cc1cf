#include "SjisString.h"

#include <algorithm>
#include <array>

namespace tembrook {

namespace {

inline unsigned char U8(char c) noexcept
{
    return static_cast<unsigned char>(c);
}

// First occurrence of needle in text at or after from0 whose first byte is a
// character boundary. text and needle are already cut at their NUL and not
// empty. atBoundary tells whether from0 itself is a boundary. One forward walk
// keeps the boundary position `cur` at or just past each candidate, so the
// whole search touches every byte a bounded number of times.
std::size_t FindOnBoundary(std::string_view needle, std::string_view text, std::size_t from0,
                           bool atBoundary) noexcept
{
    std::size_t cur = atBoundary ? from0 : from0 + 1;
    std::size_t cand = text.find(needle, from0);
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
    return FindOnBoundary(n, t, 0, true);
}

std::size_t AnsiPosFrom(std::string_view needle, std::string_view text, std::size_t from1) noexcept
{
    if (from1 < 1)
        from1 = 1;
    const std::string_view n = UntilNul(needle);
    if (n.empty() || from1 > text.size())
        return 0;
    // Only the part from from1 on is searched for a NUL, so that a loop of
    // searches stays linear.
    const std::size_t nul = text.find('\0', from1 - 1);
    const std::string_view t = nul == std::string_view::npos ? text : text.substr(0, nul);
    if (from1 > t.size())
        return 0;
    const bool atBoundary = ByteType(t, from1) != TByteType::mbTrailByte;
    return FindOnBoundary(n, t, from1 - 1, atBoundary);
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
            if (b >= 'A' && b <= 'Z')
                result[i] = static_cast<char>(b + ('a' - 'A'));
            ++i;
        }
    }
    return result;
}

namespace {
inline bool IsTrimmed(char c) noexcept
{
    return U8(c) <= 0x20;
}
}  // namespace

std::string Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    while (end > begin && IsTrimmed(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string TrimLeft(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && IsTrimmed(text[begin]))
        ++begin;
    return std::string(text.substr(begin));
}

std::string TrimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && IsTrimmed(text[end - 1]))
        --end;
    return std::string(text.substr(0, end));
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
    const std::string_view t = UntilNul(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < t.size()) {
        const char c = t[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(t.substr(start, i - start));
            i += (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < t.size())
        lines.emplace_back(t.substr(start));
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

TCharBoundaries::TCharBoundaries(std::string_view text)
    : FText(text), FSearchEnd(UntilNul(text).size()), FTypes(text.size())
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsLeadByteValue(U8(text[i]))) {
            FTypes[i] = TByteType::mbLeadByte;
            if (i + 1 < text.size())
                FTypes[i + 1] = TByteType::mbTrailByte;
            i += 2;
        } else {
            FTypes[i] = TByteType::mbSingleByte;
            ++i;
        }
    }
}

TByteType TCharBoundaries::ByteType(std::size_t index1) const noexcept
{
    if (index1 == 0 || index1 > FTypes.size())
        return TByteType::mbSingleByte;
    return FTypes[index1 - 1];
}

bool TCharBoundaries::IsBoundary(std::size_t index1) const noexcept
{
    return index1 >= 1 && index1 <= FTypes.size() && FTypes[index1 - 1] != TByteType::mbTrailByte;
}

std::size_t TCharBoundaries::PosFrom(std::string_view needle, std::size_t from1) const noexcept
{
    if (from1 < 1)
        from1 = 1;
    const std::string_view n = UntilNul(needle);
    const std::string_view t = FText.substr(0, FSearchEnd);
    if (n.empty() || from1 > t.size())
        return 0;
    std::size_t cand = t.find(n, from1 - 1);
    while (cand != std::string_view::npos) {
        if (FTypes[cand] != TByteType::mbTrailByte)
            return cand + 1;
        cand = t.find(n, cand + 1);
    }
    return 0;
}

}  // namespace tembrook
