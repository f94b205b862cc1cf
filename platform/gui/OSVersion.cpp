#include "OSVersion.h"

#include <charconv>
#include <iterator>
#include <mutex>
#include <sys/utsname.h>

namespace tembrook::platform {

namespace {

std::mutex gOverrideMutex;
std::optional<TOSVersionRecord> gOverride;

}  // namespace

TOSVersionRecord OSVersionFromUname(std::string_view sysname, std::string_view release)
{
    TOSVersionRecord record;
    record.PlatformId = kVerPlatformLinux;
    record.SystemName = std::string(sysname);
    record.CSDVersion = std::string(release);

    // "major.minor.patch" followed by anything ("-18-amd64", "+", "rc1").
    int* const fields[] = {&record.MajorVersion, &record.MinorVersion, &record.BuildNumber};
    const char* pos = release.data();
    const char* const end = release.data() + release.size();
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) {
            if (pos == end || *pos != '.')
                break;
            ++pos;
        }
        int value = 0;
        const auto [next, ec] = std::from_chars(pos, end, value);
        if (ec != std::errc() || value < 0)
            break;
        *fields[i] = value;
        pos = next;
    }
    return record;
}

TOSVersionRecord ReadOSVersionRecord()
{
    utsname names{};
    if (uname(&names) != 0)
        return OSVersionFromUname("Linux", "");
    return OSVersionFromUname(names.sysname, names.release);
}

TOSVersionRecord CurrentOSVersionRecord()
{
    {
        const std::lock_guard lock(gOverrideMutex);
        if (gOverride)
            return *gOverride;
    }
    static const TOSVersionRecord systemRecord = ReadOSVersionRecord();
    return systemRecord;
}

void SetOSVersionRecordOverride(std::optional<TOSVersionRecord> record)
{
    const std::lock_guard lock(gOverrideMutex);
    gOverride = std::move(record);
}

}  // namespace tembrook::platform
