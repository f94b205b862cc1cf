#pragma once
// The saved list file read back: every ticked row's TextLine marked with
// "★★★ ", two empty lines, every row's TextLine (the "saved" output writes it).
//
// TSavedListTicks reads a saved list back to tick next month's rows of the
// series the user followed. A row matches when one of the file's lines that
// begins with "★★★ " holds, after the marker and the first piece (the date, up
// to and including the first blank), the row's Title, then nothing or "("
// digits ")", then one blank, then the row's Author, then one blank: the
// row's title piece and author as TextLine writes them, with any volume. A
// row with an empty title never matches; lines without the marker never
// match. Lines end in CR LF or LF.
//
//   TSavedListTicks ticks(fileBytes);
//   for (row : rows) if (ticks.Matches(*row.Record)) tick(row);
//
// The file is indexed once (one entry per blank of every marked line, sorted
// by a hash of the title piece), so each row costs a hash of its title and a
// binary search, whatever the sizes of the list and the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BookDataUnit.h"

namespace tembrook {

// "★★★ ": three black stars (0x81 0x9A each) and a blank.
inline constexpr std::string_view kSavedListMark = "\x81\x9A\x81\x9A\x81\x9A ";

// True for a file that is valid UTF-8 and has a line beginning with "★★★ "
// in UTF-8: a saved list that was converted (the exporter's --utf8), which
// the caller converts back to CP932 before reading it.
bool IsUtf8SavedList(std::string_view text) noexcept;

class TSavedListTicks {
public:
    TSavedListTicks() = default;
    explicit TSavedListTicks(std::string text);

    bool Matches(const TBookSaleRootData& record) const;
    // The number of lines that begin with the marker.
    std::size_t MarkedLineCount() const noexcept { return FMarkedLines; }

private:
    // A title piece of a marked line (the bytes from the line's second piece
    // up to one of its blanks, or up to the "(" of a "(digits)" just before
    // that blank) and what follows that blank up to the line's end.
    struct TEntry {
        std::uint64_t Hash;  // of the title piece
        std::size_t TitleBegin;
        std::size_t TitleLength;
        std::size_t RestBegin;
        std::size_t RestEnd;
    };
    std::string_view Title(const TEntry& entry) const noexcept;
    std::string_view Rest(const TEntry& entry) const noexcept;
    void IndexLine(std::size_t begin, std::size_t end);

    std::string FText;
    std::vector<TEntry> FEntries;  // sorted by hash, title, rest
    std::size_t FMarkedLines = 0;
};

}  // namespace tembrook
