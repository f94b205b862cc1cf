// The page parsers and the text helpers on generated pages, against the floor
// of only splitting the same page into lines.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>

#include "BenchRegistry.h"
#include "BookDataInportOptionUnit.h"
#include "PageGenerator.h"
#include "SjisString.h"
#include "TextHelpers.h"

namespace tembrook::bench {

namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;

// Generated once per size, shared by the parse and the floor benchmarks.
const std::string& TablePage(int rows)
{
    static std::map<int, std::string> pages;
    auto found = pages.find(rows);
    if (found == pages.end())
        found = pages.emplace(rows, MakeTablePage(rows)).first;
    return found->second;
}

void SetThroughput(benchmark::State& state, std::size_t bytes, std::int64_t rows)
{
    state.counters["MB"] =
        benchmark::Counter(static_cast<double>(bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["page_MB"] = benchmark::Counter(static_cast<double>(bytes) / 1e6);
    if (rows > 0)
        state.counters["rows"] =
            benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
}

// ParseTablePage into an empty list: the records of the previous call are
// released before the clock runs again.
void BM_ParseTablePage(benchmark::State& state, int rows)
{
    const std::string& page = TablePage(rows);
    TBookDataInportOption option;
    bool readable = true;
    for (auto _ : state) {
        state.PauseTiming();
        option.BookSaleList.DeleteAll();
        state.ResumeTiming();
        readable = option.ParseTablePage(page, true) && readable;
        benchmark::DoNotOptimize(option.BookSaleList.Count());
    }
    if (!readable || option.BookSaleList.Count() != rows || !option.DroppedRows().empty()) {
        state.SkipWithError("the generated page did not parse into one record a row");
        return;
    }
    SetThroughput(state, page.size(), rows);
}

// ParseTablePage as the road calls it for every table page: the call first
// releases the records of the page before, then parses.
void BM_ParseTablePageReplacing(benchmark::State& state, int rows)
{
    const std::string& page = TablePage(rows);
    TBookDataInportOption option;
    option.ParseTablePage(page, true);
    bool readable = true;
    for (auto _ : state) {
        readable = option.ParseTablePage(page, true) && readable;
        benchmark::DoNotOptimize(option.BookSaleList.Count());
    }
    if (!readable || option.BookSaleList.Count() != rows || !option.DroppedRows().empty()) {
        state.SkipWithError("the generated page did not parse into one record a row");
        return;
    }
    SetThroughput(state, page.size(), rows);
}

// A page whose every second row lacks a cell: half the rows are dropped,
// which must cost no more than reading them.
void BM_ParseHalfDropped(benchmark::State& state, int rows)
{
    const std::string page = MakeTablePage(rows, 0, 2);
    TBookDataInportOption option;
    for (auto _ : state) {
        option.ParseTablePage(page, true);
        benchmark::DoNotOptimize(option.BookSaleList.Count());
    }
    if (option.BookSaleList.Count() != rows / 2 ||
        option.DroppedRows().size() != static_cast<std::size_t>(rows / 2)) {
        state.SkipWithError("the page with bad rows did not drop every second row");
        return;
    }
    SetThroughput(state, page.size(), rows);
}

// The floor: the same page only split into a list of lines.
void BM_SplitLinesFloor(benchmark::State& state, int rows)
{
    const std::string& page = TablePage(rows);
    std::size_t lines = 0;
    for (auto _ : state) {
        const std::vector<std::string> split = SplitLines(page);
        lines = split.size();
        benchmark::DoNotOptimize(split.data());
    }
    if (lines < static_cast<std::size_t>(rows) * 6) {
        state.SkipWithError("the generated page has fewer lines than expected");
        return;
    }
    SetThroughput(state, page.size(), rows);
}

void BM_ParseTopPage(benchmark::State& state)
{
    const std::string page = MakeTopPage(kMegabyte, {"list1.html", "list2.html"});
    TBookDataInportOption option;
    option.SourceURL = "http://127.0.0.1/comic/index.html";
    bool found = true;
    for (auto _ : state) {
        found = option.ParseTopPage(page) && found;
        benchmark::DoNotOptimize(option.TablePageURLs.data());
    }
    if (!found || option.TablePageURLs.size() != 2 ||
        option.TablePageURLs[1] != "http://127.0.0.1/comic/list2.html") {
        state.SkipWithError("the heading near the end of the top page was not found");
        return;
    }
    SetThroughput(state, page.size(), 0);
}

void BM_RemoveHTMLTags(benchmark::State& state)
{
    const std::string cell = MakeLargeCell(kMegabyte);
    std::size_t kept = 0;
    for (auto _ : state) {
        const std::string text = RemoveHTMLTags(cell);
        kept = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    if (kept == 0 || kept >= cell.size()) {
        state.SkipWithError("the large cell lost all or none of its tags");
        return;
    }
    SetThroughput(state, cell.size(), 0);
}

void BM_FullToHalfWidth(benchmark::State& state)
{
    const std::string cell = MakeLargeCell(kMegabyte);
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string text = FullToHalfWidth(cell);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    if (size >= cell.size()) {
        state.SkipWithError("no full-width character of the large cell was replaced");
        return;
    }
    SetThroughput(state, cell.size(), 0);
}

}  // namespace

void RegisterParseBenchmarks()
{
    for (const int rows : {1000, 5000, 10000, 50000}) {
        const std::string size = std::to_string(rows);
        benchmark::RegisterBenchmark((kParseTablePage + size).c_str(), BM_ParseTablePage, rows)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((kSplitLinesFloor + size).c_str(), BM_SplitLinesFloor, rows)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark((kParseReplacing + "50000").c_str(), BM_ParseTablePageReplacing, 50000)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    for (const int rows : {5000, 50000}) {
        benchmark::RegisterBenchmark((kParseHalfBad + std::to_string(rows)).c_str(), BM_ParseHalfDropped,
                                     rows)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark(kParseTopPage, BM_ParseTopPage)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kRemoveHTMLTags, BM_RemoveHTMLTags)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kFullToHalfWidth, BM_FullToHalfWidth)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

}  // namespace tembrook::bench
