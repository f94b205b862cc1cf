#include "LinkResolution.h"

#include <cstddef>

#include "SjisString.h"
#include "TextHelpers.h"

namespace tembrook {

namespace {

bool IsAsciiAlpha(char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The scheme ("http") and the scheme://server part of an absolute URL, or
// nothing when url does not start with a scheme, "://" and a server name.
struct TUrlOrigin {
    std::string_view Scheme;
    std::string_view Origin;
};

bool SplitOrigin(std::string_view url, TUrlOrigin& origin) noexcept
{
    if (url.empty() || !IsAsciiAlpha(url[0]))
        return false;
    std::size_t i = 1;
    while (i < url.size() &&
           (IsAsciiAlpha(url[i]) || (url[i] >= '0' && url[i] <= '9') || url[i] == '+' || url[i] == '-' ||
            url[i] == '.'))
        ++i;
    if (url.substr(i, 3) != "://")
        return false;
    const std::size_t serverStart = i + 3;
    std::size_t serverEnd = serverStart;
    while (serverEnd < url.size() && url[serverEnd] != '/' && url[serverEnd] != '?' && url[serverEnd] != '#')
        ++serverEnd;
    if (serverEnd == serverStart)
        return false;
    origin.Scheme = url.substr(0, i);
    origin.Origin = url.substr(0, serverEnd);
    return true;
}

}  // namespace

std::string ResolveLink(std::string_view sourceURL, std::string_view link)
{
    if (StartsWithIgnoreAsciiCase(link, "http://") || StartsWithIgnoreAsciiCase(link, "https://"))
        return std::string(link);
    TUrlOrigin origin;
    if (!link.empty() && link[0] == '/' && SplitOrigin(sourceURL, origin)) {
        std::string url;
        if (link.size() >= 2 && link[1] == '/') {
            // "//server/path": the scheme of the top page, the rest from the link.
            url.reserve(origin.Scheme.size() + 1 + link.size());
            url.append(origin.Scheme).append(":").append(link);
        } else {
            // "/path": the top page's scheme and server.
            url.reserve(origin.Origin.size() + link.size());
            url.append(origin.Origin).append(link);
        }
        return url;
    }
    return ExtractURLPath(sourceURL).append(link);
}

}  // namespace tembrook
