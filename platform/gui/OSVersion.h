// The operating system's version record: platform id, major and minor
// version, build number and a service-pack text, and the environment line the
// About box shows for it.
//
// On Linux the record is filled from uname(2): the platform id is
// kVerPlatformLinux, major, minor and build are the first three numbers of the
// kernel release ("6.1.0-18-amd64" gives 6, 1, 0), the service-pack text is
// the whole release string and SystemName is the kernel's name ("Linux").
// The record is read once, on first use; tests put a synthetic record in its
// place with SetOSVersionRecordOverride.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace tembrook::platform {

// Platform ids. 0 to 2 are the ids of the Windows-shaped record; the Linux
// record uses an id outside that range so that it never names a Windows.
inline constexpr int kVerPlatformWin32s = 0;
inline constexpr int kVerPlatformWin32Windows = 1;
inline constexpr int kVerPlatformWin32NT = 2;
inline constexpr int kVerPlatformLinux = -1;

struct TOSVersionRecord {
    int PlatformId = kVerPlatformLinux;
    int MajorVersion = 0;
    int MinorVersion = 0;
    int BuildNumber = 0;
    std::string CSDVersion;  // service-pack text, empty when there is none
    std::string SystemName;  // the kernel's own name where the id does not imply one

    bool operator==(const TOSVersionRecord&) const = default;
};

// Builds the record from uname's system name and release. Numbers that are
// missing, not digits or out of range are 0, and so is every number after them.
TOSVersionRecord OSVersionFromUname(std::string_view sysname, std::string_view release);

// Reads the running system's record now (uname).
TOSVersionRecord ReadOSVersionRecord();

// The record the program shows: the system's, read on the first call, or the
// override while one is set.
TOSVersionRecord CurrentOSVersionRecord();

// Puts a record in place of the system's (std::nullopt restores it).
void SetOSVersionRecordOverride(std::optional<TOSVersionRecord> record);

// The environment line for a version record: name, version number and
// build text ("Windows 2000 or later(5.1.2600) [Build 2600 Service Pack 3]",
// "Linux(6.1.0) [Build 0 6.1.0-18-amd64]").
QString OSEnvironmentText(const TOSVersionRecord& record);
QString OSPlatformName(const TOSVersionRecord& record);
QString OSVersionNumberText(const TOSVersionRecord& record);
// The line for the record in use (CurrentOSVersionRecord).
QString OSEnvironmentText();

}  // namespace tembrook::platform
