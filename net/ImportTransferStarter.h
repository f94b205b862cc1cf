#pragma once
// TImportTransferStarter is the import road's transfer starter on
// THTTPDataTransfer: each StartTransfer creates a transfer for the URL,
// forwards every progress report's byte value (worker thread) and hands the
// terminated flag, the received text and the read error to the completion
// (user-interface thread). The main window and the command-line exporter
// both give one to their TImportRoad:
//
//   tembrook::TImportTransferStarter starter(window);   // or nullptr in the exporter
//   tembrook::TImportRoad road(sink, starter);
//
// With a receiver, completions that arrive after the receiver was destroyed
// are skipped (THTTPDataTransfer::BindReceiver). A transfer whose body threw
// counts as terminated. InitializeTransfers() must have run (main does it)
// and a QCoreApplication must exist.

#include <string>

#include "ImportRoad.h"

class QObject;

namespace tembrook {

class TImportTransferStarter : public TTransferStarter {
public:
    explicit TImportTransferStarter(QObject* receiver = nullptr);

    void StartTransfer(const std::string& url, TProgressHandler onProgress,
                       TCompletionHandler onComplete) override;

private:
    QObject* FReceiver;
};

}  // namespace tembrook
