// The internet client and the connection state on their own.
#include "InternetClient.h"
#include "ConnectionState.h"
#include "NetTestSupport.h"
#include "TestHttpServer.h"

#include <gtest/gtest.h>

namespace tembrook::test {
namespace {

using namespace std::chrono_literals;
using platform::TInternetLimits;
using platform::TInternetSession;

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
