// tembrook-export: the command-line exporter (see ExportCommand.h).
#include <QCoreApplication>
#include <QFile>

#include <cstddef>
#include <cstdio>

#include "ExportCommand.h"
#include "HTTPTransferThreadUnit.h"
#include "ProcessHeap.h"

int main(int argc, char** argv)
{
    // The pages, their records and the output are built at once and live to
    // the end: the heap is made ready for them before any thread exists.
    tembrook::platform::PrepareHeapForBulkWork(std::size_t{64} * 1024 * 1024);
    // libcurl loads on a thread of its own while the rest starts up; the
    // first transfer waits for it.
    tembrook::InitializeTransfers();
    QCoreApplication app(argc, argv);

    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) ||
        !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        std::fputs("tembrook-export: cannot open the standard streams\n", stderr);
        return tembrook::cli::ecFailed;
    }
    const int status = tembrook::cli::RunExport(QCoreApplication::arguments(), out, err);
    if (!out.flush()) {
        err.write("tembrook-export: cannot write to standard output\n");
        return tembrook::cli::ecFailed;
    }
    return status;
}
