#pragma once
// FNV-1a, 64 bits: a small, stable hash of bytes. It is the same in every
// build and on every machine, so it can name things that outlive a run (the
// calendar's event IDs), and it grows byte by byte, so every prefix of a text
// is hashed in one pass (the saved list's index of titles).

#include <cstdint>
#include <string_view>

namespace tembrook {

inline constexpr std::uint64_t kFnv1aStart = 14695981039346656037ULL;

constexpr std::uint64_t Fnv1aStep(std::uint64_t hash, char c) noexcept
{
    return (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
}

// The hash of text, continuing from hash.
constexpr std::uint64_t Fnv1a(std::string_view text, std::uint64_t hash = kFnv1aStart) noexcept
{
    for (const char c : text)
        hash = Fnv1aStep(hash, c);
    return hash;
}

}  // namespace tembrook
