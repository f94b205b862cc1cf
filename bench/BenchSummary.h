#pragma once
// TSummaryReporter prints the usual benchmark table (one line a benchmark:
// the median when the benchmarks are repeated) and keeps every result, so
// that after the run PrintSummary can put the figures that have targets
// side by side: the ratios the targets name, each with its limit and
// whether it holds. A target is judged on the fastest repetition, the one
// least disturbed by other work on the machine; the median stands beside it.

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace tembrook::bench {

struct TBenchResult {
    double Milliseconds = 0;      // real (or manual) time per iteration; the median when repeated
    double BestMilliseconds = 0;  // the fastest repetition (the same as Milliseconds when not repeated)
    std::map<std::string, double> Counters;  // as reported (rates already per second)
};

class TSummaryReporter : public benchmark::ConsoleReporter {
public:
    TSummaryReporter();

    void ReportRuns(const std::vector<Run>& reports) override;

    // The figures with targets. Returns 0 when every benchmark that ran
    // succeeded and every target whose figures were measured holds, else 1.
    int PrintSummary(std::ostream& out) const;

    // Lookup by benchmark name; null when it did not run (or failed).
    const TBenchResult* Find(const std::string& name) const;

private:
    std::map<std::string, TBenchResult> FResults;
    std::map<std::string, bool> FFromMedian;
    std::map<std::string, double> FBest;  // fastest repetition so far, by name
    std::vector<std::string> FErrors;
};

}  // namespace tembrook::bench
