// Runs one fuzz target's own checks (its LLVMFuzzerTestOneInput, compiled
// into this test) over the target's seed corpus and over every input kept
// under tests/data/regress/<target>/ because it once found a fault, so that
// the ordinary and the sanitizer test builds hold the code to them too. A
// failed check aborts with its message after the name of the input.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> KeptInputs()
{
    std::vector<std::filesystem::path> files;
    for (const char* dir : {TEMBROOK_REPLAY_SEEDS, TEMBROOK_REPLAY_SITE, TEMBROOK_REPLAY_REGRESSIONS}) {
        if (!std::filesystem::is_directory(dir))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(TEMBROOK_REPLAY_SUITE, EveryKeptInputPassesTheTargetsChecks)
{
    const std::vector<std::filesystem::path> files = KeptInputs();
    ASSERT_FALSE(files.empty()) << "no seed corpus found in " << TEMBROOK_REPLAY_SEEDS;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "input %s\n", file.c_str());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                  0);
    }
}

}  // namespace
