#include "InternetClient.h"

#include <curl/curl.h>

#include "CurlLibrary.h"  // after curl.h: libcurl's functions come from the library loaded at run time

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace tembrook::platform {

namespace {

TInternetLimits InitialLimits()
{
    TInternetLimits limits;
    if (const char* caFile = std::getenv("CURL_CA_BUNDLE"); caFile != nullptr)
        limits.CaFile = caFile;
    return limits;
}

std::mutex gLimitsLock;
TInternetLimits gDefaultLimits = InitialLimits();

constexpr long MaxRedirects = 10;
constexpr int PollIntervalMs = 1000;
constexpr const char* AllowedProtocols = "http,https";

CURLM* Multi(void* handle)
{
    return static_cast<CURLM*>(handle);
}

// The address as it is sent. Only absolute http and https addresses; no NUL or
// control bytes, which libcurl would cut the address at or pass on to the
// server. A blank is sent percent-encoded wherever it stands ("http://host/my
// comics/" asks for "/my%20comics/"; "%20" in the query too, never '+'), and
// so are bytes 0x80 and above in the path and query, byte by byte, so CP932
// text keeps its values. Where a blank cannot be part of an address even
// encoded (scheme, host, port), the address stays refused.
bool PrepareAddress(const std::string& url, std::string& prepared, std::string& error)
{
    std::string blanksEncoded;
    blanksEncoded.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            error = "The address contains a control character";
            return false;
        }
        if (c == ' ')
            blanksEncoded += "%20";
        else
            blanksEncoded += c;
    }
    CURLU* parsed = curl_url();
    if (parsed == nullptr) {
        error = "Out of memory";
        return false;
    }
    bool ok = false;
    CURLUcode rc = curl_url_set(parsed, CURLUPART_URL, blanksEncoded.c_str(), CURLU_URLENCODE);
    if (rc != CURLUE_OK) {
        error = std::string("Malformed address: ") + curl_url_strerror(rc);
    } else {
        char* scheme = nullptr;
        rc = curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0);
        if (rc == CURLUE_OK && scheme != nullptr &&
            (std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0)) {
            char* full = nullptr;
            rc = curl_url_get(parsed, CURLUPART_URL, &full, 0);
            if (rc == CURLUE_OK && full != nullptr) {
                prepared = full;
                ok = true;
            } else {
                error = std::string("Malformed address: ") + curl_url_strerror(rc);
            }
            curl_free(full);
        } else {
            error = std::string("Unsupported scheme: ") + (scheme != nullptr ? scheme : "(none)");
        }
        curl_free(scheme);
    }
    curl_url_cleanup(parsed);
    return ok;
}

}  // namespace

TInternetLimits DefaultInternetLimits()
{
    std::lock_guard lock(gLimitsLock);
    return gDefaultLimits;
}

void SetDefaultInternetLimits(const TInternetLimits& limits)
{
    std::lock_guard lock(gLimitsLock);
    gDefaultLimits = limits;
}

void InitInternetClient()
{
    (void)curl::Api();  // loads libcurl and runs its global set-up, once
}

void PreloadInternetClient()
{
    curl::StartLoading();
}

std::size_t InitialBodyReserve(std::int64_t declared, std::uint64_t maxBody)
{
    if (declared <= 0)
        return 0;
    const std::uint64_t wanted = std::min({static_cast<std::uint64_t>(declared), maxBody, kMaxBodyReserve});
    return static_cast<std::size_t>(wanted);
}

// The body as libcurl hands it over: kept in one buffer, sized from the
// response's Content-Length when the server gives one, that Read walks
// through and TakeBody hands over whole.
struct TInternetUrl::TState {
    CURL* Easy = nullptr;
    bool Attached = false;  // added to the session's multi handle
    bool Done = false;      // CURLMSG_DONE seen (or never started)
    CURLcode Result = CURLE_OK;
    std::string Body;           // received so far (at most MaxBody bytes)
    std::size_t Delivered = 0;  // bytes of Body handed out by Read
    std::uint64_t MaxBody = 0;
    bool Sized = false;  // the buffer has been reserved from the declared length
    bool CapHit = false;
    char ErrorBuffer[CURL_ERROR_SIZE] = {};

    std::size_t Available() const { return Body.size() - Delivered; }

    // Reserves the body once, when its first bytes arrive, from the declared
    // length (see InitialBodyReserve); without one the buffer grows.
    void SizeFromDeclaredLength()
    {
        Sized = true;
        curl_off_t declared = -1;
        if (curl_easy_getinfo(Easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared) != CURLE_OK)
            return;
        Body.reserve(InitialBodyReserve(declared, MaxBody));
    }

    static std::size_t Write(char* data, std::size_t size, std::size_t count, void* user)
    {
        auto* state = static_cast<TState*>(user);
        if (!state->Sized)
            state->SizeFromDeclaredLength();
        const std::size_t length = size * count;
        const std::uint64_t room = state->MaxBody - state->Body.size();
        if (length > room) {
            // Keep what fits; the short count makes libcurl end the transfer.
            state->Body.append(data, static_cast<std::size_t>(room));
            state->CapHit = true;
            return static_cast<std::size_t>(room);
        }
        state->Body.append(data, length);
        return length;
    }
};

TInternetUrl::TInternetUrl(TInternetSession& session, const std::string& url)
    : FSession(session), FState(std::make_unique<TState>())
{
    FState->MaxBody = session.FLimits.MaxBodyBytes;
    if (session.FMulti == nullptr) {
        const std::string why = curl::LoadError();
        FError = why.empty() ? std::string("The internet session could not be opened")
                             : "The internet client library could not be loaded: " + why;
        FState->Done = true;
        FState->Result = CURLE_FAILED_INIT;
        return;
    }
    std::string address;
    if (!PrepareAddress(url, address, FError)) {
        FState->Done = true;
        FState->Result = CURLE_URL_MALFORMAT;
        return;
    }
    CURL* easy = curl_easy_init();
    if (easy == nullptr) {
        FError = "The address could not be opened (out of memory)";
        FState->Done = true;
        FState->Result = CURLE_FAILED_INIT;
        return;
    }
    FState->Easy = easy;
    const TInternetLimits& limits = session.FLimits;
    bool ok = curl_easy_setopt(easy, CURLOPT_URL, address.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_USERAGENT, session.FAgent.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, AllowedProtocols) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, AllowedProtocols) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_MAXREDIRS, MaxRedirects) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.ConnectTimeoutMs) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.StallMinBytesPerSecond) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, limits.StallSeconds) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &TState::Write) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEDATA, FState.get()) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, FState->ErrorBuffer) == CURLE_OK;
    if (!limits.CaFile.empty())
        ok = ok && curl_easy_setopt(easy, CURLOPT_CAINFO, limits.CaFile.c_str()) == CURLE_OK;
    if (ok && curl_multi_add_handle(Multi(session.FMulti), easy) == CURLM_OK) {
        FState->Attached = true;
    } else {
        FError = "The address could not be opened (libcurl refused the settings)";
        FState->Done = true;
        FState->Result = CURLE_FAILED_INIT;
    }
}

TInternetUrl::~TInternetUrl()
{
    if (FState->Attached)
        curl_multi_remove_handle(Multi(FSession.FMulti), FState->Easy);
    if (FState->Easy != nullptr)
        curl_easy_cleanup(FState->Easy);
}

bool TInternetUrl::Read(char* buffer, std::size_t size, std::size_t& bytesRead)
{
    if (!ReadOn(size, bytesRead))
        return false;
    std::memcpy(buffer, FState->Body.data() + FState->Delivered - bytesRead, bytesRead);
    return true;
}

bool TInternetUrl::ReadOn(std::size_t size, std::size_t& bytesRead)
{
    bytesRead = 0;
    TState& state = *FState;
    CURLM* multi = Multi(FSession.FMulti);
    while (state.Available() < size && !state.Done) {
        if (FSession.Cancelled())
            break;
        int running = 0;
        CURLMcode mc = curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == state.Easy) {
                state.Done = true;
                state.Result = message->data.result;
            }
        }
        if (mc == CURLM_OK && !state.Done && state.Available() < size)
            mc = curl_multi_poll(multi, nullptr, 0, PollIntervalMs, nullptr);
        if (mc != CURLM_OK && !state.Done) {
            state.Done = true;
            state.Result = CURLE_RECV_ERROR;
            FError = curl_multi_strerror(mc);
        }
    }
    if (FSession.Cancelled()) {
        FError = "The transfer was cancelled";
        return false;
    }
    const std::size_t n = std::min(size, state.Available());
    if (n == 0 && state.Done && state.Result != CURLE_OK) {
        if (FError.empty()) {
            if (state.CapHit)
                FError = "The body exceeds the size limit";
            else if (state.ErrorBuffer[0] != '\0')
                FError = state.ErrorBuffer;
            else
                FError = curl_easy_strerror(state.Result);
        }
        return false;
    }
    state.Delivered += n;
    bytesRead = n;
    return true;
}

long TInternetUrl::HttpStatus() const
{
    long status = 0;
    if (FState->Easy == nullptr ||
        curl_easy_getinfo(FState->Easy, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return 0;
    return status;
}

std::string TInternetUrl::ContentType() const
{
    char* type = nullptr;
    if (FState->Easy == nullptr ||
        curl_easy_getinfo(FState->Easy, CURLINFO_CONTENT_TYPE, &type) != CURLE_OK || type == nullptr)
        return {};
    return type;
}

std::string TInternetUrl::TakeBody()
{
    TState& state = *FState;
    std::string body = std::move(state.Body);
    body.resize(state.Delivered);
    // A declared length far above what came (a body cut short, a length that
    // lied) would otherwise keep its whole reservation alive with the text.
    if (body.capacity() - body.size() > 64 * 1024 && body.capacity() / 2 > body.size())
        body.shrink_to_fit();
    state.Body.clear();
    state.Delivered = 0;
    return body;
}

TInternetSession::TInternetSession(std::string agent, const TInternetLimits& limits)
    : FAgent(std::move(agent)), FLimits(limits)
{
    InitInternetClient();
    FMulti = curl_multi_init();
}

TInternetSession::~TInternetSession()
{
    if (FMulti != nullptr)
        curl_multi_cleanup(Multi(FMulti));
}

std::unique_ptr<TInternetUrl> TInternetSession::OpenUrl(const std::string& url)
{
    return std::unique_ptr<TInternetUrl>(new TInternetUrl(*this, url));
}

void TInternetSession::Cancel() noexcept
{
    FCancelled.store(true, std::memory_order_release);
    if (FMulti != nullptr)
        curl_multi_wakeup(Multi(FMulti));
}

}  // namespace tembrook::platform
