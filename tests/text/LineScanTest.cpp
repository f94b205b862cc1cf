// FindLineBreak's eight bytes at a time against a byte-by-byte look (the
// parsers and SplitLines find every line break through it).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "LineScan.h"

namespace tembrook {
namespace {

TEST(LineScan, FindLineBreakFindsTheFirstBreakInEveryPosition)
{
    // Bytes one away from CR and LF and with the high bit set are where a
    // word-wide test would mark a byte that is no break.
    const char fillers[] = {'a', '\x0B', '\x0C', '\x0E', '\x09', '\x8A', '\x8D', '\x00', '\xFF'};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 40, 'a');
        for (char& c : text)
            c = random() % 5 == 0 ? "\r\n"[random() % 2] : fillers[random() % std::size(fillers)];
        const std::size_t from = text.empty() ? 0 : random() % text.size();
        const std::size_t expected = text.find_first_of("\r\n", from);
        ASSERT_EQ(FindLineBreak(text, from), expected) << testing::PrintToString(text) << " from " << from;
    }
}

}  // namespace
}  // namespace tembrook
