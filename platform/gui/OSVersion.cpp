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

QString OSPlatformName(const TOSVersionRecord& record)
{
    const int minor = record.MinorVersion;
    switch (record.PlatformId) {
    case kVerPlatformWin32s:
        return QStringLiteral("Win32s");
    case kVerPlatformWin32Windows:
        if (minor == 0)
            return QStringLiteral("Windows 95");
        return minor < 90 ? QStringLiteral("Windows 98") : QStringLiteral("Windows Me");
    case kVerPlatformWin32NT:
        if (record.MajorVersion <= 4)
            return minor == 0 ? QStringLiteral("Windows NT 4.0") : QStringLiteral("Windows NT 3.51");
        return minor == 0 ? QStringLiteral("Windows 2000") : QStringLiteral("Windows 2000 or later");
    default:
        break;
    }
    if (record.PlatformId > kVerPlatformWin32NT)
        return QStringLiteral("Windows or later");
    // Ids below the Windows range describe a system by its own name.
    if (!record.SystemName.empty())
        return QString::fromLocal8Bit(record.SystemName.data(), qsizetype(record.SystemName.size()));
    return record.PlatformId == kVerPlatformLinux ? QStringLiteral("Linux") : QStringLiteral("Unknown");
}

QString OSVersionNumberText(const TOSVersionRecord& record)
{
    return QStringLiteral("(%1.%2.%3)")
        .arg(record.MajorVersion)
        .arg(record.MinorVersion)
        .arg(record.BuildNumber);
}

QString OSEnvironmentText(const TOSVersionRecord& record)
{
    const QString servicePack =
        QString::fromLocal8Bit(record.CSDVersion.data(), qsizetype(record.CSDVersion.size()));
    const QString buildText =
        QStringLiteral(" [Build %1 %2]").arg(QString::number(record.BuildNumber), servicePack);
    return OSPlatformName(record) + OSVersionNumberText(record) + buildText;
}

QString OSEnvironmentText()
{
    return OSEnvironmentText(CurrentOSVersionRecord());
}

}  // namespace tembrook::platform
