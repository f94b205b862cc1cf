#pragma once
// The process's resident memory, for tests that check a long session stays
// level.

#include <unistd.h>

#include <cstdint>
#include <fstream>

namespace tembrook::test {

// Resident set size now, in bytes (Linux, /proc/self/statm); 0 if unreadable.
inline std::uint64_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    std::uint64_t resident = 0;
    if (!(statm >> pages >> resident))
        return 0;
    return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Under AddressSanitizer freed blocks wait in a quarantine of up to 256 MB
// before they are reused, so the resident size grows without any leak and
// says nothing; the leak checker at exit covers that build instead.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kResidentSizeIsMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kResidentSizeIsMeaningful = false;
#else
inline constexpr bool kResidentSizeIsMeaningful = true;
#endif
#else
inline constexpr bool kResidentSizeIsMeaningful = true;
#endif

}  // namespace tembrook::test
