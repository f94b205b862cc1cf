#pragma once
// Loopback servers for tests that download.
//
// TestHttpServer is a real HTTP/1.1 server (cpp-httplib) on 127.0.0.1 on a
// free port, running on background threads from construction to
// destruction. Each test registers what a path answers, exactly matched on
// the path without its query:
//
//   tembrook::test::TestHttpServer server;
//   server.ServeBody("/index.html", page);                 // 200 with Content-Length
//   server.ServeBody("/missing.html", "<p>gone</p>", "text/html", 404);
//   server.ServeChunked("/c.html", {"abc", "def"});        // chunked transfer encoding
//   server.ServeInPieces("/slow.html", body, 100, 2ms);    // small writes with pauses
//   server.ServeRedirect("/old.html", server.Url("/new.html"));
//   server.ServeTruncated("/cut.html", body, 500);         // declares all, sends 500, closes
//   server.ServeStall("/stall.html", "<html>", 10000);     // sends a prefix, then nothing
//   server.ServeGated("/late.html", body);                 // answers once OpenGates() is called
//   server.ServeFiles("/pages/", "/path/to/folder");      // files under a prefix
//   server.Serve("/x", [](const TestRequest& rq, TestResponse& rs) { ... });
//   fetch(server.Url("/index.html"));
//
// Given a certificate and its key (TTlsIdentity, see TestCertificates.h), the
// same server speaks HTTPS and its URLs start with "https://".
//
// A path nobody registered answers 404. Every request is logged (Requests()).
// Stalled replies hang until ReleaseStalls() or the destructor, which stops
// the server and joins its threads promptly.
//
// RawSocketServer answers every connection with fixed bytes over a plain
// socket, for replies that are not HTTP at all or end in a reset.
// UnresponsiveListener accepts no connection at all, so connecting to it
// hangs until the client's connect timeout.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tembrook::test {

struct TestRequest {
    std::string Method;
    std::string Path;                                          // without the query
    std::string Target;                                        // as sent: path and query
    std::vector<std::pair<std::string, std::string>> Headers;  // in the order received

    // The first header of that name (case-insensitive), empty when absent.
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
};

struct TestResponse {
    int Status = 200;
    std::string ContentType = "text/html";
    std::string Body;
    std::vector<std::pair<std::string, std::string>> Headers;
};

using TestHandler = std::function<void(const TestRequest&, TestResponse&)>;

// A server certificate (PEM) and its private key (PEM), as files.
struct TTlsIdentity {
    std::string CertFile;
    std::string KeyFile;
};

class TestHttpServer {
public:
    // Throws std::runtime_error when no port can be bound (or, for HTTPS, the
    // certificate or key cannot be loaded).
    TestHttpServer();
    explicit TestHttpServer(const TTlsIdentity& identity);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int Port() const noexcept { return FPort; }
    std::string BaseUrl() const;                     // "http://127.0.0.1:<port>" (or https)
    std::string Url(const std::string& path) const;  // BaseUrl() + path

    // Registering again replaces what the path answered. Safe while serving.
    void ServeBody(const std::string& path, std::string body, std::string contentType = "text/html",
                   int status = 200);
    void ServeChunked(const std::string& path, std::vector<std::string> chunks,
                      std::string contentType = "text/html");
    void ServeInPieces(const std::string& path, std::string body, std::size_t pieceSize,
                       std::chrono::milliseconds pause, std::string contentType = "text/html");
    void ServeRedirect(const std::string& path, std::string location, int status = 302);
    void ServeTruncated(const std::string& path, std::string body, std::size_t bytesSent,
                        std::string contentType = "text/html");
    void ServeStall(const std::string& path, std::string prefix, std::size_t declaredLength,
                    std::string contentType = "text/html");
    // Holds the reply until OpenGates() (or the destructor), then sends the
    // whole body: a page that arrives after an event rather than after a time.
    void ServeGated(const std::string& path, std::string body, std::string contentType = "text/html");
    void ServeFiles(const std::string& prefix, std::string folder);
    void Serve(const std::string& path, TestHandler handler);

    // Lets every stalled reply (current and later) end by closing the connection.
    void ReleaseStalls();
    // Lets every gated reply (current and later) be sent. Safe from any thread.
    void OpenGates();
    // Stalled replies currently hanging.
    std::size_t StalledCount() const noexcept { return FStalled.load(); }

    std::vector<TestRequest> Requests() const;
    std::size_t RequestCount(const std::string& path) const;

private:
    struct TImpl;
    struct TRoute;
    void Start();
    std::unique_ptr<TImpl> FImpl;
    bool FTls = false;
    int FPort = 0;
    std::atomic<std::size_t> FStalled{0};
};

class RawSocketServer {
public:
    enum class Ending {
        Close,  // half-close after the reply and wait for the client to go
        Reset,  // abort the connection (the client sees a reset)
        Hold,   // keep the connection open, sending nothing more, until destroyed
    };

    // Each connection: read the request head (up to a blank line, 64 KiB or
    // 2 s), send `reply`, wait `pause` (so that the client has read the reply
    // before a reset), end as asked. Throws std::runtime_error when no port
    // can be bound.
    explicit RawSocketServer(std::string reply, Ending ending = Ending::Close,
                             std::chrono::milliseconds pause = std::chrono::milliseconds(0));
    ~RawSocketServer();
    RawSocketServer(const RawSocketServer&) = delete;
    RawSocketServer& operator=(const RawSocketServer&) = delete;

    int Port() const noexcept { return FPort; }
    std::string Url(const std::string& path) const;
    std::size_t Connections() const noexcept { return FConnections.load(); }

private:
    void AcceptLoop();
    void Session(int fd);

    std::string FReply;
    Ending FEnding;
    std::chrono::milliseconds FPause;
    int FListen = -1;
    int FPort = 0;
    std::atomic<bool> FStopping{false};
    std::atomic<std::size_t> FConnections{0};
    std::mutex FLock;
    std::vector<std::thread> FSessions;
    std::thread FAcceptor;
};

class UnresponsiveListener {
public:
    // Throws std::runtime_error when the socket cannot be set up.
    UnresponsiveListener();
    ~UnresponsiveListener();
    UnresponsiveListener(const UnresponsiveListener&) = delete;
    UnresponsiveListener& operator=(const UnresponsiveListener&) = delete;

    int Port() const noexcept { return FPort; }
    std::string Url(const std::string& path) const;

private:
    int FListen = -1;
    int FFiller = -1;  // the one connection that fills the accept queue
    int FPort = 0;
};

}  // namespace tembrook::test
