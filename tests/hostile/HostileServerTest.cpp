// Servers that misbehave: nobody listening, a reset in the middle of the
// body, a stall, a body beyond the size cap, an endless redirect loop, a
// redirect to another scheme, bytes that are not HTTP, and a 50 MB table
// page trickling in small pieces. Through the transfer itself (all at once),
// through the import road and through the command-line exporter: nothing
// crashes, a stall is ended by the stall limit, every transfer ends with an
// outcome, and the log says what happened.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "Clock.h"
#include "ExportCommand.h"
#include "HTTPTransferThreadUnit.h"
#include "HostileTestSupport.h"
#include "ImportRoad.h"
#include "ImportTransferStarter.h"
#include "InternetClient.h"
#include "LocaleSettings.h"
#include "RoadTexts.h"
#include "TestHttpServer.h"
#include "Thread.h"

namespace tembrook::test {
namespace {

using namespace std::chrono_literals;

// CP932 log texts of the road.
const std::string kLogTopPageReceived(roadtext::kLogTopPageReceived);
const std::string kLogTopPageReadError(roadtext::kLogTopPageReadError);
const std::string kLogListImport(roadtext::kLogListImport);
const std::string kLogTablePageReceived(roadtext::kLogTablePageReceived);
const std::string kLogTablePageReadError(roadtext::kLogTablePageReadError);

// A port nobody listens on: bound, read back and closed again.
int ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string Garbage(std::size_t size)
{
    std::mt19937 random(42);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// A table page of about totalBytes: `rows` rows of about rowBytes each, and
// above the table page text that the parser passes over (a long inline
// script, as pages have), one line of a kilobyte after another.
std::string BigTablePage(std::size_t totalBytes, std::size_t rowBytes, std::size_t rows)
{
    std::string table = "<table border=1>\r\n";
    for (std::size_t i = 0; i < rows; ++i) {
        std::string title = "T" + std::to_string(i) + "-";
        title.resize(rowBytes, 'x');
        table += Row("03/05", title) + "\r\n";
    }
    table += "</table>\r\n</body></html>\r\n";
    std::string page = "<html><head><script>\r\n";
    std::string filler(1022, 'f');
    filler += "\r\n";
    while (page.size() + filler.size() + table.size() < totalBytes)
        page += filler;
    return page + "</script></head><body>\r\n" + table;
}

// The servers every case draws on, and the page a healthy table link serves.
class HostileServers : public ::testing::Test {
protected:
    HostileServers()
    {
        InitializeTransfers();
        FServer.ServeBody("/good.html", TablePage({Row("03/05", "Good1"), Row("03/06", "Good2")}));
        FServer.ServeStall("/stall.html", "<", 100000);
        FServer.ServeBody("/huge.html", std::string(200 * 1024, 'h'));
        FServer.ServeRedirect("/loop.html", FServer.Url("/loop.html"));
        FServer.ServeRedirect("/to-file.html", "file:///etc/passwd");
        FServer.ServeRedirect("/to-ftp.html", "ftp://127.0.0.1:" + std::to_string(ClosedPort()) + "/x");
        // Shortened limits: a stall ends after kStallSeconds, the cap is 64 KiB.
        // The stalled server stays silent until it is destroyed, so only the
        // limit can end that transfer; every other case needs well under a
        // second, even under a sanitizer on a busy machine.
        platform::TInternetLimits limits = platform::DefaultInternetLimits();
        FSavedLimits = limits;
        limits.StallSeconds = kStallSeconds;
        limits.MaxBodyBytes = 64 * 1024;
        platform::SetDefaultInternetLimits(limits);
    }
    ~HostileServers() override
    {
        platform::SetDefaultInternetLimits(FSavedLimits);
        // Every transfer was released after its completion: nothing leaks.
        EXPECT_TRUE(WaitUntil([] { return platform::TThread::RunningCount() == 0; }, kGuard));
    }

    // The big trickling page is no stall test: it keeps the real stall limit,
    // far above any pause a loaded machine puts between its pieces.
    static void UseRealLimitsForTheBigPage()
    {
        platform::TInternetLimits limits = platform::DefaultInternetLimits();
        limits.MaxBodyBytes = platform::TInternetLimits{}.MaxBodyBytes;
        limits.StallSeconds = platform::TInternetLimits{}.StallSeconds;
        platform::SetDefaultInternetLimits(limits);
    }

    static constexpr long kStallSeconds = 5;
    // How long a test waits for an outcome before it gives up: a guard
    // against a hang, never reached by a passing run.
    static constexpr auto kGuard = 300s;

    // A table page cut off after its second row by a connection reset.
    static std::string PartialTablePage()
    {
        const std::string page =
            TablePage({Row("03/05", "Partial1"), Row("03/06", "Partial2"), Row("03/07", "Lost")});
        return page.substr(0, page.find("<tr><td width=50 bgcolor=#efefef>03/07"));
    }

    struct Case {
        const char* Name;
        std::string Url;
        std::string Text;                 // what the transfer hands over
        std::vector<std::string> Titles;  // records the page still gives
        std::string ErrorPart;            // in the log's error line
    };

    std::vector<Case> Cases()
    {
        const std::string partial = PartialTablePage();
        return {
            {"refused", "http://127.0.0.1:" + std::to_string(FClosedPort) + "/t.html", "", {}, "onnect"},
            {"reset mid-body", FReset.Url("/reset.html"), partial, {"Partial1", "Partial2"}, ""},
            {"stall", FServer.Url("/stall.html"), "<", {}, "too slow"},
            {"over the cap", FServer.Url("/huge.html"), std::string(64 * 1024, 'h'), {}, "size limit"},
            {"endless redirect loop", FServer.Url("/loop.html"), "", {}, "edirect"},
            {"redirect to file:", FServer.Url("/to-file.html"), "", {}, ""},
            {"redirect to ftp:", FServer.Url("/to-ftp.html"), "", {}, ""},
            {"garbage instead of HTTP", FGarbage.Url("/g.html"), "", {}, ""},
        };
    }

    platform::TScopedConnectionState FOnline{std::make_shared<OnlineState>()};
    platform::TScopedToday FToday{{2026, 3, 20}};
    platform::TScopedLocaleSeparators FSeparators{{"/", ","}};
    platform::TInternetLimits FSavedLimits;
    TestHttpServer FServer;
    int FClosedPort = ClosedPort();
    RawSocketServer FReset{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + PartialTablePage(),
                           RawSocketServer::Ending::Reset, 200ms};
    RawSocketServer FGarbage{Garbage(3000), RawSocketServer::Ending::Close};
};

// --- the transfer itself: every hostile server at once -----------------------

struct TransferOutcome {
    std::mutex Lock;
    bool Completed = false;
    bool Terminated = false;
    std::string Text;
    std::string Error;
    std::vector<std::int32_t> Stages;
    std::vector<std::int32_t> Totals;  // stage 3 values
};

std::shared_ptr<TransferOutcome> Start(const std::string& url)
{
    auto outcome = std::make_shared<TransferOutcome>();
    auto* transfer = new THTTPDataTransfer();
    transfer->URL = url;
    transfer->OnProgress = [outcome](THTTPDataTransfer*, std::int32_t, std::int32_t stage,
                                     std::int32_t value) {
        std::lock_guard lock(outcome->Lock);
        outcome->Stages.push_back(stage);
        if (stage == 3)
            outcome->Totals.push_back(value);
    };
    transfer->OnTerminate = [outcome](THTTPDataTransfer* sender) {
        std::lock_guard lock(outcome->Lock);
        outcome->Completed = true;
        outcome->Terminated = sender->Terminated();
        outcome->Text = sender->ReceivedText();
        outcome->Error = sender->ErrorMessage();
    };
    transfer->Resume();
    return outcome;
}

TEST_F(HostileServers, EveryTransferEndsWithAnOutcomeWithinItsLimits)
{
    const std::string big = BigTablePage(50 * 1024 * 1024, 2000, 2000);
    FServer.ServeInPieces("/trickle.html", big, 1024, 0ms);

    const std::vector<Case> cases = Cases();
    std::vector<std::shared_ptr<TransferOutcome>> outcomes;
    for (const Case& c : cases)
        outcomes.push_back(Start(c.Url));
    // A transfer takes the limits in force when it is made: the cases above
    // keep the shortened ones, the big page gets the real ones.
    UseRealLimitsForTheBigPage();
    const auto trickle = Start(FServer.Url("/trickle.html"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const auto& o : outcomes) {
                std::lock_guard lock(o->Lock);
                if (!o->Completed)
                    return false;
            }
            std::lock_guard lock(trickle->Lock);
            return trickle->Completed;
        },
        kGuard));

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].Name);
        const TransferOutcome& o = *outcomes[i];
        EXPECT_FALSE(o.Terminated) << "a failed read is not a lost connection";
        EXPECT_TRUE(o.Text == cases[i].Text) << o.Text.size() << " bytes";
        EXPECT_EQ(std::count(o.Stages.begin(), o.Stages.end(), -1), 1);
        ASSERT_GE(o.Stages.size(), 3u);
        EXPECT_EQ(o.Stages[o.Stages.size() - 2], 1);
        EXPECT_EQ(o.Stages.back(), 4);
        EXPECT_FALSE(o.Error.empty());
        EXPECT_NE(o.Error.find(cases[i].ErrorPart), std::string::npos) << o.Error;
        EXPECT_EQ(o.Text.find("root:"), std::string::npos);
    }
    EXPECT_EQ(FServer.RequestCount("/loop.html"), 11u) << "the first request and ten redirects";

    const TransferOutcome& t = *trickle;
    EXPECT_FALSE(t.Terminated);
    EXPECT_TRUE(t.Error.empty()) << t.Error;
    EXPECT_EQ(t.Text.size(), big.size());
    EXPECT_TRUE(t.Text == big);
    EXPECT_EQ(std::count(t.Stages.begin(), t.Stages.end(), -1), 0);
    ASSERT_FALSE(t.Totals.empty());
    EXPECT_TRUE(std::is_sorted(t.Totals.begin(), t.Totals.end()));
    EXPECT_EQ(static_cast<std::size_t>(t.Totals.back()), big.size());
}

// --- through the import road ---------------------------------------------------

class HostileRoad : public HostileServers {
protected:
    // Imports a top page linking the healthy page and `bad`, until idle.
    RecordingSink Import(const std::string& bad)
    {
        FServer.ServeBody("/index.html", TopPage("good.html", bad));
        RecordingSink sink;
        TImportTransferStarter starter;
        TImportRoad road(sink, starter);
        road.StartImport(FServer.Url("/index.html"));
        EXPECT_TRUE(WaitUntil([&] { return sink.Idle; }, kGuard));
        FOutcome = road.Outcome();
        EXPECT_EQ(road.RunningTransfers(), 0u);
        return sink;
    }
    TImportOutcome FOutcome;
};

TEST_F(HostileRoad, AFailingTablePageIsLoggedAndTheOtherPageIsKept)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.Name);
        const RecordingSink sink = Import(c.Url);
        EXPECT_TRUE(sink.Errors.empty());
        EXPECT_EQ(FOutcome.LinkCount, 2u);
        EXPECT_EQ(FOutcome.PagesDone, 2u);
        EXPECT_EQ(FOutcome.PagesFailed, 1u);
        EXPECT_FALSE(FOutcome.Complete());

        std::vector<std::string> titles = sink.Titles;
        std::sort(titles.begin(), titles.end());
        std::vector<std::string> expected = c.Titles;
        expected.insert(expected.end(), {"Good1", "Good2"});
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(titles, expected);

        // The top page, both links, both pages, and the broken read with its URL and reason.
        ASSERT_GE(sink.Log.size(), 6u);
        EXPECT_EQ(sink.Log[0], kLogTopPageReceived);
        EXPECT_EQ(sink.Log[1], kLogListImport + FServer.Url("/good.html"));
        EXPECT_EQ(sink.Log[2], kLogListImport + c.Url);
        EXPECT_EQ(std::count(sink.Log.begin(), sink.Log.end(), kLogTablePageReceived), 2);
        const auto error = std::find_if(sink.Log.begin(), sink.Log.end(), [&](const std::string& line) {
            return line.rfind(kLogTablePageReadError + c.Url + " (", 0) == 0;
        });
        ASSERT_NE(error, sink.Log.end());
        EXPECT_NE(error->find(c.ErrorPart), std::string::npos) << *error;
        EXPECT_EQ(error->back(), ')');
    }
}

TEST_F(HostileRoad, ATopPageThatCannotBeReadStartsNothingAndSaysWhy)
{
    const std::string url = "http://127.0.0.1:" + std::to_string(FClosedPort) + "/index.html";
    RecordingSink sink;
    TImportTransferStarter starter;
    TImportRoad road(sink, starter);
    road.StartImport(url);
    ASSERT_TRUE(WaitUntil([&] { return sink.Idle; }, kGuard));
    ASSERT_EQ(sink.Log.size(), 2u);
    EXPECT_EQ(sink.Log[0], kLogTopPageReceived);
    EXPECT_EQ(sink.Log[1].rfind(kLogTopPageReadError + url + " (", 0), 0u) << sink.Log[1];
    EXPECT_TRUE(road.Outcome().TopPageFailed);
    EXPECT_EQ(road.Outcome().LinkCount, 0u);
    EXPECT_EQ(sink.Records, 0u);
}

// --- through the command-line exporter -----------------------------------------

struct ExportRun {
    int Status = -1;
    std::vector<std::string> Lines;  // the output's CP932 lines, CR LF removed
    QString Err;
};

ExportRun RunExporter(const std::string& url)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ExportRun run;
    run.Status =
        cli::RunExport({QStringLiteral("tembrook-export"), QString::fromStdString(url)}, out, err, "UTF-8");
    const std::string bytes = out.data().toStdString();
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            break;
        run.Lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    run.Err = QString::fromUtf8(err.data());
    return run;
}

class HostileExport : public HostileServers {};

TEST_F(HostileExport, AFailingTablePageExitsWithOneAndKeepsWhatArrived)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.Name);
        FServer.ServeBody("/index.html", TopPage("good.html", c.Url));
        const ExportRun run = RunExporter(FServer.Url("/index.html"));
        EXPECT_EQ(run.Status, cli::ecFailed);
        EXPECT_EQ(run.Lines.size(), 2 + c.Titles.size());
        for (const std::string& line : run.Lines)
            EXPECT_EQ(line.rfind("03/0", 0), 0u) << line;
        EXPECT_TRUE(run.Err.contains(QStringLiteral("‥‥リスト受信エラー : ") + QString::fromStdString(c.Url) +
                                     QStringLiteral(" (")))
            << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(QStringLiteral("the import was incomplete")));
    }
}

TEST_F(HostileExport, AFiftyMegabyteTablePageTricklingInArrivesWhole)
{
    const std::size_t rows = 2000;
    const std::string big = BigTablePage(50 * 1024 * 1024, 500, rows);
    ASSERT_GE(big.size(), 50u * 1024 * 1024 - 2048);
    FServer.ServeInPieces("/trickle.html", big, 1024, 0ms);
    FServer.ServeBody("/index.html", TopPage("good.html", "trickle.html"));
    UseRealLimitsForTheBigPage();

    const ExportRun run = RunExporter(FServer.Url("/index.html"));
    EXPECT_EQ(run.Status, cli::ecOk) << run.Err.toStdString();
    ASSERT_EQ(run.Lines.size(), rows + 2);
    // Link order: the healthy page's rows first, then the big page's in page order.
    EXPECT_EQ(run.Lines[0].rfind("03/05 Good1 ", 0), 0u);
    EXPECT_EQ(run.Lines[2].rfind("03/05 T0-xxx", 0), 0u);
    EXPECT_EQ(run.Lines.back().rfind("03/05 T" + std::to_string(rows - 1) + "-x", 0), 0u);
}

}  // namespace
}  // namespace tembrook::test
