// THTTPDataTransfer against a real HTTP server on 127.0.0.1: the stage
// sequences, the bodies as delivered, the faults of a server, the limits and
// the connection check.
#include "NetTestSupport.h"
#include "TestHttpServer.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace tembrook::test {
namespace {

using namespace std::chrono_literals;
using Stages = std::vector<std::int32_t>;

// Downloads must never leave loopback, whatever proxy the machine has.
class LoopbackOnlyEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(name);
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    }
};
const auto* const gLoopbackOnly = ::testing::AddGlobalTestEnvironment(new LoopbackOnlyEnvironment);

std::string PatternBody(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string body(size, '\0');
    for (char& c : body)
        c = static_cast<char>(random() & 0xff);  // NULs and CP932 lead bytes included
    return body;
}

// A port with nobody listening on it.
int ClosedPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class TransferTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Every transfer released once its completion has run: nothing leaks.
        EXPECT_TRUE(WaitUntil([] { return platform::TThread::RunningCount() == 0; }, 10s));
    }

    std::shared_ptr<FakeConnectionState> FState = std::make_shared<FakeConnectionState>();
    platform::TScopedConnectionState FScoped{FState};
    TestHttpServer FServer;
};

// --- stage sequences -------------------------------------------------------

TEST_F(TransferTest, NormalDownloadReportsOpenReadsCloseAndEnd)
{
    const std::string body = PatternBody(3000, 1);
    FServer.ServeBody("/page.html", body);
    auto record = Fetch(FServer.Url("/page.html"));

    ASSERT_TRUE(record->Completed);
    EXPECT_FALSE(record->Terminated);
    EXPECT_TRUE(record->OnMainThread);
    EXPECT_EQ(record->Text, body);
    EXPECT_TRUE(record->Error.empty()) << record->Error;
    const std::vector<ProgressReport> expected = {{4, 1, 0},    {4, 2, 0},    {4, 3, 1024}, {4, 3, 2048},
                                                  {4, 3, 3000}, {4, 3, 3000}, {4, 1, 0},    {4, 4, 0}};
    EXPECT_EQ(record->Reports, expected);
    EXPECT_EQ(record->ReportsAfterCompletion, 0);
}

TEST_F(TransferTest, AddressThatCannotBeOpenedReadsNothingAndEndsNormally)
{
    auto record = Fetch("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/index.html");

    ASSERT_TRUE(record->Completed);
    EXPECT_EQ(record->Stages(), (Stages{1, 2, -1, 1, 4}));
    EXPECT_FALSE(record->Terminated);
    EXPECT_TRUE(record->Text.empty());
    EXPECT_FALSE(record->Error.empty());
}

TEST_F(TransferTest, EmptyUrlMakesNoCallAndNoReport)
{
    auto record = Fetch("");

    ASSERT_TRUE(record->Completed);
    EXPECT_TRUE(record->Reports.empty());
    EXPECT_FALSE(record->Terminated);
    EXPECT_TRUE(record->Text.empty());
    EXPECT_EQ(FState->Checks.load(), 0);
    EXPECT_TRUE(FServer.Requests().empty());
}

// --- bodies as delivered ---------------------------------------------------

struct BodyCase {
    const char* Name;
    std::size_t Size;
    // How the server writes it.
    enum { Whole, Pieces, Chunked } Mode;
    std::size_t Piece;
};

void PrintTo(const BodyCase& c, std::ostream* os)
{
    *os << c.Name;
}

class TransferBodyTest : public TransferTest, public ::testing::WithParamInterface<BodyCase> {};

// Whatever the server's writes, the reads are full 1024-byte pieces, one
// short piece and a final empty read, and the body is exact.
TEST_P(TransferBodyTest, ReadsFullPiecesAndDeliversTheExactBody)
{
    const BodyCase& c = GetParam();
    const std::string body = PatternBody(c.Size, static_cast<unsigned>(c.Size));
    switch (c.Mode) {
    case BodyCase::Whole:
        FServer.ServeBody("/b", body, "application/octet-stream");
        break;
    case BodyCase::Pieces:
        FServer.ServeInPieces("/b", body, c.Piece, 1ms, "application/octet-stream");
        break;
    case BodyCase::Chunked: {
        std::vector<std::string> chunks;
        for (std::size_t at = 0; at < body.size(); at += c.Piece)
            chunks.push_back(body.substr(at, c.Piece));
        FServer.ServeChunked("/b", chunks, "application/octet-stream");
        break;
    }
    }
    auto record = Fetch(FServer.Url("/b"));

    ASSERT_TRUE(record->Completed);
    EXPECT_FALSE(record->Terminated);
    ASSERT_EQ(record->Text.size(), body.size());
    EXPECT_TRUE(record->Text == body) << "body differs";
    // One report per non-empty read, then one for the final empty read.
    std::vector<std::int32_t> expected;
    for (std::size_t total = 1024; total < c.Size + 1024; total += 1024)
        expected.push_back(static_cast<std::int32_t>(std::min(total, c.Size)));
    expected.push_back(static_cast<std::int32_t>(c.Size));
    if (c.Size == 0)
        expected = {0};
    EXPECT_EQ(record->ValuesOfStage(3), expected);
    EXPECT_EQ(record->Stages().back(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, TransferBodyTest,
    ::testing::Values(BodyCase{"Whole3000", 3000, BodyCase::Whole, 0},
                      BodyCase{"SmallPackets3000", 3000, BodyCase::Pieces, 7},
                      BodyCase{"OddPackets3000", 3000, BodyCase::Pieces, 1500},
                      BodyCase{"Chunked3000", 3000, BodyCase::Chunked, 333},
                      BodyCase{"Short", 10, BodyCase::Whole, 0}, BodyCase{"Empty", 0, BodyCase::Whole, 0},
                      BodyCase{"ExactlyTwoPieces", 2048, BodyCase::Whole, 0},
                      BodyCase{"OneMiB", 1024 * 1024, BodyCase::Whole, 0},
                      BodyCase{"OneMiBChunked", 1024 * 1024, BodyCase::Chunked, 4096 + 17}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TransferTest, ThreeThousandBytesReportTheTotalsOfTheSpec)
{
    FServer.ServeInPieces("/t.html", std::string(3000, 'x'), 100, 1ms);
    auto record = Fetch(FServer.Url("/t.html"));
    EXPECT_EQ(record->ValuesOfStage(3), (std::vector<std::int32_t>{1024, 2048, 3000, 3000}));
    EXPECT_EQ(record->Text, std::string(3000, 'x'));
}

TEST_F(TransferTest, ErrorPageBodyIsDeliveredLikeAnyOther)
{
    const std::string page = "<html><body>\x83\x79\x81\x5b\x83\x57 not found</body></html>";  // ページ
    FServer.ServeBody("/missing.html", page, "text/html", 404);
    auto record = Fetch(FServer.Url("/missing.html"));

    EXPECT_FALSE(record->Terminated);
    EXPECT_EQ(record->Text, page);
    const Stages stages = record->Stages();
    EXPECT_EQ(stages.back(), 4);
    EXPECT_EQ(std::count(stages.begin(), stages.end(), -1), 0);
}

TEST_F(TransferTest, SendsOnlyTheAgentAndNoExtraHeaders)
{
    FServer.ServeBody("/h.html", "ok");
    auto record = Fetch(FServer.Url("/h.html"));
    ASSERT_EQ(FServer.Requests().size(), 1u);
    const TestRequest request = FServer.Requests().front();
    EXPECT_EQ(request.Method, "GET");
    EXPECT_EQ(request.Header("User-Agent"), "Vantrel");
    for (const auto& [name, value] : request.Headers) {
        const bool expected = name == "Host" || name == "User-Agent" || name == "Accept";
        EXPECT_TRUE(expected) << "unexpected header " << name << ": " << value;
    }
}

// --- redirects and schemes -------------------------------------------------

TEST_F(TransferTest, RedirectIsFollowed)
{
    FServer.ServeRedirect("/old.html", FServer.Url("/new.html"));
    FServer.ServeBody("/new.html", "<html>new</html>");
    auto record = Fetch(FServer.Url("/old.html"));

    EXPECT_EQ(record->Text, "<html>new</html>");
    EXPECT_EQ(record->Stages().back(), 4);
    EXPECT_EQ(FServer.RequestCount("/new.html"), 1u);
}

TEST_F(TransferTest, RedirectChainLongerThanTenFails)
{
    for (int i = 0; i < 12; ++i)
        FServer.ServeRedirect("/r" + std::to_string(i), FServer.Url("/r" + std::to_string(i + 1)));
    FServer.ServeBody("/r12", "end");
    auto ten = Fetch(FServer.Url("/r2"));  // ten hops to /r12
    EXPECT_EQ(ten->Text, "end");
    auto eleven = Fetch(FServer.Url("/r1"));  // eleven hops
    const Stages stages = eleven->Stages();
    EXPECT_NE(std::find(stages.begin(), stages.end(), -1), stages.end());
    EXPECT_TRUE(eleven->Text.empty());
    EXPECT_FALSE(eleven->Terminated);
}

class SchemeTest : public TransferTest, public ::testing::WithParamInterface<const char*> {};

// A scheme other than http and https is never opened, given directly or as
// a redirect target: the open fails like an address that cannot be opened.
TEST_P(SchemeTest, OtherSchemesAreNeverOpened)
{
    const std::string scheme = GetParam();
    const auto folder =
        std::filesystem::temp_directory_path() / ("tembrook-scheme-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto secret = folder / "secret.txt";
    std::ofstream(secret) << "SECRET-CONTENT";
    // A listener on the target port shows whether anything connected.
    RawSocketServer listener("SECRET-CONTENT\r\n");
    const std::string target = scheme == "file"
        ? "file://" + secret.string()
        : scheme + "://127.0.0.1:" + std::to_string(listener.Port()) + "/secret.txt";
    FServer.ServeRedirect("/jump.html", target);

    for (const std::string& url : {target, FServer.Url("/jump.html")}) {
        SCOPED_TRACE(url);
        auto record = Fetch(url);
        ASSERT_TRUE(record->Completed);
        EXPECT_EQ(record->Stages(), (Stages{1, 2, -1, 1, 4}));
        EXPECT_FALSE(record->Terminated);
        EXPECT_EQ(record->Text.find("SECRET"), std::string::npos);
    }
    EXPECT_EQ(listener.Connections(), 0u);
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Schemes, SchemeTest,
                         ::testing::Values("file", "ftp", "gopher", "dict", "telnet", "scp"));

TEST_F(TransferTest, MalformedAddressesFailWithoutAnyRequest)
{
    FServer.ServeBody("/a", "A");
    for (const std::string& url :
         {FServer.Url("/a") + std::string("\0/b", 3), FServer.Url("/a\r\nX-Injected: 1"),
          std::string("127.0.0.1:") + std::to_string(FServer.Port()) + "/a", std::string("not a url"),
          " " + FServer.Url("/a"), std::string("http://my host/a")}) {
        SCOPED_TRACE(url);
        auto record = Fetch(url);
        EXPECT_EQ(record->Stages(), (Stages{1, 2, -1, 1, 4}));
        EXPECT_TRUE(record->Text.empty());
    }
    EXPECT_TRUE(FServer.Requests().empty());
}

TEST_F(TransferTest, BlanksAndHighBytesInTheAddressArePercentEncoded)
{
    struct Case {
        std::string Typed;   // path, query and fragment as typed
        std::string Served;  // the path the server decodes
        std::string Target;  // what it receives
    };
    const Case cases[] = {
        {"/my comics/index.html", "/my comics/index.html", "/my%20comics/index.html"},
        // CP932 bytes keep their values (its trail byte '~' may stand raw);
        // a blank in the query is %20, a '+' stays; the fragment is not sent.
        {"/\x83\x7E\x83\x93 x.html?q=a b\x83\x93&r=1+2#part two", "/\x83\x7E\x83\x93 x.html",
         "/%83~%83%93%20x.html?q=a%20b%83%93&r=1+2"},
        // Escapes already there are not encoded again.
        {"/100%25/x%20y.html", "/100%/x y.html", "/100%25/x%20y.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        FServer.ServeBody(c.Served, "found");
        const std::size_t before = FServer.Requests().size();
        auto record = Fetch(FServer.Url(c.Typed));
        EXPECT_EQ(record->Text, "found");
        const std::vector<TestRequest> requests = FServer.Requests();
        ASSERT_EQ(requests.size(), before + 1);
        EXPECT_EQ(requests.back().Target, c.Target);
    }
}

// --- a server that breaks --------------------------------------------------

TEST_F(TransferTest, ResetMidBodyKeepsThePartialText)
{
    const std::string part = PatternBody(1500, 7);
    RawSocketServer server("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + part,
                           RawSocketServer::Ending::Reset, 200ms);
    auto record = Fetch(server.Url("/reset.html"));

    ASSERT_TRUE(record->Completed);
    EXPECT_FALSE(record->Terminated);
    EXPECT_EQ(record->Text, part);
    EXPECT_EQ(record->Stages(), (Stages{1, 2, 3, 3, -1, 1, 4}));
    EXPECT_EQ(record->ValuesOfStage(3), (std::vector<std::int32_t>{1024, 1500}));
    EXPECT_FALSE(record->Error.empty());
}

TEST_F(TransferTest, BodyCutShortIsAFailedReadWithThePartialText)
{
    const std::string body = PatternBody(4000, 9);
    FServer.ServeTruncated("/cut.html", body, 2500);
    auto record = Fetch(FServer.Url("/cut.html"));

    EXPECT_FALSE(record->Terminated);
    EXPECT_EQ(record->Text, body.substr(0, 2500));
    const Stages stages = record->Stages();
    EXPECT_EQ(std::count(stages.begin(), stages.end(), -1), 1);
    EXPECT_EQ(stages.back(), 4);
}

TEST_F(TransferTest, GarbageInsteadOfHttpIsAFailedRead)
{
    RawSocketServer server(PatternBody(3000, 3), RawSocketServer::Ending::Close);
    auto record = Fetch(server.Url("/"));
    EXPECT_EQ(record->Stages(), (Stages{1, 2, -1, 1, 4}));
    EXPECT_TRUE(record->Text.empty());
    EXPECT_FALSE(record->Terminated);
}

TEST_F(TransferTest, ConnectionClosedBeforeAnyReplyIsAFailedRead)
{
    RawSocketServer server("", RawSocketServer::Ending::Close);
    auto record = Fetch(server.Url("/"));
    EXPECT_EQ(record->Stages(), (Stages{1, 2, -1, 1, 4}));
    EXPECT_TRUE(record->Text.empty());
}

// --- limits ----------------------------------------------------------------

TEST_F(TransferTest, StalledBodyEndsAtTheStallLimitKeepingThePrefix)
{
    // The server stays silent after its one-byte prefix until it is
    // destroyed: only the stall limit ends the transfer, and it does so
    // long before the real limit of a minute.
    FServer.ServeStall("/stall.html", "<", 100000);
    const auto started = std::chrono::steady_clock::now();
    auto record = Fetch(
        FServer.Url("/stall.html"), [](THTTPDataTransfer& t) { t.Limits.StallSeconds = kStallSeconds; },
        kGuard);
    const auto took = std::chrono::steady_clock::now() - started;

    ASSERT_TRUE(record->Completed);
    EXPECT_FALSE(record->Terminated);
    EXPECT_EQ(record->Text, "<");
    EXPECT_EQ(record->Stages(), (Stages{1, 2, 3, -1, 1, 4}));
    EXPECT_NE(record->Error.find("too slow"), std::string::npos) << record->Error;
    EXPECT_LT(took, 45s);
}

TEST_F(TransferTest, ServerThatNeverAnswersEndsAtTheStallLimit)
{
    RawSocketServer server("", RawSocketServer::Ending::Hold);
    auto record = Fetch(
        server.Url("/"), [](THTTPDataTransfer& t) { t.Limits.StallSeconds = kStallSeconds; }, kGuard);
    ASSERT_TRUE(record->Completed);
    EXPECT_EQ(record->Stages(), (Stages{1, 2, -1, 1, 4}));
    EXPECT_FALSE(record->Terminated);
}

TEST_F(TransferTest, ConnectThatHangsEndsAtTheConnectTimeout)
{
    UnresponsiveListener listener;
    const auto started = std::chrono::steady_clock::now();
    auto record = Fetch(
        listener.Url("/"), [](THTTPDataTransfer& t) { t.Limits.ConnectTimeoutMs = 3000; }, kGuard);
    ASSERT_TRUE(record->Completed);
    EXPECT_EQ(record->Stages(), (Stages{1, 2, -1, 1, 4}));
    // Well before the real connect timeout of half a minute.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 25s);
}

TEST_F(TransferTest, BodyOverTheCapKeepsExactlyTheCap)
{
    const std::string body = PatternBody(50000, 5);
    FServer.ServeBody("/big", body);
    FServer.ServeChunked("/bigchunked", {body.substr(0, 20000), body.substr(20000)});
    FServer.ServeBody("/exact", body.substr(0, 10000));
    for (const char* path : {"/big", "/bigchunked"}) {
        SCOPED_TRACE(path);
        auto record = Fetch(FServer.Url(path), [](THTTPDataTransfer& t) { t.Limits.MaxBodyBytes = 10000; });
        EXPECT_FALSE(record->Terminated);
        EXPECT_EQ(record->Text, body.substr(0, 10000));
        const Stages stages = record->Stages();
        EXPECT_EQ(std::count(stages.begin(), stages.end(), -1), 1);
    }
    auto exact = Fetch(FServer.Url("/exact"), [](THTTPDataTransfer& t) { t.Limits.MaxBodyBytes = 10000; });
    EXPECT_EQ(exact->Text, body.substr(0, 10000));
    const Stages stages = exact->Stages();
    EXPECT_EQ(std::count(stages.begin(), stages.end(), -1), 0);
}

TEST_F(TransferTest, NewTransfersStartWithTheProcessDefaults)
{
    const platform::TInternetLimits original = platform::DefaultInternetLimits();
    platform::TInternetLimits shorter = original;
    shorter.MaxBodyBytes = 5;
    platform::SetDefaultInternetLimits(shorter);
    FServer.ServeBody("/d", "0123456789");
    auto record = Fetch(FServer.Url("/d"));
    platform::SetDefaultInternetLimits(original);

    EXPECT_EQ(record->Text, "01234");
    auto unlimited = Fetch(FServer.Url("/d"));
    EXPECT_EQ(unlimited->Text, "0123456789");
}

// --- the connection check --------------------------------------------------

struct CheckCase {
    const char* Name;
    bool OfflineByUser, Connected, AttemptSucceeds;
    bool Downloads;
};

void PrintTo(const CheckCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ConnectionCheckTest : public TransferTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(ConnectionCheckTest, CheckDecidesWhetherTheDownloadIsAttempted)
{
    const CheckCase& c = GetParam();
    FState->OfflineByUser = c.OfflineByUser;
    FState->Connected = c.Connected;
    FState->AttemptSucceeds = c.AttemptSucceeds;
    FServer.ServeBody("/c.html", "body");
    auto record = Fetch(FServer.Url("/c.html"));

    ASSERT_TRUE(record->Completed);
    if (c.Downloads) {
        EXPECT_FALSE(record->Terminated);
        EXPECT_EQ(record->Text, "body");
        EXPECT_EQ(record->Stages(), (Stages{1, 2, 3, 3, 1, 4}));
    } else {
        EXPECT_TRUE(record->Terminated);
        EXPECT_TRUE(record->Text.empty());
        EXPECT_TRUE(record->Reports.empty());
        EXPECT_TRUE(FServer.Requests().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Checks, ConnectionCheckTest,
                         ::testing::Values(CheckCase{"Connected", false, true, true, true},
                                           CheckCase{"NotConnected", false, false, true, false},
                                           CheckCase{"AttemptFails", false, true, false, false},
                                           CheckCase{"OfflineByUser", true, false, false, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- proxies ---------------------------------------------------------------

TEST_F(TransferTest, ProxyComesFromTheEnvironment)
{
    // The server plays the proxy: it receives the absolute address.
    FServer.Serve("http://tembrook.invalid/list.html",
                  [](const TestRequest& request, TestResponse& response) {
                      response.Body = "via proxy " + request.Target;
                  });
    setenv("http_proxy", FServer.BaseUrl().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    auto record = Fetch("http://tembrook.invalid/list.html");
    unsetenv("http_proxy");
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);

    EXPECT_EQ(record->Text, "via proxy http://tembrook.invalid/list.html");
}

}  // namespace
}  // namespace tembrook::test
