#pragma once
// The string conventions shared by the page parsers and the release record.
//
// Text is CP932 (Shift-JIS) bytes in std::string / std::string_view. A byte in
// 0x81-0x9F or 0xE0-0xFC that begins a character is a lead byte; the byte after
// it is its trail byte whatever its value; every other byte is single. The
// classification is always read from the start of the text, so a byte pair
// that straddles two characters (trail byte + lead byte) never counts as a
// character. Positions are 1-based; 0 means "not found".
//
// Every function here is linear in the length of its input: bytes are
// classified in one forward pass, never by rescanning from the start for each
// candidate. For repeated searches over one text use TCharBoundaries, which
// classifies once and then answers searches from any position.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tembrook {

enum class TByteType : std::uint8_t { mbSingleByte, mbLeadByte, mbTrailByte };

// True for the values a lead byte can take (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByteValue(unsigned char b) noexcept
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Classification of the byte at 1-based position index1. A position outside
// 1..size is reported as mbSingleByte. Costs O(length of the run of lead-value
// bytes just before the position), not a scan from the start.
TByteType ByteType(std::string_view text, std::size_t index1) noexcept;

// The text up to (not including) its first NUL byte: the part that searching
// and splitting into lines look at.
std::string_view UntilNul(std::string_view text) noexcept;

// First occurrence of needle in text that starts on a character boundary,
// 1-based; 0 when there is none or when text or needle is empty. Byte for byte,
// case-sensitive. A NUL ends both the text and the needle.
std::size_t AnsiPos(std::string_view needle, std::string_view text) noexcept;

// AnsiPos restricted to occurrences starting at 1-based position from1 or
// later (classification still read from the start of the text). from1 below 1
// counts as 1. The first NUL at or after from1 ends the text; bytes before
// from1 are not looked at for a NUL. Cost: O(size - from1) plus the run of
// lead-value bytes just before from1; for many searches over one text of
// unusual content (long runs of lead-value bytes) prefer TCharBoundaries.
std::size_t AnsiPosFrom(std::string_view needle, std::string_view text, std::size_t from1) noexcept;

// AnsiPos in the ASCII-lower-cased text; lowerNeedle must already be lower
// case (all such needles in the program are ASCII). Positions are valid in the
// original text because lower-casing never changes the byte length.
std::size_t PosIgnoreCase(std::string_view lowerNeedle, std::string_view text);

// A-Z become a-z in single-byte characters; lead and trail bytes (a trail
// byte may have an ASCII letter's value) and every other byte stay as they are.
std::string AnsiLowerCase(std::string_view text);

// Removes leading and trailing bytes of value 0x20 or below. The full-width
// space (0x81 0x40) is not removed.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Bytes index .. index+count-1 (1-based). index below 1 counts as 1, an index
// past the end gives "", a negative count counts as 0, a count running past
// the end stops at the end.
std::string Copy(std::string_view text, std::int64_t index, std::int64_t count);

// Splits at CR, LF or CR LF (one break each); LF CR is two breaks. A NUL ends
// the whole text. No empty line after a final break; an empty text has no
// lines. Lines never hold CR or LF.
std::vector<std::string> SplitLines(std::string_view text);

// The whole text of a list of lines: every line followed by CR LF.
std::string JoinLinesCRLF(const std::vector<std::string>& lines);

// 1-based position of the last byte of text that is one of the bytes of
// delimiters and is not a trail byte; 0 when there is none.
std::size_t LastDelimiter(std::string_view delimiters, std::string_view text) noexcept;

// The classification of one text, computed once in a forward pass, for code
// that searches the same text many times (each search then costs only the
// bytes it looks at). The viewed text must outlive this object.
class TCharBoundaries {
public:
    explicit TCharBoundaries(std::string_view text);

    std::string_view Text() const noexcept { return FText; }
    // Classification of the byte at 1-based index1 (mbSingleByte outside the text).
    TByteType ByteType(std::size_t index1) const noexcept;
    // True when index1 is inside the text and not a trail byte.
    bool IsBoundary(std::size_t index1) const noexcept;
    // AnsiPos from 1-based position from1 on (below 1 counts as 1).
    std::size_t PosFrom(std::string_view needle, std::size_t from1) const noexcept;

private:
    std::string_view FText;
    std::size_t FSearchEnd;  // searches end at the first NUL
    std::vector<TByteType> FTypes;
};

}  // namespace tembrook
