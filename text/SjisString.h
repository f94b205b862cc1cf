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
// candidate.

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

// AnsiPos in the ASCII-lower-cased text; lowerNeedle must already be lower
// case (all such needles in the program are ASCII). Positions are valid in the
// original text because lower-casing never changes the byte length.
std::size_t PosIgnoreCase(std::string_view lowerNeedle, std::string_view text);

// A-Z become a-z in single-byte characters; lead and trail bytes (a trail
// byte may have an ASCII letter's value) and every other byte stay as they are.
std::string AnsiLowerCase(std::string_view text);

// A-Z to a-z for one byte that the caller knows to be a single-byte character.
constexpr char ToAsciiLower(char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// True when text begins with lowerPrefix (lower-case ASCII) in any ASCII
// case, byte for byte: for a prefix of ASCII bytes that starts on a character
// boundary, every byte it is compared with is a single-byte character.
// (Inline: the table parser asks it at every "<" of a page.)
constexpr bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view lowerPrefix) noexcept
{
    if (text.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (ToAsciiLower(text[i]) != lowerPrefix[i])
            return false;
    return true;
}

// Reads a CP932 text byte by byte with a-z folded to A-Z where the byte is a
// single-byte character; a lead byte and its trail byte come as they are
// (the trail byte may have a letter's value). The order of the release list
// compares texts through it.
class TUpperFoldingReader {
public:
    explicit TUpperFoldingReader(std::string_view text) noexcept : FText(text) {}

    bool AtEnd() const noexcept { return FPos >= FText.size(); }
    // (Inline: sorting reads every row's first bytes through it.)
    unsigned char Next() noexcept
    {
        const auto b = static_cast<unsigned char>(FText[FPos++]);
        if (FTrailNext) {
            FTrailNext = false;
            return b;  // a trail byte compares by its value
        }
        if (IsLeadByteValue(b)) {
            FTrailNext = true;
            return b;
        }
        return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - ('a' - 'A')) : b;
    }

private:
    std::string_view FText;
    std::size_t FPos = 0;
    bool FTrailNext = false;
};

// Byte-by-byte comparison of two CP932 texts as TUpperFoldingReader reads
// them (so the trail byte of a double-byte character compares by its value:
// テ and ウ differ). A text that is a prefix of the other sorts first. No
// locale rules. -1, 0 or 1.
int CompareTextIgnoreAsciiCase(std::string_view text1, std::string_view text2) noexcept;

// The bytes that trimming removes at both ends: 0x20 and below. The
// full-width space (0x81 0x40) is not among them.
constexpr bool IsTrimmedByte(char c) noexcept
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// The text without its leading and trailing trimmed bytes. (Inline, like
// TrimInPlace: the table parser trims every line of a page.)
constexpr std::string_view TrimView(std::string_view text) noexcept
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimmedByte(text[begin]))
        ++begin;
    while (end > begin && IsTrimmedByte(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}
std::string Trim(std::string_view text);
// Trim, in place, without a second string.
inline void TrimInPlace(std::string& text)
{
    const std::string_view trimmed = TrimView(text);
    const auto begin = static_cast<std::size_t>(trimmed.data() - text.data());
    text.erase(begin + trimmed.size());
    text.erase(0, begin);
}

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

}  // namespace tembrook
