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

}  // namespace
}  // namespace tembrook::test
