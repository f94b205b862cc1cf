#pragma once
// TImportTransferStarter is the import road's transfer starter on
// THTTPDataTransfer: each StartTransfer creates a transfer for the URL,
// forwards every progress report's byte value (worker thread) and hands how
// the transfer ended, the final response's status and Content-Type, the
// page's text and the read error to the completion (user-interface thread).
// The main window and the command-line exporter both give one to their
// TImportRoad, with the page decoder that turns a page in another encoding
// into CP932 on the transfer's worker thread (DecodePageToCP932, exchange/):
//
//   tembrook::TImportTransferStarter starter(window, &DecodePageToCP932);   // nullptr in the exporter
//   tembrook::TImportRoad road(sink, starter);
//
// With a receiver, completions that arrive after the receiver was destroyed
// are skipped (THTTPDataTransfer::BindReceiver). A transfer whose body threw
// counts as terminated. InitializeTransfers() must have run (main does it)
// and a QCoreApplication must exist.

#include <string>

#include "HTTPTransferThreadUnit.h"
#include "ImportRoad.h"

class QObject;

namespace tembrook {

class TImportTransferStarter : public TTransferStarter {
public:
    // Without a decoder, bodies reach the road as received.
    explicit TImportTransferStarter(QObject* receiver = nullptr, TPageDecoder decoder = {});

    void StartTransfer(const std::string& url, TProgressHandler onProgress,
                       TCompletionHandler onComplete) override;

private:
    QObject* FReceiver;
    TPageDecoder FDecoder;
};

}  // namespace tembrook
