#pragma once
// The internet client: HTTP GET of one URL on libcurl, read by the caller in
// pieces of a size it chooses.
//
//   TInternetSession session("Vantrel", limits);   // one multi handle
//   auto url = session.OpenUrl(address);           // never null
//   std::size_t got;
//   while (url->Read(buf, sizeof buf, got) && got > 0) use(buf, got);
//
// Read blocks until it can fill the whole buffer or the body has ended, so a
// body is read as full pieces, one short piece and a final 0, whatever the
// server's packet sizes. It returns false when the transfer broke: no
// connection, a reset, a body cut short, a limit hit, a refused scheme, or the
// session cancelled. Bytes that arrived before the break are still delivered
// by the reads before the failing one.
//
// Only http and https are fetched; redirects are followed (at most 10) within
// those two schemes. Proxies come from libcurl's environment variables
// (http_proxy, https_proxy, no_proxy). An https server's certificate and host
// name are always verified, against the system's certificate authorities or
// those of TInternetLimits::CaFile. The HTTP status is not examined: an
// error page is a body like any other. Each session is used by one thread;
// only Cancel() may be called from another.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tembrook::platform {

struct TInternetLimits {
    // Time to set up the connection (TCP and TLS).
    long ConnectTimeoutMs = 30'000;
    // A transfer slower than StallMinBytesPerSecond for StallSeconds is broken.
    long StallSeconds = 60;
    long StallMinBytesPerSecond = 1;
    // A body longer than this is broken after its first MaxBodyBytes bytes.
    std::uint64_t MaxBodyBytes = std::uint64_t{256} * 1024 * 1024;
    // A PEM file of the certificate authorities https servers are checked
    // against instead of the system's; empty for the system's.
    std::string CaFile;
};

// The limits new transfers start with; tests shorten them. Thread-safe. The
// process starts with CaFile taken from CURL_CA_BUNDLE, as curl's own tool
// does, so a site with a private authority can be trusted without touching
// the system's store.
TInternetLimits DefaultInternetLimits();
void SetDefaultInternetLimits(const TInternetLimits& limits);

// Initialises libcurl once per process; safe to call from several threads.
void InitInternetClient();

class TInternetSession;

// An opened URL (a curl easy handle attached to its session's multi handle).
// Close it (destroy it) before its session.
class TInternetUrl {
public:
    ~TInternetUrl();
    TInternetUrl(const TInternetUrl&) = delete;
    TInternetUrl& operator=(const TInternetUrl&) = delete;

    // Fills `buffer` with up to `size` bytes; see above.
    bool Read(char* buffer, std::size_t size, std::size_t& bytesRead);
    // Why the transfer broke, for logs; empty while it has not.
    const std::string& ErrorMessage() const noexcept { return FError; }

private:
    friend class TInternetSession;
    struct TState;
    TInternetUrl(TInternetSession& session, const std::string& url);

    TInternetSession& FSession;
    std::unique_ptr<TState> FState;
    std::string FError;
};

class TInternetSession {
public:
    TInternetSession(std::string agent, const TInternetLimits& limits);
    ~TInternetSession();
    TInternetSession(const TInternetSession&) = delete;
    TInternetSession& operator=(const TInternetSession&) = delete;

    // Never null. A URL that cannot be fetched gives a handle whose first
    // Read fails.
    std::unique_ptr<TInternetUrl> OpenUrl(const std::string& url);

    // Makes the current and every later Read fail promptly. Thread-safe.
    void Cancel() noexcept;
    bool Cancelled() const noexcept { return FCancelled.load(std::memory_order_acquire); }

private:
    friend class TInternetUrl;
    void* FMulti = nullptr;  // CURLM*
    std::string FAgent;
    TInternetLimits FLimits;
    std::atomic<bool> FCancelled{false};
};

}  // namespace tembrook::platform
