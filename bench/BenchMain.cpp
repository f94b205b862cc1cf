// tembrook_bench: the parse, list and import benchmarks in one binary.
//
//   tembrook_bench [--benchmark_filter=REGEX] [--benchmark_repetitions=N] ...
//
// prints the benchmark table, then the figures that have targets with their
// limits; the exit status is 1 when a target is missed or a benchmark fails.
// Started as "tembrook_bench --memory-probe ROWS" it is the child process
// that the list-memory benchmark measures.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "BenchRegistry.h"
#include "BenchSummary.h"
#include "ConnectionState.h"
#include "HTTPTransferThreadUnit.h"

namespace {

struct TTransfersFirst {
    TTransfersFirst() { tembrook::InitializeTransfers(); }
};

// The program's own start-up order: the transfer library before any thread,
// then the application object, then the connection state on this thread.
struct TProgramSetUp : TTransfersFirst {
    QApplication Application;
    TProgramSetUp(int& argc, char** argv) : Application(argc, argv)
    {
        QCoreApplication::setApplicationName(QStringLiteral("Tembrook"));
        tembrook::platform::CurrentConnectionState();
    }
    ~TProgramSetUp()
    {
        tembrook::bench::ReleaseBenchWindow();
        tembrook::StopAllTransfers();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    // The window runs offscreen unless asked otherwise, and the downloads stay
    // on loopback whatever proxy the machine has configured.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("no_proxy", "127.0.0.1,localhost", 0);
    setenv("NO_PROXY", "127.0.0.1,localhost", 0);

    if (argc == 3 && std::string_view(argv[1]) == "--memory-probe") {
        const int rows = std::atoi(argv[2]);
        if (rows <= 0) {
            std::cerr << "tembrook_bench: --memory-probe needs a number of rows above 0\n";
            return 2;
        }
        TProgramSetUp program(argc, argv);
        return tembrook::bench::RunMemoryProbe(rows);
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    TProgramSetUp program(argc, argv);

    tembrook::bench::RegisterParseBenchmarks();
    tembrook::bench::RegisterListBenchmarks();
    tembrook::bench::RegisterImportBenchmarks();

    tembrook::bench::TSummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const int status = reporter.PrintSummary(std::cout);
    benchmark::Shutdown();
    return status;
}
