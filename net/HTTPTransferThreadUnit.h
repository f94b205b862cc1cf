#pragma once
// THTTPDataTransfer downloads the body of one URL on a worker thread of its
// own and hands the whole body back, undecoded, as one byte string.
//
//   auto* t = new tembrook::THTTPDataTransfer();   // created suspended
//   t->URL = url;
//   t->OnProgress = [](THTTPDataTransfer* sender, int kind, int stage, int value) {};  // worker thread
//   t->OnTerminate = [](THTTPDataTransfer* sender) {                                 // main thread
//       if (sender->Terminated()) { /* no connection */ } else use(sender->ReceivedText());
//   };
//   t->BindReceiver(window);                       // optional: skip OnTerminate once window is gone
//   t->Resume();                                   // do not touch t afterwards
//
// The thread layer deletes the object after OnTerminate has returned.
// Progress stages (kind is always 4): 1 before the session is opened and again
// after both handles are closed unless terminated; 2 after the URL is opened;
// 3 after every successful read with the byte total, the final empty read
// included; -1 when a read fails; 4 at the very end unless terminated. Reads
// take 1024 bytes at a time. The terminated flag is the one failure signal
// (no connection available, or stopped from outside); a body cut short, an
// address that cannot be opened or a limit hit is a failed read that keeps the
// bytes received so far. The final response's HTTP status and Content-Type
// are kept beside the body; judging them is the caller's part.
//
// A page decoder, when set, turns the body into the text the caller reads
// (the import's CP932) on the worker thread, once the body is complete and
// before OnTerminate; it is skipped for a body that is no page (terminated,
// or an HTTP status of 400 or above).

#include "InternetClient.h"
#include "Thread.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace tembrook {

class THTTPDataTransfer;

using TTransferProgressEvent =
    std::function<void(THTTPDataTransfer* Sender, std::int32_t Kind, std::int32_t Stage, std::int32_t Value)>;
using TTransferNotifyEvent = std::function<void(THTTPDataTransfer* Sender)>;
// Rewrites body in place into the text its reader expects, given the
// response's Content-Type value and whether the body was cut short; returns
// a declared encoding it could not read (empty when none). Worker thread.
using TPageDecoder =
    std::function<std::string(std::string& body, std::string_view contentType, bool cutShort)>;

class THTTPDataTransfer : public platform::TThread {
public:
    static constexpr std::size_t ReadBufferSize = 1024;
    static constexpr std::int32_t ProgressKind = 4;

    THTTPDataTransfer();
    ~THTTPDataTransfer() override;

    // Set before Resume(), never changed afterwards.
    std::string URL;
    TTransferProgressEvent OnProgress;  // runs on the worker thread; may be empty
    TTransferNotifyEvent OnTerminate;   // runs on the user-interface thread; may be empty
    // Connect timeout, stall limit and body cap; starts as the process-wide
    // defaults (platform::DefaultInternetLimits()).
    platform::TInternetLimits Limits;
    TPageDecoder PageDecoder;  // may be empty: the body is handed on as received

    // The body received; valid in OnTerminate.
    const std::string& ReceivedText() const noexcept { return FReceivedText; }
    // Why the read loop ended early (ASCII, for logs and the command line);
    // empty when the body was read to its end. Valid in OnTerminate.
    const std::string& ErrorMessage() const noexcept { return FErrorMessage; }
    // The final response's status (0 when none came) and Content-Type value;
    // valid in OnTerminate.
    int HttpStatus() const noexcept { return FHttpStatus; }
    const std::string& ContentType() const noexcept { return FContentType; }
    // What the page decoder could not read; valid in OnTerminate.
    const std::string& UnreadEncoding() const noexcept { return FUnreadEncoding; }

    bool CanConnect();
    bool IsOfflineByUser();
    bool IsConnected();
    void DownloadText(const std::string& url, std::string& text);
    void DoProgress(std::int32_t kind, std::int32_t stage, std::int32_t value);

protected:
    void Execute() override;
    void DoTerminate() override;
    void WakeUp() override;

private:
    std::string FReceivedText;
    std::string FErrorMessage;
    int FHttpStatus = 0;
    std::string FContentType;
    std::string FUnreadEncoding;
    std::mutex FSessionLock;  // guards FSession against WakeUp
    platform::TInternetSession* FSession = nullptr;
};

// Starts loading the internet client library in the background (see
// platform::PreloadInternetClient) and returns at once; the first transfer
// waits for it. main() calls it early; every transfer calls it too. Safe to
// call more than once, from any thread.
void InitializeTransfers();
// Stops and joins every transfer still running (see TThread::StopAll).
void StopAllTransfers();

}  // namespace tembrook
