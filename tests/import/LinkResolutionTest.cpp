// ResolveLink: how a link of the top page is made absolute.
#include <gtest/gtest.h>

#include <string>

#include "LinkResolution.h"

namespace tembrook {
namespace {

const std::string kSource = "http://127.0.0.1:8080/comic/index.html";

TEST(LinkResolution, EveryKindOfLink)
{
    struct Case {
        std::string Source;
        std::string Href;
        std::string Expected;
    };
    const Case cases[] = {
        // Relative links and everything that is not an address of its own go
        // after the directory of the top page, unchanged.
        {kSource, "a.html", "http://127.0.0.1:8080/comic/a.html"},
        {kSource, "../up.html", "http://127.0.0.1:8080/comic/../up.html"},
        {kSource, "sub/a.html?x=1", "http://127.0.0.1:8080/comic/sub/a.html?x=1"},
        {kSource, "ftp://127.0.0.1/a.html", "http://127.0.0.1:8080/comic/ftp://127.0.0.1/a.html"},
        {kSource, "'q.html'", "http://127.0.0.1:8080/comic/'q.html'"},
        // Links with an address of their own.
        {kSource, "http://127.0.0.2/x.html", "http://127.0.0.2/x.html"},
        {kSource, "HTTPS://127.0.0.2/x.html", "HTTPS://127.0.0.2/x.html"},
        {kSource, "hTtP://127.0.0.2/x.html", "hTtP://127.0.0.2/x.html"},
        {kSource, "/list/x.html", "http://127.0.0.1:8080/list/x.html"},
        {kSource, "//127.0.0.2/x.html", "http://127.0.0.2/x.html"},
        {"https://127.0.0.1:8443/a/b/c.html?p=1/2", "/x.html", "https://127.0.0.1:8443/x.html"},
        {"HTTP://127.0.0.1/c/", "//127.0.0.2/x.html", "HTTP://127.0.0.2/x.html"},
        {"http://127.0.0.1?list", "/x.html", "http://127.0.0.1/x.html"},
        {"http://127.0.0.1", "/x.html", "http://127.0.0.1/x.html"},
        // No scheme://server to take from: the old rule.
        {"", "a.html", "a.html"},
        {"", "/x.html", "/x.html"},
        {"", "//127.0.0.2/x.html", "//127.0.0.2/x.html"},
        {"", "http://127.0.0.2/x.html", "http://127.0.0.2/x.html"},
        {"comic/index.html", "/x.html", "comic//x.html"},
        {"http:///index.html", "/x.html", "http:////x.html"},
        {"http://127.0.0.1", "a.html", "http://a.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Source + " + " + c.Href);
        EXPECT_EQ(ResolveLink(c.Source, c.Href), c.Expected);
    }
}

}  // namespace
}  // namespace tembrook
