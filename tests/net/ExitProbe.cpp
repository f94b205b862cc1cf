// A program that quits while transfers are still stalled, for the exit test.
//   tembrook_net_exit_probe explicit   main() calls StopAllTransfers() after the loop
//   tembrook_net_exit_probe implicit   it does not; destroying the application stops them
// Prints "started N" once every transfer hangs, and "handler" if a completion
// handler ever runs (it must not).
#include "ConnectionState.h"
#include "HTTPTransferThreadUnit.h"
#include "TestHttpServer.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

class AlwaysConnected : public tembrook::platform::TConnectionState {
public:
    bool IsOfflineByUser() override { return false; }
    bool IsConnected() override { return true; }
    bool AttemptConnect() override { return true; }
};

}  // namespace

int main(int argc, char** argv)
{
    const bool explicitStop = argc > 1 && std::strcmp(argv[1], "explicit") == 0;
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    tembrook::InitializeTransfers();
    // The servers outlive the application object, so the transfers are still
    // hanging when it goes.
    tembrook::test::TestHttpServer server;
    server.ServeStall("/stall.html", "<html>", 100000);
    tembrook::test::RawSocketServer silent("", tembrook::test::RawSocketServer::Ending::Hold);
    tembrook::test::UnresponsiveListener unresponsive;
    tembrook::platform::SetConnectionState(std::make_shared<AlwaysConnected>());

    int status = 0;
    {
        QCoreApplication app(argc, argv);
        const char* urls[] = {"/stall.html", "/stall.html", "/stall.html"};
        for (const char* path : urls) {
            auto* transfer = new tembrook::THTTPDataTransfer();
            transfer->URL = server.Url(path);
            transfer->OnTerminate = [](tembrook::THTTPDataTransfer*) { std::puts("handler"); };
            transfer->Resume();
        }
        for (const std::string& url : {silent.Url("/"), unresponsive.Url("/")}) {
            auto* transfer = new tembrook::THTTPDataTransfer();
            transfer->URL = url;
            transfer->OnTerminate = [](tembrook::THTTPDataTransfer*) { std::puts("handler"); };
            transfer->Resume();
        }
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &app, [&] {
            if (server.StalledCount() == 3 && silent.Connections() == 1) {
                std::printf("started %zu\n", tembrook::platform::TThread::RunningCount());
                std::fflush(stdout);
                app.quit();
            }
        });
        poll.start(5);
        QTimer::singleShot(120000, &app, [&] {
            status = 2;
            app.quit();
        });
        app.exec();
        if (explicitStop)
            tembrook::StopAllTransfers();
    }
    std::printf("left %zu\n", tembrook::platform::TThread::RunningCount());
    std::fflush(stdout);
    server.ReleaseStalls();
    return status;
}
