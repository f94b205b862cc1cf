#pragma once
// Making the links of a top page absolute. The rules are the import's own,
// not a browser's: a link is never decoded or normalised, and a link that is
// neither absolute nor rooted goes after the top page's directory as it
// stands.

#include <string>
#include <string_view>

namespace tembrook {

// The link resolved against sourceURL: "http://" / "https://" (any ASCII
// case) as it stands; "//" takes the scheme of sourceURL and "/" its scheme
// and server, when sourceURL has a scheme://server; anything else (an empty
// link too) goes after ExtractURLPath(sourceURL).
std::string ResolveLink(std::string_view sourceURL, std::string_view link);

}  // namespace tembrook
