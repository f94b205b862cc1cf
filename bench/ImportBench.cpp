// The whole import through the real main window: Start pressed with the
// address of a loopback top page that links two table pages of 25,000 rows,
// both downloading at once, until the last row is in the list. And the
// memory the list takes per row, measured in a child process.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "BenchRegistry.h"
#include "BookDataInportOptionUnit.h"
#include "BookListModel.h"
#include "Cp932Codec.h"
#include "ImportRoad.h"
#include "PageGenerator.h"
#include "TembrookMainWindow.h"
#include "TestHttpServer.h"

namespace tembrook::bench {

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kImportPageRows = 25000;
constexpr int kMemoryRows = 100000;

// Runs the event loop until done() holds; false when timeoutMs passes first.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QTimer ticker;  // wakes the loop now and then, so the deadline is seen
    ticker.start(10);
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The loopback site: a top page of some news and the heading with its two
// links, and the two table pages, rows 0-24,999 and 25,000-49,999; in
// Shift_JIS, or in UTF-8 declared by the header as most sites now do.
struct TImportSite {
    test::TestHttpServer Server;
    std::size_t TableBytes = 0;

    explicit TImportSite(bool utf8)
    {
        const auto page = [utf8](std::string cp932) { return utf8 ? Cp932ToUtf8(cp932) : cp932; };
        const std::string type = utf8 ? "text/html; charset=utf-8" : "text/html";
        Server.ServeBody("/comic/index.html", page(MakeTopPage(16 * 1024, {"list1.html", "list2.html"})),
                         type);
        std::string first = page(MakeTablePage(kImportPageRows, 0));
        std::string second = page(MakeTablePage(kImportPageRows, kImportPageRows));
        TableBytes = first.size() + second.size();
        Server.ServeBody("/comic/list1.html", std::move(first), type);
        Server.ServeBody("/comic/list2.html", std::move(second), type);
    }
};

void BM_WholeImport(benchmark::State& state, bool utf8)
{
    // Each site is made the first time its own benchmark runs.
    static std::unique_ptr<TImportSite> sites[2];
    std::unique_ptr<TImportSite>& made = sites[utf8 ? 1 : 0];
    if (!made)
        made = std::make_unique<TImportSite>(utf8);
    TImportSite& site = *made;
    TTembrookMainForm& window = BenchWindow();
    TBookListModel& list = window.ImportView().BookList();
    const int expectedRows = 2 * kImportPageRows;
    const QString url = QString::fromStdString(site.Server.Url("/comic/index.html"));
    const auto finished = [&window] {
        const TImportRoad* road = window.ImportView().Road();
        return road != nullptr && road->Outcome().TopPageDone && road->RunningTransfers() == 0;
    };

    for (auto _ : state) {
        // The list of the previous round goes before the clock starts; the
        // sort state stays the program's initial one, arrival order.
        list.Clear();
        list.SetSortState(scDate, false);
        BenchWindowChild<QLineEdit>("SourceURLEdit").setText(url);
        DrainEvents();

        const auto start = TClock::now();
        BenchWindowChild<QPushButton>("StartInportButton").click();
        const bool done = WaitUntil(finished, 60000);
        DrainEvents();
        state.SetIterationTime(std::chrono::duration<double>(TClock::now() - start).count());
        if (!done) {
            state.SkipWithError("the import did not finish within a minute");
            return;
        }
    }
    const TImportRoad* road = window.ImportView().Road();
    if (road == nullptr || !road->Outcome().Complete() || road->Outcome().LinkCount != 2 ||
        list.Count() != expectedRows) {
        state.SkipWithError("the import did not bring every row of both pages into the list");
        return;
    }
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(expectedRows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = benchmark::Counter(static_cast<double>(site.TableBytes) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
    list.Clear();
}

// A field of /proc/self/status in kilobytes ("VmHWM", "VmRSS"); -1 if absent.
long StatusKilobytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) {
            std::istringstream value(line.substr(field.size() + 1));
            long kilobytes = -1;
            value >> kilobytes;
            return kilobytes;
        }
    }
    return -1;
}

// Starts this binary as a memory probe and reads back what it measured.
void BM_ListMemory(benchmark::State& state)
{
    long emptyPeak = -1, fullPeak = -1, rows = -1;
    for (auto _ : state) {
        QProcess probe;
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--memory-probe"), QString::number(kMemoryRows)});
        if (!probe.waitForFinished(120000) || probe.exitStatus() != QProcess::NormalExit ||
            probe.exitCode() != 0) {
            probe.kill();
            probe.waitForFinished(5000);
            state.SkipWithError("the memory probe failed");
            return;
        }
        const std::string output = probe.readAllStandardOutput().toStdString();
        if (std::sscanf(output.c_str(), "rows=%ld empty_peak_kb=%ld peak_kb=%ld", &rows, &emptyPeak,
                        &fullPeak) != 3 ||
            rows != kMemoryRows || emptyPeak <= 0 || fullPeak < emptyPeak) {
            state.SkipWithError("the memory probe's answer could not be read");
            return;
        }
    }
    state.counters["bytes_per_row"] =
        benchmark::Counter(static_cast<double>(fullPeak - emptyPeak) * 1024.0 / static_cast<double>(rows));
    state.counters["empty_peak_MB"] = benchmark::Counter(static_cast<double>(emptyPeak) / 1024.0);
    state.counters["peak_MB"] = benchmark::Counter(static_cast<double>(fullPeak) / 1024.0);
}

}  // namespace

int RunMemoryProbe(int rows)
{
    TTembrookMainForm& window = BenchWindow();
    TBookListModel& list = window.ImportView().BookList();
    // Let the empty program settle (first paint, fonts) before its peak is read.
    WaitUntil([] { return false; }, 200);
    const long emptyPeak = StatusKilobytes("VmHWM");

    // The rows arrive as the road hands them over: a table page at a time,
    // parsed by one import option object, which keeps only the last page's
    // records.
    list.Clear();
    list.SetSortState(scDate, false);
    TBookDataInportOption option;
    for (int first = 0; first < rows; first += kSmallPageRows) {
        option.ParseTablePage(MakeTablePage(std::min(kSmallPageRows, rows - first), first), true);
        list.AddBookSaleList(option.BookSaleList);
        DrainEvents();
    }
    WaitUntil([] { return false; }, 200);
    const long peak = StatusKilobytes("VmHWM");
    const int count = list.Count();
    std::printf("rows=%d empty_peak_kb=%ld peak_kb=%ld\n", count, emptyPeak, peak);
    std::fflush(stdout);
    ReleaseBenchWindow();
    return count == rows ? 0 : 1;
}

void RegisterImportBenchmarks()
{
    benchmark::RegisterBenchmark(kWholeImport, BM_WholeImport, false)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kWholeImportUtf8, BM_WholeImport, true)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kListMemory, BM_ListMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
}

}  // namespace tembrook::bench
