#include "OSVersion.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

namespace tembrook::test {

using namespace tembrook::platform;
namespace {

struct UnameCase {
    const char* release;
    int major, minor, build;
};

class OSVersionFromUnameTest : public ::testing::TestWithParam<UnameCase> {};

TEST_P(OSVersionFromUnameTest, ReadsTheFirstThreeNumbersOfTheRelease)
{
    const UnameCase& c = GetParam();
    const TOSVersionRecord record = OSVersionFromUname("Linux", c.release);
    EXPECT_EQ(record.PlatformId, kVerPlatformLinux);
    EXPECT_EQ(record.MajorVersion, c.major);
    EXPECT_EQ(record.MinorVersion, c.minor);
    EXPECT_EQ(record.BuildNumber, c.build);
    // The whole release is the service-pack text, whatever could be parsed.
    EXPECT_EQ(record.CSDVersion, c.release);
    EXPECT_EQ(record.SystemName, "Linux");
}

INSTANTIATE_TEST_SUITE_P(
    Releases, OSVersionFromUnameTest,
    ::testing::Values(UnameCase{"6.1.0-18-amd64", 6, 1, 0}, UnameCase{"6.18.44-fc-v1300", 6, 18, 44},
                      UnameCase{"5.15.0", 5, 15, 0},
                      UnameCase{"6.1.0.9", 6, 1, 0},  // a fourth number is not used
                      UnameCase{"6.8", 6, 8, 0},      // no patch level
                      UnameCase{"4", 4, 0, 0}, UnameCase{"6.9-rc3", 6, 9, 0},
                      UnameCase{"6.x.3", 6, 0, 0},  // parsing stops at the first non-number
                      UnameCase{"6..1", 6, 0, 0}, UnameCase{"-1.2.3", 0, 0, 0},  // no negative versions
                      UnameCase{"99999999999.1.2", 0, 0, 0},  // out of range: nothing after it is read
                      UnameCase{"6.99999999999.2", 6, 0, 0}, UnameCase{"", 0, 0, 0},
                      UnameCase{"unknown", 0, 0, 0}));

TEST(OSVersionRecordTest, SystemRecordComesFromUname)
{
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    const TOSVersionRecord record = ReadOSVersionRecord();
    EXPECT_EQ(record.PlatformId, kVerPlatformLinux);
    EXPECT_EQ(record.SystemName, names.sysname);
    EXPECT_EQ(record.CSDVersion, names.release);
    EXPECT_EQ(record, OSVersionFromUname(names.sysname, names.release));
}

TEST(OSVersionRecordTest, OverrideReplacesTheSystemRecordUntilCleared)
{
    const TOSVersionRecord system = CurrentOSVersionRecord();
    EXPECT_EQ(system, ReadOSVersionRecord());

    TOSVersionRecord windows;
    windows.PlatformId = kVerPlatformWin32NT;
    windows.MajorVersion = 5;
    windows.MinorVersion = 1;
    windows.BuildNumber = 2600;
    windows.CSDVersion = "Service Pack 3";
    windows.SystemName.clear();
    SetOSVersionRecordOverride(windows);
    EXPECT_EQ(CurrentOSVersionRecord(), windows);

    SetOSVersionRecordOverride(std::nullopt);
    EXPECT_EQ(CurrentOSVersionRecord(), system);
}

// --- the environment line -------------------------------------------------

struct EnvironmentCase {
    int platformId, major, minor, build;
    const char* servicePack;
    const char* systemName;
    const char* line;
};

class OSEnvironmentTextTest : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(OSEnvironmentTextTest, NamesThePlatformAndAppendsVersionAndBuild)
{
    const EnvironmentCase& c = GetParam();
    TOSVersionRecord record;
    record.PlatformId = c.platformId;
    record.MajorVersion = c.major;
    record.MinorVersion = c.minor;
    record.BuildNumber = c.build;
    record.CSDVersion = c.servicePack;
    record.SystemName = c.systemName;
    EXPECT_EQ(OSEnvironmentText(record).toStdString(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Records, OSEnvironmentTextTest,
    ::testing::Values(
        EnvironmentCase{2, 5, 1, 2600, "Service Pack 3", "",
                        "Windows 2000 or later(5.1.2600) [Build 2600 Service Pack 3]"},
        EnvironmentCase{0, 3, 10, 0, "", "", "Win32s(3.10.0) [Build 0 ]"},
        EnvironmentCase{1, 4, 0, 950, "", "", "Windows 95(4.0.950) [Build 950 ]"},
        EnvironmentCase{1, 4, 1, 1998, "", "", "Windows 98(4.1.1998) [Build 1998 ]"},
        EnvironmentCase{1, 4, 10, 67766446, " A ", "", "Windows 98(4.10.67766446) [Build 67766446  A ]"},
        EnvironmentCase{1, 4, 89, 1, "", "", "Windows 98(4.89.1) [Build 1 ]"},
        EnvironmentCase{1, 4, 90, 3000, "", "", "Windows Me(4.90.3000) [Build 3000 ]"},
        EnvironmentCase{1, 4, 200, 3000, "", "", "Windows Me(4.200.3000) [Build 3000 ]"},
        EnvironmentCase{2, 4, 0, 1381, "Service Pack 6", "",
                        "Windows NT 4.0(4.0.1381) [Build 1381 Service Pack 6]"},
        EnvironmentCase{2, 3, 51, 1057, "", "", "Windows NT 3.51(3.51.1057) [Build 1057 ]"},
        EnvironmentCase{2, 5, 0, 2195, "", "", "Windows 2000(5.0.2195) [Build 2195 ]"},
        EnvironmentCase{2, 5, 2, 3790, "", "", "Windows 2000 or later(5.2.3790) [Build 3790 ]"},
        EnvironmentCase{2, 6, 0, 6002, "", "", "Windows 2000(6.0.6002) [Build 6002 ]"},
        EnvironmentCase{3, 1, 0, 7, "", "", "Windows or later(1.0.7) [Build 7 ]"},
        EnvironmentCase{200, 0, 0, 0, "", "Linux", "Windows or later(0.0.0) [Build 0 ]"},
        // The Linux record: the kernel's name, its release numbers and the release text.
        EnvironmentCase{kVerPlatformLinux, 6, 1, 0, "6.1.0-18-amd64", "Linux",
                        "Linux(6.1.0) [Build 0 6.1.0-18-amd64]"},
        EnvironmentCase{kVerPlatformLinux, 6, 1, 0, "6.1.0", "", "Linux(6.1.0) [Build 0 6.1.0]"},
        EnvironmentCase{kVerPlatformLinux, 14, 0, 0, "14.0-RELEASE", "FreeBSD",
                        "FreeBSD(14.0.0) [Build 0 14.0-RELEASE]"},
        EnvironmentCase{-7, 1, 2, 3, "", "", "Unknown(1.2.3) [Build 3 ]"}));

TEST(OSEnvironmentTextTest, UsesTheRecordInPlaceAndTheSystemOtherwise)
{
    TOSVersionRecord record;
    record.PlatformId = kVerPlatformWin32NT;
    record.MajorVersion = 4;
    record.MinorVersion = 0;
    record.BuildNumber = 1381;
    SetOSVersionRecordOverride(record);
    EXPECT_EQ(OSEnvironmentText(), QStringLiteral("Windows NT 4.0(4.0.1381) [Build 1381 ]"));
    SetOSVersionRecordOverride(std::nullopt);
    EXPECT_EQ(OSEnvironmentText(), OSEnvironmentText(ReadOSVersionRecord()));
    EXPECT_TRUE(OSEnvironmentText().startsWith(QStringLiteral("Linux(")));
}

}  // namespace
}  // namespace tembrook::test
