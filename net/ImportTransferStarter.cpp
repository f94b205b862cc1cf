#include "ImportTransferStarter.h"

#include <memory>
#include <utility>

#include "HTTPTransferThreadUnit.h"

namespace tembrook {

TImportTransferStarter::TImportTransferStarter(QObject* receiver, TPageDecoder decoder)
    : FReceiver(receiver), FDecoder(std::move(decoder))
{
}

void TImportTransferStarter::StartTransfer(const std::string& url, TProgressHandler onProgress,
                                           TCompletionHandler onComplete)
{
    auto transfer = std::make_unique<THTTPDataTransfer>();
    transfer->URL = url;
    transfer->PageDecoder = FDecoder;
    if (onProgress) {
        // Every report of every stage shows its value (0 outside the reads).
        transfer->OnProgress = [progress = std::move(onProgress)](THTTPDataTransfer*, std::int32_t,
                                                                  std::int32_t,
                                                                  std::int32_t value) { progress(value); };
    }
    transfer->OnTerminate = [complete = std::move(onComplete)](THTTPDataTransfer* sender) {
        TTransferResult result;
        // A body that threw (the decoder's included) is no page at all.
        const bool failed = sender->Terminated() || sender->FatalException() != nullptr;
        result.Outcome = failed              ? TTransferOutcome::toFailed
            : sender->ErrorMessage().empty() ? TTransferOutcome::toReceived
                                             : TTransferOutcome::toCutShort;
        result.HttpStatus = sender->HttpStatus();
        result.ContentType = sender->ContentType();
        result.ErrorMessage = sender->ErrorMessage();
        if (!failed) {
            result.ReceivedText = sender->ReceivedText();
            result.UnreadEncoding = sender->UnreadEncoding();
        }
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
