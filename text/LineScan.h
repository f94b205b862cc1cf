#pragma once
// Scanning CP932 pages line by line: the line splitter the page parsers and
// SplitLines share, and an ASCII needle searched for on character boundaries
// in text that may arrive in pieces.
//
// The hot parts are inline: the table parser runs them over every byte of a
// page.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "SjisString.h"

namespace tembrook {

// Position of the first CR or LF at or after `from`, or npos. Lines of a
// table page are short, so eight bytes are tested at a time in a register
// (a zero byte of word ^ CRs or word ^ LFs marks a hit) rather than calling
// memchr twice for every line.
inline std::size_t FindLineBreak(std::string_view text, std::size_t from) noexcept
{
    const char* bytes = text.data();
    const std::size_t size = text.size();
    std::size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
        constexpr std::uint64_t kCRs = kOnes * '\r';
        constexpr std::uint64_t kLFs = kOnes * '\n';
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            const std::uint64_t cr = word ^ kCRs;
            const std::uint64_t lf = word ^ kLFs;
            // The lowest marked byte is the first hit (a borrow can only mark
            // bytes above a real hit).
            const std::uint64_t hits = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHigh;
            if (hits != 0)
                return i + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
        }
    }
    for (; i < size; ++i)
        if (bytes[i] == '\r' || bytes[i] == '\n')
            return i;
    return std::string_view::npos;
}

// The lines of a text: split at CR, LF or CR LF (one break each; LF CR is two
// breaks), no empty line after a final break, an empty text without lines.
// The text is cut at its first NUL once, when the scan is made; Text() is the
// part that is split, so a caller can size its list from it. The lines are
// views into the text and never hold CR, LF or NUL.
class TLineScan {
public:
    explicit TLineScan(std::string_view text) noexcept : FText(UntilNul(text)) {}

    std::string_view Text() const noexcept { return FText; }

    // Calls take(line) for every line, in order.
    template <class TTake>
    void ForEach(TTake&& take) const
    {
        const std::size_t size = FText.size();
        std::size_t start = 0;
        while (start < size) {
            const std::size_t end = FindLineBreak(FText, start);
            if (end == std::string_view::npos) {
                take(FText.substr(start));
                break;
            }
            take(FText.substr(start, end - start));
            start = end + ((FText[end] == '\r' && end + 1 < size && FText[end + 1] == '\n') ? 2 : 1);
        }
    }

private:
    std::string_view FText;
};

// An ASCII needle, written in lower case, searched for in CP932 text ignoring
// ASCII case, on character boundaries. Because every byte of the needle is
// ASCII, an occurrence that starts on a boundary consists of single-byte
// characters only; so the text can be fed through a Knuth-Morris-Pratt matcher
// that skips double-byte characters, one byte at a time and in one pass, and
// the state can be carried from one piece of text to the next (for a cell
// joined from several lines). The needle's text must outlive it.
class TAsciiNeedle {
public:
    // The scanning state over a text that may arrive in pieces.
    struct TState {
        std::size_t Matched = 0;  // needle bytes matched so far
        bool TrailNext = false;   // the next byte is the trail byte of a double-byte character
        bool Found = false;
        bool Ended = false;  // a NUL byte ends the text for searching
    };

    explicit TAsciiNeedle(std::string_view lowerNeedle);

    void Feed(TState& state, std::string_view piece) const noexcept
    {
        for (const char c : piece) {
            if (state.Found || state.Ended)
                return;
            const auto b = static_cast<unsigned char>(c);
            if (state.TrailNext) {
                state.TrailNext = false;
                state.Matched = 0;
                continue;
            }
            if (b == 0) {
                state.Ended = true;
                return;
            }
            if (IsLeadByteValue(b)) {
                state.TrailNext = true;
                state.Matched = 0;
                continue;
            }
            const char lower = ToAsciiLower(c);
            std::size_t k = state.Matched;
            while (k > 0 && lower != FNeedle[k])
                k = FFailure[k - 1];
            if (lower == FNeedle[k])
                ++k;
            state.Matched = k;
            if (k == FNeedle.size())
                state.Found = true;
        }
    }

    bool FoundIn(std::string_view text) const noexcept
    {
        TState state;
        Feed(state, text);
        return state.Found;
    }

private:
    std::string_view FNeedle;
    std::vector<std::size_t> FFailure;
};

}  // namespace tembrook
