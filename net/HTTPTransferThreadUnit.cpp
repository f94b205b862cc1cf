#include "HTTPTransferThreadUnit.h"

#include "ConnectionState.h"

#include <algorithm>
#include <limits>

namespace tembrook {

namespace {

constexpr const char* UserAgent = "Vantrel";

// Stage 3 reports the byte total in a 32-bit value; bodies are capped far
// below that, but never let a large total wrap into a negative count.
std::int32_t ProgressValue(std::size_t total)
{
    return static_cast<std::int32_t>(std::min<std::size_t>(total, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

THTTPDataTransfer::THTTPDataTransfer() : Limits(platform::DefaultInternetLimits())
{
    InitializeTransfers();
    // Made here, on the creating (user-interface) thread, so that the default
    // state loads its backend there rather than from the worker.
    (void)platform::CurrentConnectionState();
}

THTTPDataTransfer::~THTTPDataTransfer() = default;

void THTTPDataTransfer::Execute()
{
    FReceivedText.clear();
    if (URL.empty())
        return;
    if (CanConnect()) {
        std::string text;
        DownloadText(URL, text);
        FReceivedText = std::move(text);
        if (PageDecoder && !Terminated() && FHttpStatus < 400)
            FUnreadEncoding = PageDecoder(FReceivedText, FContentType, !FErrorMessage.empty());
    } else {
        FReceivedText.clear();
        FErrorMessage = "No internet connection is available";
        Terminate();
    }
}

void THTTPDataTransfer::DoTerminate()
{
    if (OnTerminate)
        OnTerminate(this);
}

bool THTTPDataTransfer::CanConnect()
{
    if (IsOfflineByUser())
        return true;  // let the attempt serve what it can
    if (IsConnected())
        return platform::CurrentConnectionState()->AttemptConnect();
    return false;
}

bool THTTPDataTransfer::IsOfflineByUser()
{
    return platform::CurrentConnectionState()->IsOfflineByUser();
}

bool THTTPDataTransfer::IsConnected()
{
    return platform::CurrentConnectionState()->IsConnected();
}

void THTTPDataTransfer::DoProgress(std::int32_t kind, std::int32_t stage, std::int32_t value)
{
    if (OnProgress)
        OnProgress(this, kind, stage, value);
}

void THTTPDataTransfer::WakeUp()
{
    std::lock_guard lock(FSessionLock);
    if (FSession != nullptr)
        FSession->Cancel();
}

void THTTPDataTransfer::DownloadText(const std::string& url, std::string& text)
{
    DoProgress(ProgressKind, 1, 0);
    std::string received;
    {
        platform::TInternetSession session(UserAgent, Limits);
        // Published for WakeUp until the session closes; a Terminate that came
        // before this point is honoured by the check after publishing.
        struct TPublish {
            THTTPDataTransfer& Self;
            TPublish(THTTPDataTransfer& self, platform::TInternetSession& session) : Self(self)
            {
                std::lock_guard lock(Self.FSessionLock);
                Self.FSession = &session;
            }
            ~TPublish()
            {
                std::lock_guard lock(Self.FSessionLock);
                Self.FSession = nullptr;
            }
        } publish(*this, session);
        if (Terminated())
            session.Cancel();

        std::unique_ptr<platform::TInternetUrl> handle = session.OpenUrl(url);
        DoProgress(ProgressKind, 2, 0);
        // Reads of ReadBufferSize bytes, each reported; the bytes gather in
        // the handle's one body buffer and are taken over whole at the end.
        std::size_t total = 0;
        for (;;) {
            std::size_t got = 0;
            if (!handle->ReadOn(ReadBufferSize, got)) {
                FErrorMessage = handle->ErrorMessage();
                DoProgress(ProgressKind, -1, 0);
                break;
            }
            total += got;
            DoProgress(ProgressKind, 3, ProgressValue(total));
            if (got == 0 || Terminated())
                break;
        }
        received = handle->TakeBody();
        const long status = handle->HttpStatus();
        FHttpStatus = status > 0 && status < 1000 ? static_cast<int>(status) : 0;
        FContentType = handle->ContentType();
    }  // the URL handle closes first, then the session
    if (!Terminated())
        DoProgress(ProgressKind, 1, 0);
    if (Terminated()) {
        text.clear();
    } else {
        DoProgress(ProgressKind, 4, 0);
        text = std::move(received);
    }
}

void InitializeTransfers()
{
    platform::PreloadInternetClient();
}

void StopAllTransfers()
{
    platform::TThread::StopAll();
}

}  // namespace tembrook
