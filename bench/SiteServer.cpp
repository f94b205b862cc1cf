// tembrook_bench_site: the generated release site on a loopback port, for the
// fresh-process benchmarks (bench/fresh_process.py).
//
//   tembrook_bench_site ROWS [utf-8]
//
// Serves /comic/index.html (16 KiB of news, then the heading and the links
// list1.html and list2.html) and the two table pages of ROWS/2 rows each
// (PageGenerator.h), every body with its Content-Length, from memory, without
// copying a page per request; with "utf-8", every page is written in UTF-8
// and served as "text/html; charset=utf-8". Prints "port=N" on standard output once it is
// listening on 127.0.0.1, and stops when its standard input reaches its end
// (the runner closes the pipe, or dies).

#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>

#include "Cp932Codec.h"
#include "PageGenerator.h"

int main(int argc, char** argv)
{
    const int rows = argc >= 2 ? std::atoi(argv[1]) : 0;
    const bool utf8 = argc == 3 && std::string(argv[2]) == "utf-8";
    if (rows < 2 || argc > 3 || (argc == 3 && !utf8)) {
        std::fputs("usage: tembrook_bench_site ROWS [utf-8]   (ROWS: 2 or more)\n", stderr);
        return 2;
    }
    using tembrook::bench::MakeTablePage;
    std::map<std::string, std::string> pages = {
        {"/comic/index.html", tembrook::bench::MakeTopPage(16 * 1024, {"list1.html", "list2.html"})},
        {"/comic/list1.html", MakeTablePage(rows / 2, 0)},
        {"/comic/list2.html", MakeTablePage(rows - rows / 2, rows / 2)},
    };
    if (utf8)
        for (auto& [path, body] : pages)
            body = tembrook::Cp932ToUtf8(body);
    const char* const contentType = utf8 ? "text/html; charset=utf-8" : "text/html";

    httplib::Server server;
    for (const auto& [path, body] : pages) {
        const std::string* text = &body;
        server.Get(path, [text, contentType](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                text->size(), contentType,
                [text](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    return sink.write(text->data() + offset, length);
                });
        });
    }
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        std::fputs("tembrook_bench_site: no loopback port could be bound\n", stderr);
        return 1;
    }
    std::thread serving([&server] { server.listen_after_bind(); });
    std::printf("port=%d\n", port);
    std::fflush(stdout);

    char buffer[256];
    while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {}
    server.stop();
    serving.join();
    return 0;
}
