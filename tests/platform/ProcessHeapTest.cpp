// The allocator's set-up for the exporter: large blocks come from the one
// heap, inside a range marked for huge pages, and allocation still works.
#include "ProcessHeap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TMapping {
    std::uintptr_t Begin = 0;
    std::uintptr_t End = 0;
    std::string Name;
    std::string Flags;  // smaps' VmFlags
};

// The mapping of /proc/self/smaps that holds `address`.
TMapping MappingOf(const void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    TMapping current;
    bool found = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream fields(line);
        if (fields >> std::hex >> begin >> dash >> end && dash == '-' &&
            line.find(' ') != std::string::npos && !line.starts_with("VmFlags")) {
            if (found)
                break;
            std::string skip;
            current = TMapping{begin, end, "", ""};
            fields >> skip >> skip >> skip >> skip;
            std::getline(fields >> std::ws, current.Name);
            found = begin <= at && at < end;
        } else if (found && line.starts_with("VmFlags:")) {
            current.Flags = line.substr(8);
        }
    }
    return found ? current : TMapping{};
}

TEST(ProcessHeapTest, LargeBlocksComeFromTheHeapMarkedForHugePages)
{
    EXPECT_FALSE(tembrook::platform::PrepareHeapForBulkWork(0));
    if (!tembrook::platform::PrepareHeapForBulkWork(std::size_t{16} * 1024 * 1024))
        GTEST_SKIP() << "not the GNU C library's own allocator";

    // 4 MiB: without the set-up a block of its own mapping, beside the heap.
    auto* block = static_cast<char*>(std::malloc(std::size_t{4} * 1024 * 1024));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0x5a, std::size_t{4} * 1024 * 1024);
    const TMapping mapping = MappingOf(block + 3 * 1024 * 1024);
    EXPECT_EQ(mapping.Name, "[heap]");
    EXPECT_NE(mapping.Flags.find(" hg"), std::string::npos) << mapping.Flags;
    EXPECT_EQ(block[4 * 1024 * 1024 - 1], 0x5a);
    std::free(block);

    // Threads still allocate and free (from the same heap), crossing over.
    std::vector<void*> blocks(1000);
    std::thread other([&blocks] {
        for (std::size_t i = 0; i < blocks.size(); ++i)
            blocks[i] = std::malloc(16 + i * 64);
    });
    other.join();
    for (void* b : blocks) {
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(MappingOf(b).Name, "[heap]");
        std::free(b);
    }
}

}  // namespace
