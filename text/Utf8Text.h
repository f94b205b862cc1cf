#pragma once
// UTF-8 checks for the text that leaves the program in UTF-8 (the calendar
// file, a saved list converted to UTF-8). A valid sequence is the shortest
// form of a code point up to U+10FFFF that is not a surrogate.

#include <cstddef>
#include <string>
#include <string_view>

namespace tembrook {

// True for a byte that continues a sequence (10xxxxxx) and starts none.
constexpr bool IsUtf8ContinuationByte(char c) noexcept
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length (1-4) of the valid UTF-8 sequence that starts at byte `at` of
// text, or 0 when none starts there (a stray continuation byte, a cut or
// overlong sequence, a surrogate, a code point above U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) noexcept;

bool IsValidUtf8(std::string_view text) noexcept;

// The text with every byte that starts no valid sequence replaced by U+FFFD.
std::string ToValidUtf8(std::string_view text);

}  // namespace tembrook
