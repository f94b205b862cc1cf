#include "TestHttpServer.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

namespace tembrook::test {

namespace {

bool EqualsIgnoreCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
           });
}

std::string LoopbackUrl(int port, const std::string& path, const char* scheme = "http")
{
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + path;
}

// A listening TCP socket on 127.0.0.1 with a kernel-chosen port.
int ListenOnLoopback(int backlog, int& port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const std::string error = std::strerror(errno);
        ::close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1: " + error);
    }
    port = ntohs(address.sin_port);
    return fd;
}

void SendAll(int fd, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // the client went away; nothing to report to
        sent += static_cast<std::size_t>(n);
    }
}

// Waits up to `timeoutMs` for `fd` to become readable, in short steps so
// that `stopping` is honoured. False on timeout or stop.
bool WaitReadable(int fd, int timeoutMs, const std::atomic<bool>& stopping)
{
    for (int waited = 0; timeoutMs < 0 || waited < timeoutMs; waited += 50) {
        if (stopping.load())
            return false;
        pollfd p{fd, POLLIN, 0};
        int rc = ::poll(&p, 1, 50);
        if (rc > 0)
            return true;
        if (rc < 0 && errno != EINTR)
            return false;
    }
    return false;
}

}  // namespace

std::string TestRequest::Header(const std::string& name) const
{
    for (const auto& [key, value] : Headers)
        if (EqualsIgnoreCase(key, name))
            return value;
    return {};
}

bool TestRequest::HasHeader(const std::string& name) const
{
    return std::any_of(Headers.begin(), Headers.end(),
                       [&](const auto& header) { return EqualsIgnoreCase(header.first, name); });
}

// One registered answer: either a plain response (a TestHandler) or one that
// writes straight to the connection through httplib.
struct TestHttpServer::TRoute {
    TestHandler Plain;
    std::function<void(const httplib::Request&, httplib::Response&)> Direct;
};

struct TestHttpServer::TImpl {
    std::unique_ptr<httplib::Server> Server;
    std::thread Listener;
    std::atomic<bool> ListenerDone{false};

    mutable std::mutex Lock;
    std::map<std::string, std::shared_ptr<TRoute>> Routes;
    std::vector<std::pair<std::string, std::string>> FileFolders;  // prefix, folder
    std::vector<TestRequest> Log;

    std::mutex StallLock;
    std::condition_variable StallChanged;
    bool Released = false;
    bool GatesOpen = false;
    bool Stopping = false;

    // Holds a stalled reply until released or stopped.
    void Stall(std::atomic<std::size_t>& counter)
    {
        ++counter;
        std::unique_lock lock(StallLock);
        StallChanged.wait(lock, [&] { return Released || Stopping; });
        --counter;
    }

    bool ServeFile(const std::string& path, httplib::Response& response)
    {
        std::vector<std::pair<std::string, std::string>> folders;
        {
            std::lock_guard lock(Lock);
            folders = FileFolders;
        }
        for (const auto& [prefix, folder] : folders) {
            if (path.compare(0, prefix.size(), prefix) != 0)
                continue;
            const std::string relative = path.substr(prefix.size());
            if (relative.empty() || relative.find("..") != std::string::npos)
                continue;
            std::ifstream file(std::filesystem::path(folder) / relative, std::ios::binary);
            if (!file)
                continue;
            std::string body((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            response.status = 200;
            response.set_content(body, "text/html");
            return true;
        }
        return false;
    }
};

TestHttpServer::TestHttpServer() : FImpl(std::make_unique<TImpl>())
{
    FImpl->Server = std::make_unique<httplib::Server>();
    Start();
}

TestHttpServer::TestHttpServer(const TTlsIdentity& identity) : FImpl(std::make_unique<TImpl>()), FTls(true)
{
    auto server = std::make_unique<httplib::SSLServer>(identity.CertFile.c_str(), identity.KeyFile.c_str());
    if (!server->is_valid())
        throw std::runtime_error("TestHttpServer: cannot load " + identity.CertFile + " and its key");
    FImpl->Server = std::move(server);
    Start();
}

void TestHttpServer::Start()
{
    TImpl& impl = *FImpl;
    // Enough workers for every connection of a crowded test to be answered
    // at once, stalled ones included.
    impl.Server->new_task_queue = [] { return new httplib::ThreadPool(64); };
    impl.Server->set_tcp_nodelay(true);
    impl.Server->set_keep_alive_timeout(1);
    auto dispatch = [this](const httplib::Request& request, httplib::Response& response) {
        TImpl& impl = *FImpl;
        TestRequest logged;
        logged.Method = request.method;
        logged.Path = request.path;
        logged.Target = request.target;
        for (const auto& [key, value] : request.headers) {
            // httplib files the socket addresses among the headers; the log
            // keeps only what the client sent.
            if (key == "REMOTE_ADDR" || key == "REMOTE_PORT" || key == "LOCAL_ADDR" || key == "LOCAL_PORT")
                continue;
            logged.Headers.emplace_back(key, value);
        }
        std::shared_ptr<TRoute> route;
        {
            std::lock_guard lock(impl.Lock);
            impl.Log.push_back(logged);
            auto found = impl.Routes.find(request.path);
            if (found != impl.Routes.end())
                route = found->second;
        }
        if (route && route->Direct) {
            route->Direct(request, response);
        } else if (route) {
            TestResponse reply;
            route->Plain(logged, reply);
            response.status = reply.Status;
            for (const auto& [key, value] : reply.Headers)
                response.set_header(key, value);
            response.set_content(reply.Body, reply.ContentType);
        } else if (!impl.ServeFile(request.path, response)) {
            response.status = 404;
            response.set_content("<html><body>Not Found</body></html>", "text/html");
        }
    };
    impl.Server->Get(".*", dispatch);  // HEAD is routed here too
    // httplib listens with a backlog of 5, which drops the handshakes of a
    // crowd of clients into one-second retries; the socket is listened on
    // again with a deeper queue once bound.
    int listenSocket = -1;
    impl.Server->set_socket_options([&listenSocket](int fd) {
        int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        listenSocket = fd;
    });
    FPort = impl.Server->bind_to_any_port("127.0.0.1");
    if (FPort <= 0)
        throw std::runtime_error("TestHttpServer: cannot bind 127.0.0.1");
    if (listenSocket >= 0)
        ::listen(listenSocket, 256);
    impl.Server->set_socket_options([](int fd) {
        int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    });
    // Connections queue in the kernel from here on, so clients may start at once.
    impl.Listener = std::thread([&impl] {
        impl.Server->listen_after_bind();
        impl.ListenerDone = true;
    });
}

TestHttpServer::~TestHttpServer()
{
    {
        std::lock_guard lock(FImpl->StallLock);
        FImpl->Stopping = true;
    }
    FImpl->StallChanged.notify_all();
    // stop() only takes effect once the accept loop runs; wait for it to
    // start (or to have failed) first.
    while (!FImpl->Server->is_running() && !FImpl->ListenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    FImpl->Server->stop();
    FImpl->Listener.join();
}

std::string TestHttpServer::BaseUrl() const
{
    return LoopbackUrl(FPort, {}, FTls ? "https" : "http");
}

std::string TestHttpServer::Url(const std::string& path) const
{
    return LoopbackUrl(FPort, path, FTls ? "https" : "http");
}

void TestHttpServer::Serve(const std::string& path, TestHandler handler)
{
    auto route = std::make_shared<TRoute>();
    route->Plain = std::move(handler);
    std::lock_guard lock(FImpl->Lock);
    FImpl->Routes[path] = std::move(route);
}

void TestHttpServer::ServeBody(const std::string& path, std::string body, std::string contentType, int status)
{
    Serve(path,
          [body = std::move(body), contentType = std::move(contentType), status](const TestRequest&,
                                                                                 TestResponse& response) {
              response.Status = status;
              response.ContentType = contentType;
              response.Body = body;
          });
}

void TestHttpServer::ServeRedirect(const std::string& path, std::string location, int status)
{
    Serve(path, [location = std::move(location), status](const TestRequest&, TestResponse& response) {
        response.Status = status;
        response.Headers.emplace_back("Location", location);
        response.Body = "<html><body>Moved</body></html>";
    });
}

void TestHttpServer::ServeChunked(const std::string& path, std::vector<std::string> chunks,
                                  std::string contentType)
{
    auto route = std::make_shared<TRoute>();
    route->Direct = [chunks = std::move(chunks), contentType = std::move(contentType)](
                        const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(contentType, [chunks](std::size_t, httplib::DataSink& sink) {
            for (const std::string& chunk : chunks)
                if (!chunk.empty() && !sink.write(chunk.data(), chunk.size()))
                    return false;
            sink.done();
            return true;
        });
    };
    std::lock_guard lock(FImpl->Lock);
    FImpl->Routes[path] = std::move(route);
}

void TestHttpServer::ServeInPieces(const std::string& path, std::string body, std::size_t pieceSize,
                                   std::chrono::milliseconds pause, std::string contentType)
{
    pieceSize = std::max<std::size_t>(pieceSize, 1);
    auto route = std::make_shared<TRoute>();
    route->Direct = [body = std::move(body), pieceSize, pause, contentType = std::move(contentType)](
                        const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            body.size(), contentType,
            [body, pieceSize, pause](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                const std::size_t n = std::min(pieceSize, body.size() - offset);
                if (!sink.write(body.data() + offset, n))
                    return false;
                std::this_thread::sleep_for(pause);
                return true;
            });
    };
    std::lock_guard lock(FImpl->Lock);
    FImpl->Routes[path] = std::move(route);
}

void TestHttpServer::ServeTruncated(const std::string& path, std::string body, std::size_t bytesSent,
                                    std::string contentType)
{
    bytesSent = std::min(bytesSent, body.size());
    auto route = std::make_shared<TRoute>();
    route->Direct = [body = std::move(body), bytesSent, contentType = std::move(contentType)](
                        const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            body.size(), contentType,
            [body, bytesSent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset < bytesSent)
                    sink.write(body.data() + offset, bytesSent - offset);
                return false;  // httplib drops the connection here
            });
    };
    std::lock_guard lock(FImpl->Lock);
    FImpl->Routes[path] = std::move(route);
}

void TestHttpServer::ServeStall(const std::string& path, std::string prefix, std::size_t declaredLength,
                                std::string contentType)
{
    declaredLength = std::max(declaredLength, prefix.size() + 1);
    auto route = std::make_shared<TRoute>();
    route->Direct = [this, prefix = std::move(prefix), declaredLength, contentType = std::move(contentType)](
                        const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            declaredLength, contentType,
            [this, prefix](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset < prefix.size()) {
                    sink.write(prefix.data() + offset, prefix.size() - offset);
                    return true;
                }
                FImpl->Stall(FStalled);
                return false;
            });
    };
    std::lock_guard lock(FImpl->Lock);
    FImpl->Routes[path] = std::move(route);
}

void TestHttpServer::ServeGated(const std::string& path, std::string body, std::string contentType)
{
    Serve(path,
          [this, body = std::move(body), contentType = std::move(contentType)](const TestRequest&,
                                                                               TestResponse& response) {
              {
                  std::unique_lock lock(FImpl->StallLock);
                  FImpl->StallChanged.wait(lock, [&] { return FImpl->GatesOpen || FImpl->Stopping; });
              }
              response.ContentType = contentType;
              response.Body = body;
          });
}

void TestHttpServer::ServeFiles(const std::string& prefix, std::string folder)
{
    std::lock_guard lock(FImpl->Lock);
    FImpl->FileFolders.emplace_back(prefix, std::move(folder));
}

void TestHttpServer::ReleaseStalls()
{
    {
        std::lock_guard lock(FImpl->StallLock);
        FImpl->Released = true;
    }
    FImpl->StallChanged.notify_all();
}

void TestHttpServer::OpenGates()
{
    {
        std::lock_guard lock(FImpl->StallLock);
        FImpl->GatesOpen = true;
    }
    FImpl->StallChanged.notify_all();
}

std::vector<TestRequest> TestHttpServer::Requests() const
{
    std::lock_guard lock(FImpl->Lock);
    return FImpl->Log;
}

std::size_t TestHttpServer::RequestCount(const std::string& path) const
{
    std::lock_guard lock(FImpl->Lock);
    return static_cast<std::size_t>(
        std::count_if(FImpl->Log.begin(), FImpl->Log.end(),
                      [&](const TestRequest& request) { return request.Path == path; }));
}

// ---------------------------------------------------------------------------

RawSocketServer::RawSocketServer(std::string reply, Ending ending, std::chrono::milliseconds pause)
    : FReply(std::move(reply)), FEnding(ending), FPause(pause)
{
    FListen = ListenOnLoopback(64, FPort);
    FAcceptor = std::thread([this] { AcceptLoop(); });
}

RawSocketServer::~RawSocketServer()
{
    FStopping = true;
    FAcceptor.join();
    std::vector<std::thread> sessions;
    {
        std::lock_guard lock(FLock);
        sessions.swap(FSessions);
    }
    for (std::thread& session : sessions)
        session.join();
    ::close(FListen);
}

std::string RawSocketServer::Url(const std::string& path) const
{
    return LoopbackUrl(FPort, path);
}

void RawSocketServer::AcceptLoop()
{
    while (!FStopping.load()) {
        if (!WaitReadable(FListen, 100, FStopping))
            continue;
        int fd = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++FConnections;
        std::lock_guard lock(FLock);
        FSessions.emplace_back([this, fd] { Session(fd); });
    }
}

void RawSocketServer::Session(int fd)
{
    // The request head; what it says does not matter.
    std::string head;
    char buffer[4096];
    while (head.size() < 64 * 1024 && head.find("\r\n\r\n") == std::string::npos) {
        if (!WaitReadable(fd, 2000, FStopping))
            break;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    SendAll(fd, FReply);
    for (auto waited = std::chrono::milliseconds(0); waited < FPause && !FStopping.load();
         waited += std::chrono::milliseconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    switch (FEnding) {
    case Ending::Reset: {
        linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        break;
    }
    case Ending::Close:
        ::shutdown(fd, SHUT_WR);
        // Drain until the client closes, so that closing sends no reset.
        while (WaitReadable(fd, 2000, FStopping) && ::recv(fd, buffer, sizeof buffer, 0) > 0) {}
        break;
    case Ending::Hold:
        while (WaitReadable(fd, -1, FStopping) && ::recv(fd, buffer, sizeof buffer, 0) > 0) {}
        break;
    }
    ::close(fd);
}

// ---------------------------------------------------------------------------

UnresponsiveListener::UnresponsiveListener()
{
    // With a backlog of 0 the kernel queues one connection; this object makes
    // it itself, and later handshakes are dropped, never refused.
    FListen = ListenOnLoopback(0, FPort);
    FFiller = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(FPort));
    if (FFiller < 0 || ::connect(FFiller, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        const std::string error = std::strerror(errno);
        if (FFiller >= 0)
            ::close(FFiller);
        ::close(FListen);
        throw std::runtime_error("UnresponsiveListener: " + error);
    }
}

UnresponsiveListener::~UnresponsiveListener()
{
    ::close(FFiller);
    ::close(FListen);
}

std::string UnresponsiveListener::Url(const std::string& path) const
{
    return LoopbackUrl(FPort, path);
}

}  // namespace tembrook::test
