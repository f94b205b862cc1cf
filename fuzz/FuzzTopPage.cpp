// Fuzzes ParseTopPage with a fixed top-page address: the whole input is the
// downloaded page.
//
// Besides staying within its memory, the parser must: give at most the two
// links below the first qualifying heading; report no heading when it added
// nothing and stopped at none; resolve every link into an http or https
// address (the top page is an http address, so no link may turn into
// another scheme); and give the same answer when run again, as a second
// Start with the same page does.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BookDataInportOptionUnit.h"
#include "FuzzChecks.h"

namespace {

constexpr const char* kSourceURL = "http://www.example.com/comic/index.html";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using tembrook::fuzz::StartsWithIgnoreAsciiCase;
    const std::string_view page(reinterpret_cast<const char*>(data), size);

    tembrook::TBookDataInportOption option;
    option.SourceURL = kSourceURL;
    const bool found = option.ParseTopPage(page);
    const std::vector<std::string> urls = option.TablePageURLs;

    TEMBROOK_FUZZ_CHECK(urls.size() <= 2);
    if (!found)
        TEMBROOK_FUZZ_CHECK(urls.empty());
    for (const std::string& url : urls) {
        TEMBROOK_FUZZ_CHECK(!url.empty());
        TEMBROOK_FUZZ_CHECK(StartsWithIgnoreAsciiCase(url, "http:") ||
                            StartsWithIgnoreAsciiCase(url, "https:"));
    }

    TEMBROOK_FUZZ_CHECK(option.ParseTopPage(page) == found);
    TEMBROOK_FUZZ_CHECK(option.TablePageURLs == urls);

    // A top page with no address to resolve against gives the bare links.
    tembrook::TBookDataInportOption bare;
    TEMBROOK_FUZZ_CHECK(bare.ParseTopPage(page) == found);
    TEMBROOK_FUZZ_CHECK(bare.TablePageURLs.size() == urls.size());
    return 0;
}
