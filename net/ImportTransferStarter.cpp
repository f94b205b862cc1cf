#include "ImportTransferStarter.h"

#include <memory>
#include <utility>

#include "HTTPTransferThreadUnit.h"

namespace tembrook {

TImportTransferStarter::TImportTransferStarter(QObject* receiver) : FReceiver(receiver) {}

void TImportTransferStarter::StartTransfer(const std::string& url, TProgressHandler onProgress,
                                           TCompletionHandler onComplete)
{
    auto transfer = std::make_unique<THTTPDataTransfer>();
    transfer->URL = url;
    if (onProgress) {
        // Every report of every stage shows its value (0 outside the reads).
        transfer->OnProgress = [progress = std::move(onProgress)](THTTPDataTransfer*, std::int32_t,
                                                                  std::int32_t,
                                                                  std::int32_t value) { progress(value); };
    }
    transfer->OnTerminate = [complete = std::move(onComplete)](THTTPDataTransfer* sender) {
        TTransferResult result;
        // A body that threw is no page at all.
        result.Terminated = sender->Terminated() || sender->FatalException() != nullptr;
        result.ErrorMessage = sender->ErrorMessage();
        result.ReadFailed = !result.Terminated && !sender->ErrorMessage().empty();
        if (!result.Terminated)
            result.ReceivedText = sender->ReceivedText();
        if (complete)
            complete(result);
    };
    if (FReceiver != nullptr)
        transfer->BindReceiver(FReceiver);
    transfer->Resume();
    // From here on the thread layer owns and deletes the transfer.
    transfer.release();
}

}  // namespace tembrook
