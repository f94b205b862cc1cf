// The internet client and the connection state on their own.
#include "InternetClient.h"
#include "ConnectionState.h"
#define TEMBROOK_CURL_DIRECT  // the table's members, not the call-through names
#include "CurlLibrary.h"
#include "NetTestSupport.h"
#include "TestHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tembrook::test {
namespace {

using namespace std::chrono_literals;
using platform::TInternetLimits;
using platform::TInternetSession;

// Bytes of every value, NULs included, the same for the same seed.
std::string MixedBytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 8)) & 0xff);
    return bytes;
}

std::vector<std::size_t> ReadAll(platform::TInternetUrl& url, std::size_t piece, std::string& body,
                                 bool& failed)
{
    std::vector<std::size_t> sizes;
    std::vector<char> buffer(piece);
    failed = false;
    for (;;) {
        std::size_t got = 0;
        if (!url.Read(buffer.data(), piece, got)) {
            failed = true;
            break;
        }
        sizes.push_back(got);
        body.append(buffer.data(), got);
        if (got == 0)
            break;
    }
    return sizes;
}

class InternetClientTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("no_proxy", "127.0.0.1,localhost", 1); }
    TestHttpServer FServer;
};

TEST_F(InternetClientTest, ReadsFillTheCallersBufferWhateverItsSize)
{
    const std::string body(3000, 'z');
    FServer.ServeInPieces("/z", body, 64, 1ms);
    for (std::size_t piece : {std::size_t{1000}, std::size_t{1}, std::size_t{4096}}) {
        SCOPED_TRACE(piece);
        TInternetSession session("Vantrel", TInternetLimits{});
        auto url = session.OpenUrl(FServer.Url("/z"));
        std::string received;
        bool failed = false;
        const auto sizes = ReadAll(*url, piece, received, failed);
        EXPECT_FALSE(failed);
        EXPECT_EQ(received, body);
        ASSERT_GE(sizes.size(), 2u);
        EXPECT_EQ(sizes.back(), 0u);
        for (std::size_t i = 0; i + 2 < sizes.size(); ++i)
            EXPECT_EQ(sizes[i], piece);
        EXPECT_TRUE(url->ErrorMessage().empty());
    }
}

TEST_F(InternetClientTest, ReadAfterTheEndKeepsReportingTheEnd)
{
    FServer.ServeBody("/e", "abc");
    TInternetSession session("Vantrel", TInternetLimits{});
    auto url = session.OpenUrl(FServer.Url("/e"));
    char buffer[16];
    std::size_t got = 0;
    ASSERT_TRUE(url->Read(buffer, sizeof buffer, got));
    EXPECT_EQ(std::string(buffer, got), "abc");
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(url->Read(buffer, sizeof buffer, got));
        EXPECT_EQ(got, 0u);
    }
}

TEST_F(InternetClientTest, CancelFromAnotherThreadUnblocksAStalledRead)
{
    FServer.ServeStall("/s", "", 1000);
    TInternetSession session("Vantrel", TInternetLimits{});
    auto url = session.OpenUrl(FServer.Url("/s"));
    std::thread canceller([&] {
        while (FServer.StalledCount() == 0)
            std::this_thread::sleep_for(1ms);
        session.Cancel();
    });
    char buffer[1024];
    std::size_t got = 0;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(url->Read(buffer, sizeof buffer, got));
    EXPECT_LT(std::chrono::steady_clock::now() - started, kPromptly);
    EXPECT_EQ(got, 0u);
    EXPECT_FALSE(url->ErrorMessage().empty());
    canceller.join();
    EXPECT_FALSE(url->Read(buffer, sizeof buffer, got));  // cancelled for good
    FServer.ReleaseStalls();
}

TEST_F(InternetClientTest, RefusedSchemeSaysWhy)
{
    TInternetSession session("Vantrel", TInternetLimits{});
    auto url = session.OpenUrl("file:///etc/hostname");
    char buffer[1024];
    std::size_t got = 0;
    EXPECT_FALSE(url->Read(buffer, sizeof buffer, got));
    EXPECT_NE(url->ErrorMessage().find("file"), std::string::npos) << url->ErrorMessage();
}

// The body gathers in one buffer reserved from the declared Content-Length;
// whatever the declaration says, the text is exactly what arrived (at most the
// cap), and a length that lied high leaves no large reservation behind.
TEST_F(InternetClientTest, DeclaredLengthSizesTheBodyButNeverDecidesIt)
{
    const std::string body = MixedBytes(5000, 11);
    struct TCase {
        const char* Name;
        std::string Reply;
        std::uint64_t Cap;
        std::string Expected;
        bool ReadFails;
    } const cases[] = {
        {"exact", "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + body, 1 << 20, body, false},
        {"none, ended by close", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body, 1 << 20, body, false},
        {"lies high", "HTTP/1.1 200 OK\r\nContent-Length: 900000\r\n\r\n" + body, 1 << 20, body, true},
        {"lies low", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + body, 1 << 20, body.substr(0, 100),
         false},
        {"beyond any memory", "HTTP/1.1 200 OK\r\nContent-Length: 1000000000000\r\n\r\n" + body, 1 << 20,
         body, true},
        {"over the cap", "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + body, 3000, body.substr(0, 3000),
         true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        RawSocketServer server(c.Reply, RawSocketServer::Ending::Close);
        TInternetLimits limits;
        limits.MaxBodyBytes = c.Cap;
        TInternetSession session("Vantrel", limits);
        auto url = session.OpenUrl(server.Url("/p.html"));
        std::size_t total = 0;
        bool failed = false;
        for (;;) {
            std::size_t got = 0;
            if (!url->ReadOn(1024, got)) {
                failed = true;
                break;
            }
            EXPECT_LE(got, 1024u);
            total += got;
            if (got == 0)
                break;
        }
        EXPECT_EQ(failed, c.ReadFails) << url->ErrorMessage();
        const std::string text = url->TakeBody();
        EXPECT_EQ(total, text.size());
        EXPECT_TRUE(text == c.Expected) << text.size() << " bytes";
        EXPECT_LE(text.capacity(), std::max<std::size_t>(2 * text.size(), text.size() + 64 * 1024));
        EXPECT_TRUE(url->TakeBody().empty());  // handed over once
    }
}

TEST(InternetClientReserveTest, TheUpFrontReservationFollowsTheDeclaredLengthWithinBothCaps)
{
    constexpr std::uint64_t kCap = std::uint64_t{256} * 1024 * 1024;
    struct TCase {
        std::int64_t Declared;
        std::uint64_t MaxBody;
        std::size_t Expected;
    } const cases[] = {
        {-1, kCap, 0},  // no Content-Length
        {0, kCap, 0},
        {3'700'000, kCap, 3'700'000},
        {5000, 3000, 3000},  // never beyond the body cap
        {static_cast<std::int64_t>(platform::kMaxBodyReserve) + 1, kCap, platform::kMaxBodyReserve},
        {std::int64_t{1} << 40, kCap, platform::kMaxBodyReserve},  // a hostile length: 1 TiB
        {INT64_MAX, UINT64_MAX, platform::kMaxBodyReserve},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Declared);
        EXPECT_EQ(platform::InitialBodyReserve(c.Declared, c.MaxBody), c.Expected);
    }
}

TEST_F(InternetClientTest, CopyingAndCountingReadsDeliverTheSameBytesInOrder)
{
    const std::string body = MixedBytes(10000, 5);
    FServer.ServeInPieces("/m", body, 700, 1ms);
    TInternetSession session("Vantrel", TInternetLimits{});
    auto url = session.OpenUrl(FServer.Url("/m"));
    std::string copied;
    char buffer[1024];
    for (int i = 0;; ++i) {
        std::size_t got = 0;
        // Every third read only counts; the others copy out.
        ASSERT_TRUE(i % 3 == 0 ? url->ReadOn(sizeof buffer, got) : url->Read(buffer, sizeof buffer, got));
        if (i % 3 != 0)
            copied.append(buffer, got);
        else
            copied.append(body, copied.size(), got);
        if (got == 0)
            break;
    }
    EXPECT_TRUE(copied == body);
    EXPECT_TRUE(url->TakeBody() == body);
}

// libcurl comes from dlopen: a library that is not there gives a table whose
// every call fails (and says why); the real one gives working calls.
TEST(CurlLibraryTest, MissingLibraryFailsEveryCallAndSaysWhy)
{
    std::string error;
    const platform::curl::TApi missing = platform::curl::LoadApi("libtembrook-no-such-curl.so.4", error);
    EXPECT_NE(error.find("libtembrook-no-such-curl.so.4"), std::string::npos) << error;
    EXPECT_EQ(missing.GlobalInit(CURL_GLOBAL_DEFAULT), CURLE_FAILED_INIT);
    EXPECT_EQ(missing.MultiInit(), nullptr);
    EXPECT_EQ(missing.EasyInit(), nullptr);
    EXPECT_EQ(missing.Url(), nullptr);
    EXPECT_EQ(missing.EasySetopt(nullptr, CURLOPT_URL, "http://127.0.0.1/"), CURLE_FAILED_INIT);
    EXPECT_NE(missing.MultiPerform(nullptr, nullptr), CURLM_OK);

    const platform::curl::TApi real = platform::curl::LoadApi("libcurl.so.4", error);
    ASSERT_TRUE(error.empty()) << error;
    CURLM* multi = real.MultiInit();
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(real.MultiCleanup(multi), CURLM_OK);
    EXPECT_STREQ(real.EasyStrerror(CURLE_OK), "No error");
}

// --- connection state ------------------------------------------------------

TEST(ConnectionStateTest, NoBackendCountsAsConnected)
{
    platform::TQtConnectionState state("tembrook-no-such-backend");
    EXPECT_FALSE(state.HasBackend());
    EXPECT_TRUE(state.IsConnected());
    EXPECT_FALSE(state.IsOfflineByUser());
    EXPECT_TRUE(state.AttemptConnect());
}

TEST(ConnectionStateTest, DefaultStateAnswersAndCountsAsConnectedWithoutABackend)
{
    platform::TQtConnectionState state;
    if (!state.HasBackend()) {
        EXPECT_TRUE(state.IsConnected());
    }
    EXPECT_FALSE(state.IsOfflineByUser());
}

TEST(ConnectionStateTest, SystemBusMayExistOnlyWithAnAddressOrASocketFile)
{
    const std::string present = ::testing::TempDir() + "tembrook_system_bus_socket";
    std::FILE* file = std::fopen(present.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const std::string missing = ::testing::TempDir() + "tembrook_no_such_dir/system_bus_socket";
    struct TCase {
        const char* Address;
        std::vector<std::string> Paths;
        bool Expected;
    } const cases[] = {
        {nullptr, {missing}, false},
        {"", {missing, missing}, false},
        {nullptr, {}, false},
        {"unix:path=/somewhere/else", {missing}, true},
        {nullptr, {missing, present}, true},
        {"", {present}, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Address ? c.Address : "(unset)") + " " + std::to_string(c.Paths.size()));
        bool result = false;
        if (c.Paths.empty())
            result = platform::SystemBusMayExist(c.Address, {});
        else if (c.Paths.size() == 1)
            result = platform::SystemBusMayExist(c.Address, {c.Paths[0].c_str()});
        else
            result = platform::SystemBusMayExist(c.Address, {c.Paths[0].c_str(), c.Paths[1].c_str()});
        EXPECT_EQ(result, c.Expected);
    }
    std::remove(present.c_str());
}

TEST(ConnectionStateTest, NetworkInformationModuleIsLookedForBesideTheProgramThenByName)
{
    struct TCase {
        std::string ProgramDirectory;
        std::string RelativeDirectory;
        std::vector<std::string> Expected;
    } const cases[] = {
        {"/usr/bin",
         "../lib/x86_64-linux-gnu/tembrook",
         {"/usr/bin/../lib/x86_64-linux-gnu/tembrook/libtembrook_netinfo.so", "libtembrook_netinfo.so"}},
        {"/opt/tembrook", "", {"/opt/tembrook/libtembrook_netinfo.so", "libtembrook_netinfo.so"}},
        {"", "../lib/tembrook", {"libtembrook_netinfo.so"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.ProgramDirectory + " + " + c.RelativeDirectory);
        EXPECT_EQ(platform::NetworkInformationModuleCandidates(c.ProgramDirectory, c.RelativeDirectory),
                  c.Expected);
    }
}

// The test programs find the module through the build tree's link, at the
// same relative path as the window and the exporter find theirs.
TEST(ConnectionStateTest, NetworkInformationModuleOpensFromTheBuildTree)
{
    std::string error;
    EXPECT_TRUE(platform::NetworkInformationModuleLoads(error)) << error;
    EXPECT_EQ(error, "");
}

TEST(ConnectionStateTest, StateMadeOffTheMainThreadLoadsThroughTheEventLoop)
{
    std::shared_ptr<platform::TQtConnectionState> state;
    std::thread maker(
        [&] { state = std::make_shared<platform::TQtConnectionState>("tembrook-no-such-backend"); });
    maker.join();
    PumpEvents(20ms);  // the queued load runs and fails
    EXPECT_FALSE(state->HasBackend());
    EXPECT_TRUE(state->IsConnected());
}

TEST(ConnectionStateTest, ScopedStateIsInstalledAndRestored)
{
    const auto original = platform::CurrentConnectionState();
    ASSERT_TRUE(original != nullptr);
    auto fake = std::make_shared<FakeConnectionState>();
    {
        platform::TScopedConnectionState scoped(fake);
        EXPECT_EQ(platform::CurrentConnectionState(), fake);
    }
    EXPECT_EQ(platform::CurrentConnectionState(), original);
    platform::SetConnectionState(nullptr);  // back to a fresh default
    const auto fresh = platform::CurrentConnectionState();
    EXPECT_TRUE(fresh != nullptr);
    EXPECT_NE(fresh, fake);
}

}  // namespace
}  // namespace tembrook::test
