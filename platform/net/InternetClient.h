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
// The whole body is kept in one buffer until TakeBody (the reads copy out of
// it, or with ReadOn only count it), reserved once from the declared
// Content-Length (see InitialBodyReserve) so that a large page is neither
// copied nor regrown on its way in.
//
// Only http and https are fetched; redirects are followed (at most 10) within
// those two schemes. Proxies come from libcurl's environment variables
// (http_proxy, https_proxy, no_proxy). An https server's certificate and host
// name are always verified, against the system's certificate authorities or
// those of TInternetLimits::CaFile. The HTTP status and the Content-Type of
// the final response are handed on (HttpStatus, ContentType) for the caller
// to judge; the reads deliver an error page's body like any other. Each
// session is used by one thread; only Cancel() may be called from another.

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

// Loads libcurl (at run time, see CurlLibrary.h) and initialises it, once per
// process; waits for a load already under way. Safe from several threads.
void InitInternetClient();
// Starts that load on a thread of its own and returns at once, so that a
// program can go on starting up meanwhile; the first session waits for it.
void PreloadInternetClient();

// How much of the body buffer is reserved up front for a response that
// declares `declared` bytes (negative: no Content-Length): the declared length,
// never above the body cap, and never above kMaxBodyReserve, so that a
// Content-Length that lies high (hostile or broken) costs at most that much
// before the bytes arrive; a longer body grows the buffer as it comes.
inline constexpr std::uint64_t kMaxBodyReserve = std::uint64_t{32} * 1024 * 1024;
std::size_t InitialBodyReserve(std::int64_t declared, std::uint64_t maxBody);

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
    // The same read without the copy: the bytes stay in the handle's body
    // buffer (one buffer, sized from the response's Content-Length when there
    // is one) and TakeBody hands them over at the end.
    bool ReadOn(std::size_t size, std::size_t& bytesRead);
    // Every byte delivered by Read and ReadOn so far, in one string, moved
    // out; the handle's body is empty afterwards (bytes received but not yet
    // read are dropped with it).
    std::string TakeBody();
    // Why the transfer broke, for logs; empty while it has not.
    const std::string& ErrorMessage() const noexcept { return FError; }
    // The status of the final response after redirects (0 while no response
    // has come, or when none came at all) and that response's Content-Type
    // header value (empty when it had none). Read them after the last Read.
    long HttpStatus() const;
    std::string ContentType() const;

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
