#pragma once
// What the fuzz targets hold the code to besides the sanitizers: a property
// that fails stops the run with a message, and libFuzzer keeps the input
// that made it fail (crash-<hash>) for the regression tests.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define TEMBROOK_FUZZ_CHECK(condition)                                                                       \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace tembrook::fuzz {

inline bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view lowerPrefix)
{
    if (text.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerPrefix[i])
            return false;
    }
    return true;
}

}  // namespace tembrook::fuzz
