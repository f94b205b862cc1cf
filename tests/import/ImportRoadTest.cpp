// The import road with a fake starter (the test decides when and how each
// transfer ends) and a sink that records every call in order.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Clock.h"
#include "ImportRoad.h"
#include "RoadTexts.h"

namespace tembrook {
namespace {

// The road's texts (RoadTextsTest checks their wording).
const std::string kLoading(roadtext::kStatusTopPageLoading);
const std::string kStatusError(roadtext::kStatusError);
const std::string kStatusOk(roadtext::kStatusSuccess);
const std::string kTopFailed(roadtext::kLogTopPageFailed);
const std::string kTopOk(roadtext::kLogTopPageReceived);
const std::string kTopReadError(roadtext::kLogTopPageReadError);
const std::string kListImport(roadtext::kLogListImport);
const std::string kPageOk(roadtext::kLogTablePageReceived);
const std::string kPageFailed(roadtext::kLogTablePageFailed);
const std::string kPageReadError(roadtext::kLogTablePageReadError);
const std::string kUnreadable(roadtext::kLogTableUnreadable);
const std::string kRowDropped(roadtext::kLogRowDropped);
const std::string kTopEncoding(roadtext::kLogTopPageEncoding);
const std::string kPageEncoding(roadtext::kLogTablePageEncoding);
const std::string kUnread(roadtext::kLogEncodingUnread);
const std::string kNoLink(roadtext::kLogTopPageNoLink);
const std::string kHeading(roadtext::kTopPageHeading);

const std::string kTopUrl = "http://127.0.0.1:8080/comic/index.html";
const std::string kUrl1 = "http://127.0.0.1:8080/comic/t1.html";
const std::string kUrl2 = "http://127.0.0.1:8080/comic/t2.html";

std::string TopPage()
{
    return "<html>\r\n<h3>" + kHeading +
        "</h3>\r\n<a href=\"t1.html\">1</a>\r\n<a href=\"t2.html\">2</a>\r\n</html>\r\n";
}

std::string TablePage(const std::vector<std::string>& titles, const std::string& badPrice = "")
{
    std::string text = "<table>\r\n";
    bool first = true;
    for (const std::string& title : titles) {
        text += first ? "<tr><td width=50 bgcolor=#efefef>04/01</td>\r\n" : "<tr><td>04/02</td>\r\n";
        first = false;
        text += "<td>P</td>\r\n<td>" + title + "</td>\r\n<td>A</td>\r\n<td>" +
            (badPrice.empty() ? std::string("500") : badPrice) + "</td></tr>\r\n\r\n";
    }
    return text + "</table>\r\n";
}

class FakeStarter : public TTransferStarter {
public:
    struct Transfer {
        std::string Url;
        TProgressHandler Progress;
        TCompletionHandler Complete;
        bool Done = false;
    };

    void StartTransfer(const std::string& url, TProgressHandler onProgress,
                       TCompletionHandler onComplete) override
    {
        if (FailNextStarts > 0) {
            --FailNextStarts;
            throw std::runtime_error("cannot start");
        }
        Transfers.push_back(Transfer{url, std::move(onProgress), std::move(onComplete)});
    }

    // Ends transfer `index` with a received body (or as the flags say).
    void Finish(std::size_t index, const std::string& body, bool terminated = false, bool readFailed = false,
                const std::string& error = "")
    {
        ASSERT_FALSE(Transfers.at(index).Done) << "transfer " << index << " ends twice";
        TTransferResult result;
        result.Outcome = terminated ? TTransferOutcome::toFailed
            : readFailed            ? TTransferOutcome::toCutShort
                                    : TTransferOutcome::toReceived;
        result.HttpStatus = terminated ? 0 : 200;
        result.ReceivedText = body;
        result.ErrorMessage = error;
        FinishWith(index, result);
    }
    void FinishWith(std::size_t index, const TTransferResult& result)
    {
        Transfer& t = Transfers.at(index);
        t.Done = true;
        t.Complete(result);
    }

    std::vector<Transfer> Transfers;
    int FailNextStarts = 0;
};

class RecordingSink : public TImportSink {
public:
    void ShowStatus(const std::string& text) override { Events.push_back("status:" + text); }
    void AppendLog(const std::string& line) override
    {
        Events.push_back("log:" + line);
        if (OnLog)
            OnLog(line);
    }
    void ClearLog() override { Events.push_back("clearlog"); }
    void ShowProgress(std::int64_t bytes) override
    {
        std::lock_guard<std::mutex> guard(FProgressLock);
        Progress.push_back(bytes);
    }
    void ClearProgress() override { Events.push_back("clearprogress"); }
    void AddBookSaleList(const TBookSaleList& list, const TTablePageRef& page) override
    {
        std::string titles;
        for (std::int32_t i = 0; i < list.Count(); ++i)
            titles += (i > 0 ? "," : "") + list.Items(i)->Title();
        Events.push_back("add:" + std::to_string(page.LinkIndex) + ":" + page.URL + ":" + titles);
        if (OnAdd)
            OnAdd(list, page);
    }
    void ReportError(const std::string& message) override { Events.push_back("error:" + message); }
    void ImportIdle() override { Events.push_back("idle"); }

    std::vector<std::string> Logs() const
    {
        std::vector<std::string> logs;
        for (const auto& e : Events)
            if (e.rfind("log:", 0) == 0)
                logs.push_back(e.substr(4));
        return logs;
    }
    std::size_t Count(const std::string& prefix) const
    {
        std::size_t n = 0;
        for (const auto& e : Events)
            n += e.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    std::vector<std::string> Events;
    std::vector<std::int64_t> Progress;
    std::function<void(const TBookSaleList&, const TTablePageRef&)> OnAdd;
    std::function<void(const std::string&)> OnLog;

private:
    std::mutex FProgressLock;
};

// True when another thread can take the lock now (a recursive mutex always
// lets its own holder in, so the test must ask from outside).
bool FreeForOtherThreads(std::recursive_mutex& lock)
{
    bool taken = false;
    std::thread probe([&] {
        taken = lock.try_lock();
        if (taken)
            lock.unlock();
    });
    probe.join();
    return taken;
}

using Strings = std::vector<std::string>;

class ImportRoadTest : public ::testing::Test {
protected:
    platform::TScopedToday FToday{platform::TLocalDate{2026, 3, 20}};
    FakeStarter FStarter;
    RecordingSink FSink;
    std::unique_ptr<TImportRoad> FRoad = std::make_unique<TImportRoad>(FSink, FStarter);
};

TEST_F(ImportRoadTest, TheWholeRoadWithPagesArrivingOutOfOrder)
{
    FRoad->StartImport(kTopUrl);
    EXPECT_EQ(FSink.Events, (Strings{"status:" + kLoading, "clearlog"}));
    ASSERT_EQ(FStarter.Transfers.size(), 1u);
    EXPECT_EQ(FStarter.Transfers[0].Url, kTopUrl);
    EXPECT_EQ(FRoad->InportOption().SourceURL, kTopUrl);

    FSink.Events.clear();
    FStarter.Finish(0, TopPage());
    // Every table page is started before any of them ends.
    ASSERT_EQ(FStarter.Transfers.size(), 3u);
    EXPECT_EQ(FStarter.Transfers[1].Url, kUrl1);
    EXPECT_EQ(FStarter.Transfers[2].Url, kUrl2);
    EXPECT_EQ(FSink.Events,
              (Strings{"clearprogress", "status:" + kStatusOk, "log:" + kTopOk, "log:" + kListImport + kUrl1,
                       "log:" + kListImport + kUrl2}));
    EXPECT_EQ(FRoad->RunningTransfers(), 2u);

    FSink.Events.clear();
    FStarter.Finish(2, TablePage({"Second1", "Second2"}));
    FStarter.Finish(1, TablePage({"First1"}));
    EXPECT_EQ(FSink.Events,
              (Strings{"clearprogress", "status:" + kStatusOk, "log:" + kPageOk,
                       "add:1:" + kUrl2 + ":Second1,Second2", "clearprogress", "status:" + kStatusOk,
                       "log:" + kPageOk, "add:0:" + kUrl1 + ":First1", "idle"}));
    EXPECT_EQ(FRoad->RunningTransfers(), 0u);
    EXPECT_TRUE(FRoad->Outcome().Complete());
    EXPECT_EQ(FRoad->Outcome().LinkCount, 2u);
    // The option object keeps the page parsed last.
    EXPECT_EQ(FRoad->InportOption().BookSaleList.Count(), 1);
    EXPECT_TRUE(FreeForOtherThreads(FRoad->ImportLock()));
}

// A sink that keeps every record takes them out of the road's list instead
// of copying them: it gets the same records, in page order, and owns them;
// the road's list is left empty and its next page releases nothing twice.
class TakingSink : public RecordingSink {
public:
    void TakeBookSaleList(TBookSaleList& list, const TTablePageRef& page) override
    {
        AddBookSaleList(list, page);  // the same event as a copying sink
        for (std::int32_t i = 0; i < list.Count(); ++i)
            Taken.emplace_back(dynamic_cast<THtmlBookSaleData*>(list.GetItem(i)));
        list.Clear();
    }
    std::vector<std::unique_ptr<THtmlBookSaleData>> Taken;
};

TEST(ImportRoadTakingTest, ASinkMayTakeThePagesRecordsInsteadOfCopyingThem)
{
    platform::TScopedToday today{platform::TLocalDate{2026, 3, 20}};
    FakeStarter starter;
    TakingSink sink;
    TImportRoad road(sink, starter);
    road.StartImport(kTopUrl);
    starter.Finish(0, TopPage());
    starter.Finish(1, TablePage({"First1", "First2"}));
    EXPECT_EQ(road.InportOption().BookSaleList.Count(), 0);
    starter.Finish(2, TablePage({"Second1"}));
    EXPECT_EQ(sink.Count("add:0:" + kUrl1 + ":First1,First2"), 1u);
    EXPECT_EQ(sink.Count("add:1:" + kUrl2 + ":Second1"), 1u);
    ASSERT_EQ(sink.Taken.size(), 3u);
    const char* titles[] = {"First1", "First2", "Second1"};
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_NE(sink.Taken[i], nullptr);
        EXPECT_EQ(sink.Taken[i]->Title(), titles[i]);
        EXPECT_EQ(sink.Taken[i]->Publisher(), "P");
        EXPECT_EQ(sink.Taken[i]->Price().Units(), 500);
    }
    EXPECT_EQ(road.InportOption().BookSaleList.Count(), 0);
    EXPECT_TRUE(road.Outcome().Complete());
}

TEST_F(ImportRoadTest, AFailedTopPage)
{
    FRoad->StartImport(kTopUrl);
    FSink.Events.clear();
    FStarter.Finish(0, "", true);
    EXPECT_EQ(FSink.Events,
              (Strings{"clearprogress", "status:" + kStatusError, "log:" + kTopFailed, "idle"}));
    EXPECT_EQ(FStarter.Transfers.size(), 1u);
    EXPECT_TRUE(FRoad->Outcome().TopPageFailed);
    EXPECT_FALSE(FRoad->Outcome().Complete());
}

TEST_F(ImportRoadTest, ATopPageWhoseReadBrokeIsStillUsed)
{
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage(), false, true, "Connection reset");
    EXPECT_EQ(FSink.Logs(),
              (Strings{kTopOk, kTopReadError + kTopUrl + " (Connection reset)", kListImport + kUrl1,
                       kListImport + kUrl2}));
    FStarter.Finish(1, TablePage({"A"}));
    FStarter.Finish(2, TablePage({"B"}));
    EXPECT_FALSE(FRoad->Outcome().Complete());
    EXPECT_EQ(FSink.Count("add:"), 2u);
}

TEST_F(ImportRoadTest, AnEmptyAddressGivesOnlyTheSuccessLine)
{
    FRoad->StartImport("");
    ASSERT_EQ(FStarter.Transfers.size(), 1u);
    EXPECT_EQ(FStarter.Transfers[0].Url, "");
    FStarter.Finish(0, "");
    EXPECT_EQ(FSink.Logs(), (Strings{kTopOk}));
    EXPECT_EQ(FSink.Events.back(), "idle");
    EXPECT_EQ(FRoad->Outcome().LinkCount, 0u);
}

TTransferResult Result(TTransferOutcome outcome, int status, std::string_view body,
                       std::string_view unread = {}, std::string_view error = {})
{
    TTransferResult result;
    result.Outcome = outcome;
    result.HttpStatus = status;
    result.ReceivedText = body;
    result.UnreadEncoding = unread;
    result.ErrorMessage = error;
    return result;
}

// What the top page's end gives: the status panel, the log and the table
// pages started. An error status fails the page whatever else came with it.
TEST(ImportRoadTopPageTest, EachEndingOfTheTopPage)
{
    using O = TTransferOutcome;
    const std::string page = TopPage();
    const std::string noLinks = "<html>\r\n<h3>" + kHeading + "</h3>\r\n</html>\r\n";
    const std::string links1 = kListImport + kUrl1, links2 = kListImport + kUrl2;
    struct Case {
        const char* Name;
        TTransferResult Result;
        std::string Status;
        Strings Logs;
        int HttpError;
        std::size_t Started;  // table pages started
    } cases[] = {
        {"503 with links",
         Result(O::toReceived, 503, page),
         kStatusError,
         {kTopFailed + " : " + kTopUrl + " (HTTP 503)"},
         503,
         0},
        {"404 cut short",
         Result(O::toCutShort, 404, page, "", "reset"),
         kStatusError,
         {kTopFailed + " : " + kTopUrl + " (HTTP 404)"},
         404,
         0},
        {"no connection", Result(O::toFailed, 0, ""), kStatusError, {kTopFailed}, 0, 0},
        {"whole, no link", Result(O::toReceived, 200, noLinks), kStatusOk, {kTopOk, kNoLink + kTopUrl}, 0, 0},
        {"cut short, no link",
         Result(O::toCutShort, 200, noLinks, "", "reset"),
         kStatusOk,
         {kTopOk, kTopReadError + kTopUrl + " (reset)"},
         0,
         0},
        {"399 is no error", Result(O::toReceived, 399, page), kStatusOk, {kTopOk, links1, links2}, 0, 2},
        {"unread encoding",
         Result(O::toReceived, 200, page, "iso-8859-1"),
         kStatusOk,
         {kTopOk, kTopEncoding + "iso-8859-1" + kUnread + kTopUrl, links1, links2},
         0,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeStarter starter;
        RecordingSink sink;
        TImportRoad road(sink, starter);
        road.StartImport(kTopUrl);
        starter.FinishWith(0, c.Result);
        EXPECT_EQ(sink.Logs(), c.Logs);
        EXPECT_EQ(sink.Count("status:" + c.Status), 1u);
        EXPECT_EQ(starter.Transfers.size(), 1 + c.Started);
        EXPECT_EQ(road.Outcome().TopPageHttpError, c.HttpError);
        EXPECT_EQ(road.Outcome().TopPageFailed,
                  c.Status == kStatusError || c.Result.Outcome != O::toReceived);
    }
}

// A table page the server refused is never parsed, even when its error page
// carries table rows; the other pages' rows are kept.
TEST_F(ImportRoadTest, ATablePageAnsweredWithAnErrorStatusIsAFailedPage)
{
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FSink.Events.clear();
    const std::string rows = TablePage({"Error page row"});
    FStarter.FinishWith(1, Result(TTransferOutcome::toReceived, 500, rows));
    EXPECT_EQ(
        FSink.Events,
        (Strings{"clearprogress", "status:" + kStatusError, "log:" + kPageFailed + kUrl1 + " (HTTP 500)"}));
    FSink.Events.clear();
    FStarter.FinishWith(2, Result(TTransferOutcome::toReceived, 200, TablePage({"Kept"}), "x-mac-japanese"));
    EXPECT_EQ(FSink.Logs(), (Strings{kPageOk, kPageEncoding + "x-mac-japanese" + kUnread + kUrl2}));
    EXPECT_EQ(FSink.Count("add:1:" + kUrl2 + ":Kept"), 1u);
    EXPECT_EQ(FRoad->Outcome().PagesFailed, 1u);
    EXPECT_EQ(FRoad->Outcome().PagesHttpFailed, 1u);
    EXPECT_EQ(FRoad->Outcome().PageHttpError, 500);
    EXPECT_FALSE(FRoad->Outcome().Complete());
}

TEST_F(ImportRoadTest, FailedAndBrokenTablePages)
{
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FSink.Events.clear();
    FStarter.Finish(1, "", true, false, "No internet connection is available");
    EXPECT_EQ(FSink.Events,
              (Strings{"clearprogress", "status:" + kStatusError,
                       "log:" + kPageFailed + kUrl1 + " (No internet connection is available)"}));
    FSink.Events.clear();
    // A page cut short in a cell: its table cannot be read, and the log says so.
    std::string page = TablePage({"Kept", "Lost"});
    page = page.substr(0, page.find("Lost"));
    FStarter.Finish(2, page, false, true, "Transferred a partial file");
    EXPECT_EQ(
        FSink.Logs(),
        (Strings{kPageOk, kPageReadError + kUrl2 + " (Transferred a partial file)", kUnreadable + kUrl2}));
    EXPECT_EQ(FSink.Count("add:"), 1u);
    EXPECT_EQ(FRoad->Outcome().PagesFailed, 2u);
    EXPECT_EQ(FRoad->Outcome().PagesUnreadable, 1u);
    EXPECT_FALSE(FRoad->Outcome().Complete());
}

TEST_F(ImportRoadTest, ADroppedRowIsLoggedAfterTheHandOver)
{
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FSink.Events.clear();
    std::string text = TablePage({"Good"});
    text.insert(text.find("</table>"),
                "<tr><td>04/05</td>\r\n<td>P</td>\r\n<td>Bad</td>\r\n<td>A</td>\r\n<td>1,000</td></tr>\r\n");
    FStarter.Finish(1, text);
    const std::string expected = kRowDropped + kUrl1 + " \x95\x5C\x82\xCC" + "2" +  // 表の2
        "\x8D\x73\x96\xDA (\x83\x79\x81\x5B\x83\x57" + "8" +                        // 行目 (ページ8
        "\x8D\x73\x96\xDA) : '1,000' is not a valid integer value";                 // 行目) :
    EXPECT_EQ(FSink.Events,
              (Strings{"clearprogress", "status:" + kStatusOk, "log:" + kPageOk, "add:0:" + kUrl1 + ":Good",
                       "log:" + expected}));
    EXPECT_EQ(FRoad->Outcome().RowsDropped, 1u);
    EXPECT_EQ(
        TImportRoad::DroppedRowLogLine(kUrl1, TDroppedRow{2, 8, "'1,000' is not a valid integer value"}),
        expected);
}

TEST_F(ImportRoadTest, TheHandOverRunsUnderTheImportLock)
{
    bool heldDuringHandOver = false;
    FSink.OnAdd = [&](const TBookSaleList&, const TTablePageRef&) {
        heldDuringHandOver = !FreeForOtherThreads(FRoad->ImportLock());
    };
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FStarter.Finish(1, TablePage({"A"}));
    EXPECT_TRUE(heldDuringHandOver);
    EXPECT_TRUE(FreeForOtherThreads(FRoad->ImportLock()));
}

TEST_F(ImportRoadTest, AnErrorInTheTableStepIsReportedAndTheLockReleased)
{
    FSink.OnAdd = [&](const TBookSaleList&, const TTablePageRef& page) {
        if (page.LinkIndex == 0)
            throw std::runtime_error("List index out of bounds (7)");
    };
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FSink.Events.clear();
    FStarter.Finish(1, TablePage({"A"}));
    EXPECT_EQ(FSink.Events.back(), "error:List index out of bounds (7)");
    EXPECT_TRUE(FreeForOtherThreads(FRoad->ImportLock()));
    EXPECT_EQ(FRoad->Outcome().Errors, 1u);
    // The road goes on with the next page.
    FStarter.Finish(2, TablePage({"B"}));
    EXPECT_EQ(FSink.Count("add:1:"), 1u);
    EXPECT_EQ(FSink.Events.back(), "idle");
    EXPECT_FALSE(FRoad->Outcome().Complete());
}

TEST_F(ImportRoadTest, AnErrorInTheTopStepIsReported)
{
    FSink.OnLog = [&](const std::string& line) {
        if (line == kTopOk)
            throw std::runtime_error("log is gone");
    };
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    EXPECT_EQ(FStarter.Transfers.size(), 1u);
    EXPECT_EQ(FSink.Events.back(), "idle");
    EXPECT_EQ(FSink.Events.at(FSink.Events.size() - 2), "error:log is gone");
}

TEST_F(ImportRoadTest, ATransferThatCannotStartIsReportedAndCountedAsEnded)
{
    FStarter.FailNextStarts = 1;
    FRoad->StartImport(kTopUrl);
    EXPECT_EQ(FSink.Events, (Strings{"status:" + kLoading, "clearlog", "error:cannot start", "idle"}));
    EXPECT_EQ(FRoad->RunningTransfers(), 0u);

    // One table page that cannot start: the other still runs.
    FSink.Events.clear();
    FRoad->StartImport(kTopUrl);
    FStarter.FailNextStarts = 1;
    FStarter.Finish(0, TopPage());
    ASSERT_EQ(FStarter.Transfers.size(), 2u);
    EXPECT_EQ(FStarter.Transfers[1].Url, kUrl2);
    EXPECT_EQ(FSink.Count("error:cannot start"), 1u);
    EXPECT_EQ(FRoad->RunningTransfers(), 1u);
    FStarter.Finish(1, TablePage({"B"}));
    EXPECT_EQ(FSink.Events.back(), "idle");
}

TEST_F(ImportRoadTest, ProgressFromWorkerThreadsReachesTheSink)
{
    FRoad->StartImport(kTopUrl);
    std::thread worker([&] {
        FStarter.Transfers[0].Progress(0);
        FStarter.Transfers[0].Progress(1024);
        FStarter.Transfers[0].Progress(3000);
    });
    worker.join();
    EXPECT_EQ(FSink.Progress, (std::vector<std::int64_t>{0, 1024, 3000}));
}

TEST_F(ImportRoadTest, NothingArrivesAfterTheRoadIsDestroyed)
{
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FRoad.reset();
    FSink.Events.clear();
    std::thread worker([&] { FStarter.Transfers[1].Progress(100); });
    worker.join();
    FStarter.Finish(1, TablePage({"A"}));
    FStarter.Finish(2, "", true);
    EXPECT_TRUE(FSink.Events.empty());
    EXPECT_TRUE(FSink.Progress.empty());
}

TEST_F(ImportRoadTest, TheRoadMayBeDestroyedFromInsideASinkCall)
{
    FRoad->StartImport(kTopUrl);
    FSink.OnLog = [&](const std::string& line) {
        if (line == kListImport + kUrl1)
            FRoad.reset();
    };
    FStarter.Finish(0, TopPage());
    EXPECT_EQ(FRoad, nullptr);
    // The first link was logged; nothing was started after the road went.
    EXPECT_EQ(FStarter.Transfers.size(), 1u);
    EXPECT_EQ(FSink.Logs().back(), kListImport + kUrl1);
}

TEST_F(ImportRoadTest, APageCompletingInsideAnotherPagesHandOver)
{
    // A modal dialog in the window's hand-over spins the event loop, and the
    // other page's completion runs inside it.
    Strings outerTitlesAfter;
    FSink.OnAdd = [&](const TBookSaleList& list, const TTablePageRef& page) {
        if (page.LinkIndex != 0)
            return;
        FStarter.Finish(2, TablePage({"Inner1", "Inner2", "Inner3"}));
        for (std::int32_t i = 0; i < list.Count(); ++i)
            outerTitlesAfter.push_back(list.Items(i)->Title());
    };
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FStarter.Finish(1, TablePage({"Outer1", "Outer2"}));
    EXPECT_EQ(outerTitlesAfter, (Strings{"Outer1", "Outer2"}));
    EXPECT_EQ(FSink.Count("add:1:" + kUrl2 + ":Inner1,Inner2,Inner3"), 1u);
    EXPECT_EQ(FSink.Count("add:0:" + kUrl1 + ":Outer1,Outer2"), 1u);
    EXPECT_EQ(FSink.Events.back(), "idle");
    EXPECT_TRUE(FreeForOtherThreads(FRoad->ImportLock()));
}

TEST_F(ImportRoadTest, ASecondStartLeavesEarlierTransfersRunning)
{
    FRoad->StartImport(kTopUrl);
    FStarter.Finish(0, TopPage());
    FRoad->StartImport(kTopUrl);  // transfers 1 and 2 belong to the first import
    EXPECT_EQ(FSink.Events.back(), "clearlog");
    FSink.Events.clear();
    FStarter.Finish(1, TablePage({"Late"}));
    // Its rows still arrive, but it does not count for the new import.
    EXPECT_EQ(FSink.Count("add:0:" + kUrl1 + ":Late"), 1u);
    EXPECT_EQ(FRoad->Outcome().PagesDone, 0u);
    FStarter.Finish(2, "", true);
    EXPECT_EQ(FRoad->Outcome().PagesFailed, 0u);
    FStarter.Finish(3, TopPage());
    FStarter.Finish(4, TablePage({"A"}));
    FStarter.Finish(5, TablePage({"B"}));
    EXPECT_TRUE(FRoad->Outcome().Complete());
    EXPECT_EQ(FSink.Count("idle"), 1u);
}

}  // namespace
}  // namespace tembrook
