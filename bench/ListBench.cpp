// The release list of the real main window (offscreen): rows handed over a
// table page at a time under the date and the title sort, header clicks
// that re-sort 100,000 rows, and ticking them from a saved list.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BenchRegistry.h"
#include "BookDataInportOptionUnit.h"
#include "BookListModel.h"
#include "ListFileExport.h"
#include "PageGenerator.h"
#include "SavedListFile.h"
#include "TembrookMainWindow.h"

namespace tembrook::bench {

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kMaxRows = 100000;

// 100,000 parsed rows, kept for all list benchmarks, parsed from pages of
// kSmallPageRows rows numbered on from page to page.
const std::vector<std::unique_ptr<TBookDataInportOption>>& ParsedPages()
{
    static std::vector<std::unique_ptr<TBookDataInportOption>> pages;
    if (pages.empty()) {
        for (int first = 0; first < kMaxRows; first += kSmallPageRows) {
            auto option = std::make_unique<TBookDataInportOption>();
            option->ParseTablePage(MakeTablePage(kSmallPageRows, first), true);
            pages.push_back(std::move(option));
        }
    }
    return pages;
}

bool AllRowsParsed()
{
    for (const auto& page : ParsedPages())
        if (page->BookSaleList.Count() != kSmallPageRows || !page->DroppedRows().empty())
            return false;
    return true;
}

// The first `rows` parsed rows as hand-overs of pageRows records each. The
// lists only point at the records (TCustomDataList's destructor leaves the
// objects alone); the parsed pages own them.
class THandOvers {
public:
    THandOvers(int rows, int pageRows)
    {
        const auto& pages = ParsedPages();
        for (int row = 0; row < rows; ++row) {
            if (row % pageRows == 0)
                FLists.push_back(std::make_unique<TBookSaleList>());
            const auto& page = pages[static_cast<std::size_t>(row / kSmallPageRows)];
            FLists.back()->Add(page->BookSaleList.Items(row % kSmallPageRows));
        }
    }
    ~THandOvers()
    {
        for (auto& list : FLists)
            list->Clear();
    }
    THandOvers(const THandOvers&) = delete;
    THandOvers& operator=(const THandOvers&) = delete;

    const std::vector<std::unique_ptr<TBookSaleList>>& Lists() const { return FLists; }

private:
    std::vector<std::unique_ptr<TBookSaleList>> FLists;
};

// Empties the list as Start does and sets the sort state that the next rows
// are placed by.
void ResetList(TBookListModel& list, int sortColumn)
{
    list.Clear();
    list.SetSortState(sortColumn, false);
    DrainEvents();
}

// Hands over every page, letting the window process its events after each
// as it does between two completions. Returns the seconds spent.
double AddPages(TBookListModel& list, const THandOvers& handOvers)
{
    const auto start = TClock::now();
    for (const auto& page : handOvers.Lists()) {
        list.AddBookSaleList(*page);
        DrainEvents();
    }
    return std::chrono::duration<double>(TClock::now() - start).count();
}

// True when the rows stand in the order of the list's own comparison.
bool InOrder(const TBookListModel& list)
{
    for (int i = 1; i < list.Count(); ++i)
        if (list.CompareRows(i - 1, i) > 0)
            return false;
    return true;
}

void BM_ListAdd(benchmark::State& state, int rows, int sortColumn, int pageRows)
{
    TBookListModel& list = BenchWindow().ImportView().BookList();
    if (!AllRowsParsed()) {
        state.SkipWithError("the generated pages did not parse into one record a row");
        return;
    }
    const THandOvers handOvers(rows, pageRows);
    for (auto _ : state) {
        ResetList(list, sortColumn);
        state.SetIterationTime(AddPages(list, handOvers));
    }
    if (list.Count() != rows || !InOrder(list)) {
        state.SkipWithError("the list does not hold every row in sort order");
        return;
    }
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    ResetList(list, 1);
}

// Clicks a column header of the list view with the mouse, as the user does.
void ClickHeader(QTreeView& view, int column)
{
    QHeaderView* header = view.header();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

// One click on a column header while the 100,000 rows stand in arrival order
// (for the release-date column: the second click, which reverses them).
void BM_HeaderClick(benchmark::State& state, int column)
{
    TTembrookMainForm& window = BenchWindow();
    TBookListModel& list = window.ImportView().BookList();
    ResetList(list, 1);
    AddPages(list, THandOvers(kMaxRows, kMaxRows / kListPages));
    for (auto _ : state) {
        // Back to arrival order, ascending (not timed).
        list.SetSortState(0, false);
        list.ColumnClick(1);
        DrainEvents();

        const auto start = TClock::now();
        ClickHeader(BenchWindowChild<QTreeView>("InportBookListView"), column);
        DrainEvents();
        state.SetIterationTime(std::chrono::duration<double>(TClock::now() - start).count());
    }
    const bool expectDescending = column == 1;
    if (list.SortColumn() != column || list.SortDescending() != expectDescending || !InOrder(list)) {
        state.SkipWithError("the header click did not re-sort the list by its column");
        return;
    }
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(list.Count()), benchmark::Counter::kIsIterationInvariantRate);
    ResetList(list, 1);
}

// "前回の保存リストからチェック…" on 100,000 rows: a saved list of the same
// rows with every tenth ticked is indexed and the list ticked from it (the
// file's reading left out).
void BM_TickFromSavedList(benchmark::State& state)
{
    TBookListModel& list = BenchWindow().ImportView().BookList();
    ResetList(list, 1);
    AddPages(list, THandOvers(kMaxRows, kMaxRows / kListPages));
    for (int row = 0; row < list.Count(); row += 10)
        list.SetChecked(row, true);
    const std::string saved = BuildListFileText(list);
    int matched = 0;
    for (auto _ : state) {
        list.SetAllChecked(false);
        DrainEvents();
        const auto start = TClock::now();
        const TSavedListTicks ticks(saved);
        matched =
            list.CheckMatching([&ticks](const THtmlBookSaleData& record) { return ticks.Matches(record); });
        DrainEvents();
        state.SetIterationTime(std::chrono::duration<double>(TClock::now() - start).count());
    }
    if (matched < kMaxRows / 10 ||
        BuildListFileText(list).find(saved.substr(0, saved.find("\r\n\r\n"))) != 0) {
        state.SkipWithError("the rows ticked in the saved list were not all ticked again");
        return;
    }
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(list.Count()), benchmark::Counter::kIsIterationInvariantRate);
    ResetList(list, 1);
}

}  // namespace

void RegisterListBenchmarks()
{
    for (const int rows : {1000, 10000, 100000}) {
        const std::string size = std::to_string(rows);
        benchmark::RegisterBenchmark((kListAddDateSort + size).c_str(), BM_ListAdd, rows,
                                     static_cast<int>(scDate), rows / kListPages)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((kListAddTitleSort + size).c_str(), BM_ListAdd, rows,
                                     static_cast<int>(scTitle), rows / kListPages)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark(kListAddSmallPages, BM_ListAdd, kMaxRows, static_cast<int>(scTitle),
                                 kSmallPageRows)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    const struct {
        const char* Word;
        int Column;
    } clicks[] = {{"title", scTitle},
                  {"author", scAuthor},
                  {"price", scPrice},
                  {"publisher", scPublisher},
                  {"date_again", scDate}};
    for (const auto& click : clicks) {
        benchmark::RegisterBenchmark((kHeaderClick + click.Word + "/100000").c_str(), BM_HeaderClick,
                                     click.Column)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark(kTickFromSavedList, BM_TickFromSavedList)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

}  // namespace tembrook::bench
