#include "BenchSummary.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

#include "BenchRegistry.h"

namespace tembrook::bench {

namespace {

double Milliseconds(const benchmark::BenchmarkReporter::Run& run)
{
    return run.GetAdjustedRealTime() * 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

TSummaryReporter::TSummaryReporter() : benchmark::ConsoleReporter(OO_Tabular) {}

void TSummaryReporter::ReportRuns(const std::vector<Run>& reports)
{
    // Repeated benchmarks: only the median goes into the table and the
    // summary (the repetitions arrive one call each, the aggregates after
    // them); a single run stands for itself.
    std::vector<Run> shown;
    for (const Run& run : reports) {
        const std::string& name = run.run_name.function_name;
        if (run.error_occurred) {
            FErrors.push_back(name + ": " + run.error_message);
            shown.push_back(run);
            continue;
        }
        const bool repeated = run.repetitions > 1;
        if (run.run_type == Run::RT_Iteration) {
            const auto best = FBest.find(name);
            if (best == FBest.end() || Milliseconds(run) < best->second)
                FBest[name] = Milliseconds(run);
        }
        const bool isMedian = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (repeated ? !isMedian : run.run_type != Run::RT_Iteration)
            continue;
        TBenchResult result;
        result.Milliseconds = Milliseconds(run);
        result.BestMilliseconds = FBest.count(name) ? FBest[name] : result.Milliseconds;
        for (const auto& [counter, value] : run.counters)
            result.Counters[counter] = value.value;
        FResults[name] = std::move(result);
        FFromMedian[name] = repeated;
        shown.push_back(run);
    }
    if (!shown.empty())
        benchmark::ConsoleReporter::ReportRuns(shown);
}

const TBenchResult* TSummaryReporter::Find(const std::string& name) const
{
    const auto found = FResults.find(name);
    return found == FResults.end() ? nullptr : &found->second;
}

int TSummaryReporter::PrintSummary(std::ostream& out) const
{
    // A figure: its value from the fastest repetitions and from the medians.
    struct TFigure {
        double Best = 0;
        double Median = 0;
    };
    using TMeasure = std::function<std::optional<TFigure>()>;
    struct TTarget {
        std::string What;
        TMeasure Measure;
        std::string Unit;
        std::string Limit;
        std::function<bool(double)> Holds;
    };
    const auto ms = [this](const std::string& name) -> std::optional<TFigure> {
        const TBenchResult* result = Find(name);
        if (result == nullptr)
            return std::nullopt;
        return TFigure{result->BestMilliseconds, result->Milliseconds};
    };
    const auto ratio = [ms](const std::string& a, const std::string& b) -> std::optional<TFigure> {
        const auto x = ms(a), y = ms(b);
        if (!x || !y || y->Best <= 0 || y->Median <= 0)
            return std::nullopt;
        return TFigure{x->Best / y->Best, x->Median / y->Median};
    };
    const auto slowestClick = [ms]() -> std::optional<TFigure> {
        std::optional<TFigure> slowest;
        for (const char* column : {"title", "author", "price", "publisher", "date_again"}) {
            const auto time = ms(kHeaderClick + column + "/100000");
            if (!time)
                continue;
            if (!slowest)
                slowest = time;
            slowest->Best = std::max(slowest->Best, time->Best);
            slowest->Median = std::max(slowest->Median, time->Median);
        }
        return slowest;
    };
    const auto bytesPerRow = [this]() -> std::optional<TFigure> {
        const TBenchResult* result = Find(kListMemory);
        if (result == nullptr)
            return std::nullopt;
        const auto found = result->Counters.find("bytes_per_row");
        if (found == result->Counters.end())
            return std::nullopt;
        return TFigure{found->second, found->second};
    };

    const std::vector<TTarget> targets = {
        {"ParseTablePage, 50,000 rows, into an empty list", [ms] { return ms(kParseTablePage + "50000"); },
         "ms", "<= 50", [](double v) { return v <= 50; }},
        {"  the same, releasing the previous page's records", [ms] { return ms(kParseReplacing + "50000"); },
         "ms", "<= 50", [](double v) { return v <= 50; }},
        {"  parse / line-split floor, 50,000 rows",
         [ratio] { return ratio(kParseTablePage + "50000", kSplitLinesFloor + "50000"); }, "x", "<= 15",
         [](double v) { return v <= 15; }},
        {"  parse 50,000 / 5,000 rows",
         [ratio] { return ratio(kParseTablePage + "50000", kParseTablePage + "5000"); }, "x", "< 12",
         [](double v) { return v < 12; }},
        {"  half the rows dropped, 50,000 / 5,000 rows",
         [ratio] { return ratio(kParseHalfBad + "50000", kParseHalfBad + "5000"); }, "x", "< 12",
         [](double v) { return v < 12; }},
        {"List, 100,000 rows in, title sort", [ms] { return ms(kListAddTitleSort + "100000"); }, "ms",
         "< 1000", [](double v) { return v < 1000; }},
        {"  100k / 10k rows, title sort",
         [ratio] { return ratio(kListAddTitleSort + "100000", kListAddTitleSort + "10000"); }, "x", "< 15",
         [](double v) { return v < 15; }},
        {"  100k / 10k rows, date sort",
         [ratio] { return ratio(kListAddDateSort + "100000", kListAddDateSort + "10000"); }, "x", "< 15",
         [](double v) { return v < 15; }},
        {"Header click, 100,000 rows (slowest column)", slowestClick, "ms", "< 200",
         [](double v) { return v < 200; }},
        {"Whole import, 50,000 rows from loopback", [ms] { return ms(kWholeImport); }, "ms", "< 2000",
         [](double v) { return v < 2000; }},
        {"  the same site in UTF-8 / in Shift_JIS", [ratio] { return ratio(kWholeImportUtf8, kWholeImport); },
         "x", "<= 1.5", [](double v) { return v <= 1.5; }},
        {"List memory, 100,000 rows", bytesPerRow, "B/row", "<= 2048", [](double v) { return v <= 2048; }},
    };

    int missed = 0;
    int measured = 0;
    const bool anyMedian =
        std::any_of(FFromMedian.begin(), FFromMedian.end(), [](const auto& e) { return e.second; });
    out << "\nTargets"
        << (anyMedian ? " (judged on the fastest repetition; the median beside it)" : " (single runs)")
        << "\n";
    char line[200];
    std::snprintf(line, sizeof line, "  %-50s %10s %10s %-6s %-9s %s\n", "figure", "best", "median", "",
                  "target", "");
    out << line;
    for (const TTarget& target : targets) {
        const std::optional<TFigure> value = target.Measure();
        std::string best = "not run";
        std::string median;
        std::string verdict;
        if (value) {
            ++measured;
            const char* format = target.Unit == "x" ? "%.2f" : "%.1f";
            best = Format(format, value->Best);
            median = Format(format, value->Median);
            const bool holds = target.Holds(value->Best);
            verdict = holds ? "ok" : "MISSED";
            if (!holds)
                ++missed;
        }
        std::snprintf(line, sizeof line, "  %-50s %10s %10s %-6s %-9s %s\n", target.What.c_str(),
                      best.c_str(), median.c_str(), value ? target.Unit.c_str() : "", target.Limit.c_str(),
                      verdict.c_str());
        out << line;
    }
    for (const std::string& error : FErrors)
        out << "  ERROR " << error << "\n";
    out << "  " << measured << " of " << targets.size() << " figures measured, " << missed
        << " target(s) missed, " << FErrors.size() << " benchmark error(s)\n";
    return (missed == 0 && FErrors.empty()) ? 0 : 1;
}

}  // namespace tembrook::bench
