#include "SavedListFile.h"

#include <algorithm>

#include "Hash.h"
#include "Utf8Text.h"

namespace tembrook {

namespace {

// A line break and "★★★ " in UTF-8.
constexpr std::string_view kUtf8MarkLine = "\n\xE2\x98\x85\xE2\x98\x85\xE2\x98\x85 ";

}  // namespace

bool IsUtf8SavedList(std::string_view text) noexcept
{
    const bool marked =
        text.starts_with(kUtf8MarkLine.substr(1)) || text.find(kUtf8MarkLine) != std::string_view::npos;
    return marked && IsValidUtf8(text);
}

TSavedListTicks::TSavedListTicks(std::string text) : FText(std::move(text))
{
    for (std::size_t begin = 0; begin < FText.size();) {
        std::size_t end = FText.find('\n', begin);
        const std::size_t next = end == std::string::npos ? FText.size() : end + 1;
        if (end == std::string::npos)
            end = FText.size();
        if (end > begin && FText[end - 1] == '\r')
            --end;
        IndexLine(begin, end);
        begin = next;
    }
    std::sort(FEntries.begin(), FEntries.end(), [this](const TEntry& a, const TEntry& b) {
        if (a.Hash != b.Hash)
            return a.Hash < b.Hash;
        if (const int c = Title(a).compare(Title(b)); c != 0)
            return c < 0;
        return Rest(a) < Rest(b);
    });
}

std::string_view TSavedListTicks::Title(const TEntry& entry) const noexcept
{
    return std::string_view(FText).substr(entry.TitleBegin, entry.TitleLength);
}

std::string_view TSavedListTicks::Rest(const TEntry& entry) const noexcept
{
    return std::string_view(FText).substr(entry.RestBegin, entry.RestEnd - entry.RestBegin);
}

// Adds one entry for every blank after the date piece: the bytes before the
// blank as the title piece, and once more without a "(digits)" that ends
// them, each with what follows the blank.
void TSavedListTicks::IndexLine(std::size_t begin, std::size_t end)
{
    const std::string_view line = std::string_view(FText).substr(begin, end - begin);
    if (!line.starts_with(kSavedListMark))
        return;
    ++FMarkedLines;
    const std::size_t dateEnd = line.find(' ', kSavedListMark.size());
    if (dateEnd == std::string_view::npos)
        return;
    const std::size_t titleBegin = begin + dateEnd + 1;

    // Where a "(" digits ")" run stands just before the current byte.
    enum class TVolume { vNone, vOpen, vDigits, vClosed } volume = TVolume::vNone;
    std::size_t openAt = 0;
    std::uint64_t hashBeforeOpen = 0;
    std::uint64_t hash = kFnv1aStart;
    for (std::size_t i = titleBegin; i < end; ++i) {
        const char c = FText[i];
        if (c == ' ') {
            if (i > titleBegin)
                FEntries.push_back({hash, titleBegin, i - titleBegin, i + 1, end});
            if (volume == TVolume::vClosed && openAt > titleBegin)
                FEntries.push_back({hashBeforeOpen, titleBegin, openAt - titleBegin, i + 1, end});
        }
        if (c == '(') {
            volume = TVolume::vOpen;
            openAt = i;
            hashBeforeOpen = hash;
        } else if (c >= '0' && c <= '9') {
            volume =
                volume == TVolume::vOpen || volume == TVolume::vDigits ? TVolume::vDigits : TVolume::vNone;
        } else if (c == ')') {
            volume = volume == TVolume::vDigits ? TVolume::vClosed : TVolume::vNone;
        } else {
            volume = TVolume::vNone;
        }
        hash = Fnv1aStep(hash, c);
    }
}

bool TSavedListTicks::Matches(const TBookSaleRootData& record) const
{
    const std::string& title = record.Title();
    if (title.empty() || FEntries.empty())
        return false;
    const std::uint64_t hash = Fnv1a(title);
    const std::string follows = record.Author() + ' ';
    // Among the entries of this title the rests are sorted, so the first
    // rest not below `follows` is the one that begins with it, if any does.
    const auto at =
        std::lower_bound(FEntries.begin(), FEntries.end(), hash, [&](const TEntry& entry, std::uint64_t) {
            if (entry.Hash != hash)
                return entry.Hash < hash;
            if (const int c = Title(entry).compare(title); c != 0)
                return c < 0;
            return Rest(entry) < std::string_view(follows);
        });
    return at != FEntries.end() && at->Hash == hash && Title(*at) == title && Rest(*at).starts_with(follows);
}

}  // namespace tembrook
