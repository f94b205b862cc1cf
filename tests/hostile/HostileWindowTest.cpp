// The real window, offscreen, under a user who keeps pressing Start while the
// pages are still arriving, and fed a hostile site before the real one: no
// crash, rows arrive a whole page at a time, closing stops every transfer
// promptly and nothing reaches the closed window afterwards, and
// after a hostile site the window imports the fixture site as usual. The
// suite's AddressSanitizer run and a ThreadSanitizer build check the threads.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "BookListModel.h"
#include "Clock.h"
#include "Cp932Codec.h"
#include "HTTPTransferThreadUnit.h"
#include "HostileTestSupport.h"
#include "LocaleSettings.h"
#include "MessageBoxes.h"
#include "TembrookMainWindow.h"
#include "TestHttpServer.h"
#include "Thread.h"
#include "WindowParts.h"

namespace tembrook::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRowsPerPage = 20;

std::string PageOfRows(const std::string& name)
{
    std::vector<std::string> rows;
    for (int i = 0; i < kRowsPerPage; ++i)
        rows.push_back(Row("03/" + std::to_string(10 + i), name + std::to_string(i)));
    return TablePage(rows);
}

// Lines of an expected output file (CP932, CR LF).
std::vector<std::string> ExpectedLines(const std::string& name)
{
    const std::string bytes = ReadFixture("expected/" + name);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", start);
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class HostileWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("no_proxy", "127.0.0.1,localhost");
        InitializeTransfers();
        FServer.ServeBody("/index.html", TopPage("a.html", "b.html"));
        FWindow.show();
        ASSERT_NE(FWindow.ImportView().Road(), nullptr);
    }
    void TearDown() override { StopAllTransfers(); }

    void PressStart(const std::string& url)
    {
        Child<QLineEdit>(FWindow, "SourceURLEdit")->setText(QString::fromStdString(url));
        Child<QPushButton>(FWindow, "StartInportButton")->click();
    }

    bool WaitForImport(std::chrono::milliseconds timeout = kGuard)
    {
        return WaitUntil(
            [this] {
                const TImportRoad* road = FWindow.ImportView().Road();
                return road != nullptr && road->Outcome().TopPageDone && road->RunningTransfers() == 0;
            },
            timeout);
    }

    platform::TScopedConnectionState FOnline{std::make_shared<OnlineState>()};
    platform::TScopedToday FToday{{2026, 3, 20}};
    platform::TScopedLocaleSeparators FSeparators{{"/", ","}};
    std::vector<TShownMessage> FMessages;
    TScopedMessageHook FMessageHook{[this](const TShownMessage& message) { FMessages.push_back(message); }};
    TestHttpServer FServer;
    TTembrookMainForm FWindow;
};

TEST_F(HostileWindow, FiftyStartsWhilePagesArriveThenCloseStopsEverythingPromptly)
{
    // Each table page takes about a minute to trickle in, so only closing
    // can end the transfers within the bound below.
    FServer.ServeInPieces("/a.html", PageOfRows("A"), 100, 2s);
    FServer.ServeInPieces("/b.html", PageOfRows("B"), 100, 2s);
    for (int i = 0; i < 50; ++i) {
        PressStart(FServer.Url("/index.html"));
        PumpFor(5ms);
    }
    ASSERT_TRUE(WaitUntil([this] { return FServer.RequestCount("/a.html") >= 10; }, kGuard));
    ASSERT_GE(platform::TThread::RunningCount(), 10u)
        << "pages must still be arriving when the window closes";

    const auto closing = std::chrono::steady_clock::now();
    EXPECT_TRUE(FWindow.close());
    EXPECT_TRUE(WaitUntil([] { return platform::TThread::RunningCount() == 0; }, kGuard));
    // Far above what stopping needs, far below what the pages would take.
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 20s);
    EXPECT_EQ(FWindow.ImportView().Road(), nullptr);

    // Nothing reaches the closed window any more.
    const int rows = FWindow.ImportView().BookList().Count();
    const QString log = Child<QPlainTextEdit>(FWindow, "Memo1")->toPlainText();
    PumpFor(300ms);
    EXPECT_EQ(FWindow.ImportView().BookList().Count(), rows);
    EXPECT_EQ(Child<QPlainTextEdit>(FWindow, "Memo1")->toPlainText(), log);
    EXPECT_EQ(rows % kRowsPerPage, 0) << "rows arrive a whole page at a time";
    EXPECT_TRUE(FMessages.empty());
}

TEST_F(HostileWindow, FiftyStartsInARowAllRunAndTheRowsComeInWholePages)
{
    FServer.ServeInPieces("/a.html", PageOfRows("A"), 200, 1ms);
    FServer.ServeInPieces("/b.html", PageOfRows("B"), 200, 1ms);
    for (int i = 0; i < 50; ++i) {
        PressStart(FServer.Url("/index.html"));
        PumpFor(2ms);
    }
    ASSERT_TRUE(WaitForImport());
    EXPECT_EQ(FServer.RequestCount("/index.html"), 50u);
    EXPECT_EQ(FServer.RequestCount("/a.html"), 50u);
    EXPECT_EQ(FServer.RequestCount("/b.html"), 50u);
    // Every Start empties the list; pages of earlier imports that arrive
    // after it still add their rows. The last import's own two pages always
    // arrive after its Start.
    const int rows = FWindow.ImportView().BookList().Count();
    EXPECT_EQ(rows % kRowsPerPage, 0);
    EXPECT_GE(rows, 2 * kRowsPerPage);
    EXPECT_LE(rows, 100 * kRowsPerPage);
    EXPECT_TRUE(FMessages.empty());
    EXPECT_EQ(platform::TThread::RunningCount(), 0u);
}

TEST_F(HostileWindow, AfterAHostileSiteTheFixtureSiteImportsAsUsual)
{
    // One table of 100,000 rows with no blank line between them (one record),
    // and one whose rows hold bytes that are not CP932, the last row's price
    // ending in a lone lead byte (that row is dropped).
    std::string huge = "<table>\r\n";
    for (int i = 0; i < 100000; ++i)
        huge += Row("03/05", "Huge" + std::to_string(i));
    huge += "</table>\r\n";
    const std::string bad = "<table>\r\n" +
        Row("03/06",
            "Bad\x80"
            "Bytes") +
        "\r\n" + Row("03/07", "Lost\xFD\xFETrail") + "\r\n" +
        "<tr><td>03/08</td>\r\n<td>P</td>\r\n<td>T</td>\r\n<td>A</td>\r\n<td>580</td>\x82";
    FServer.ServeBody("/hostile/index.html", TopPage("huge.html", "bad.html"));
    FServer.ServeBody("/hostile/huge.html", huge);
    FServer.ServeBody("/hostile/bad.html", bad);

    PressStart(FServer.Url("/hostile/index.html"));
    ASSERT_TRUE(WaitForImport());
    TBookListModel& list = FWindow.ImportView().BookList();
    ASSERT_EQ(list.Count(), 3);
    std::vector<QString> titles;
    for (int row = 0; row < list.Count(); ++row)
        titles.push_back(list.Text(row, scTitle));
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles,
              (std::vector<QString>{QStringLiteral("Bad\uFFFDBytes"), QStringLiteral("Huge0"),
                                    QStringLiteral("Lost\uFFFD\uFFFDTrail")}));
    const QString log = Child<QPlainTextEdit>(FWindow, "Memo1")->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("‥‥行を読み飛ばしました : ") +
                             QString::fromStdString(FServer.Url("/hostile/bad.html")) +
                             QStringLiteral(" 表の3行目")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("'580\uFFFD' is not a valid integer value")))
        << log.toStdString();

    FServer.ServeFiles("/comic/", std::string(TEMBROOK_FIXTURE_DIR) + "/site");
    PressStart(FServer.Url("/comic/index.html"));
    ASSERT_TRUE(WaitForImport());
    std::vector<std::string> lines;
    for (int row = 0; row < list.Count(); ++row)
        lines.push_back(list.Record(row)->TextLine());
    std::vector<std::string> expected = ExpectedLines("site_date.txt");
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(FMessages.empty());
}

}  // namespace
}  // namespace tembrook::test
