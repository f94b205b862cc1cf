// The import road on the real transfer starter, against the fixture site on
// a loopback server: what the window receives, page by page.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Clock.h"
#include "HTTPTransferThreadUnit.h"
#include "ImportRoad.h"
#include "ImportTransferStarter.h"
#include "LocaleSettings.h"
#include "RoadTexts.h"
#include "TestHttpServer.h"

namespace tembrook {
namespace {

const std::string kTopOk(roadtext::kLogTopPageReceived);
const std::string kTopReadError(roadtext::kLogTopPageReadError);
const std::string kListImport(roadtext::kLogListImport);
const std::string kPageOk(roadtext::kLogTablePageReceived);

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

const std::string kData = TEMBROOK_FIXTURE_DIR;

// The window's side of the road, reduced to what it is given.
class CollectingSink : public TImportSink {
public:
    void ShowStatus(const std::string& text) override { Status = text; }
    void AppendLog(const std::string& line) override { Log.push_back(line); }
    void ClearLog() override { Log.clear(); }
    void ShowProgress(std::int64_t bytes) override
    {
        MaxProgress.store(std::max<std::int64_t>(MaxProgress, bytes));
    }
    void ClearProgress() override {}
    void AddBookSaleList(const TBookSaleList& list, const TTablePageRef& page) override
    {
        std::string& lines = Pages[page.LinkIndex];
        for (std::int32_t i = 0; i < list.Count(); ++i)
            lines += static_cast<const THtmlBookSaleData*>(list.Items(i))->TextLine() + "\r\n";
        Arrival.push_back(page.LinkIndex);
        if (OnPage)
            OnPage(page.LinkIndex);
    }
    void ReportError(const std::string& message) override { Errors.push_back(message); }
    void ImportIdle() override { Loop.quit(); }

    std::string Status;
    std::vector<std::string> Log;
    std::vector<std::string> Errors;
    std::map<std::size_t, std::string> Pages;
    std::vector<std::size_t> Arrival;
    std::function<void(std::size_t)> OnPage;  // after a page's rows were added
    std::atomic<std::int64_t> MaxProgress{0};
    QEventLoop Loop;
};

class ImportRoadEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeTransfers();
        FServer.ServeFiles("/comic/", kData + "/site");
    }

    void RunImport(TImportRoad& road, const std::string& url)
    {
        road.StartImport(url);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &FSink.Loop, &QEventLoop::quit);
        guard.start(300000);  // against a hang only
        if (road.RunningTransfers() > 0)
            FSink.Loop.exec();
        ASSERT_EQ(road.RunningTransfers(), 0u) << "the import did not end";
    }

    platform::TScopedToday FToday{platform::TLocalDate{2026, 3, 20}};
    platform::TScopedLocaleSeparators FSeparators{platform::TLocaleSeparators{"/", ","}};
    test::TestHttpServer FServer;
    CollectingSink FSink;
    TImportTransferStarter FStarter;
};

TEST_F(ImportRoadEndToEnd, TheFixtureSite)
{
    TImportRoad road(FSink, FStarter);
    RunImport(road, FServer.Url("/comic/index.html"));

    // Both pages together, in link order, are the expected list.
    ASSERT_EQ(FSink.Pages.size(), 2u);
    EXPECT_EQ(FSink.Pages[0] + FSink.Pages[1], ReadFile(kData + "/expected/site_date.txt"));
    EXPECT_TRUE(FSink.Errors.empty());

    ASSERT_GE(FSink.Log.size(), 5u);
    EXPECT_EQ(FSink.Log[0], kTopOk);
    EXPECT_EQ(FSink.Log[1], kListImport + FServer.Url("/comic/table1.html"));
    EXPECT_EQ(FSink.Log[2], kListImport + FServer.Url("/comic/table2.html"));
    EXPECT_EQ(std::count(FSink.Log.begin(), FSink.Log.end(), kPageOk), 2);
    // One line per bad row of the site, naming its page, row and line.
    std::istringstream dropped(ReadFile(kData + "/expected/site_dropped.tsv"));
    std::string entry;
    int rows = 0;
    while (std::getline(dropped, entry)) {
        std::istringstream fields(entry);
        std::string page, row, line, message;
        std::getline(fields, page, '\t');
        std::getline(fields, row, '\t');
        std::getline(fields, line, '\t');
        std::getline(fields, message);
        const std::string expected = TImportRoad::DroppedRowLogLine(
            FServer.Url("/comic/" + page), TDroppedRow{std::stoi(row), std::stoi(line), message});
        EXPECT_EQ(std::count(FSink.Log.begin(), FSink.Log.end(), expected), 1) << entry;
        ++rows;
    }
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(road.Outcome().RowsDropped, 2u);
    EXPECT_FALSE(road.Outcome().Complete());
    EXPECT_EQ(FServer.RequestCount("/comic/table3.html"), 0u);
    EXPECT_GT(FSink.MaxProgress.load(), 0);
}

TEST_F(ImportRoadEndToEnd, AllPagesAreStartedBeforeAnyEnds)
{
    // The first page is answered only once the second has arrived, so both ran at once.
    FServer.ServeGated("/comic/table1.html", ReadFile(kData + "/site/table1.html"));
    FSink.OnPage = [this](std::size_t linkIndex) {
        if (linkIndex == 1)
            FServer.OpenGates();
    };
    TImportRoad road(FSink, FStarter);
    RunImport(road, FServer.Url("/comic/index.html"));
    EXPECT_EQ(FSink.Arrival, (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ(FSink.Pages[0] + FSink.Pages[1], ReadFile(kData + "/expected/site_date.txt"));
}

TEST_F(ImportRoadEndToEnd, ADeadServerGivesTheReadErrorLine)
{
    std::string url;
    {
        test::TestHttpServer gone;
        url = gone.Url("/comic/index.html");
    }
    TImportRoad road(FSink, FStarter);
    RunImport(road, url);
    ASSERT_EQ(FSink.Log.size(), 2u);
    EXPECT_EQ(FSink.Log[0], kTopOk);
    EXPECT_EQ(FSink.Log[1].rfind(kTopReadError + url, 0), 0u) << FSink.Log[1];
    EXPECT_TRUE(road.Outcome().TopPageFailed);
    EXPECT_FALSE(road.Outcome().Complete());
}

}  // namespace
}  // namespace tembrook
