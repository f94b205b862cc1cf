#pragma once
// The import's page decoder: the one place where a page that is not in
// Shift_JIS becomes the CP932 text the parsers read. The front-ends hand it
// to their transfer starter, so it runs on each transfer's worker thread once
// the body is complete:
//
//   tembrook::TImportTransferStarter starter(window, &tembrook::DecodePageToCP932);
//
// The encoding is found as a browser finds it (SniffPageEncoding, text/): a
// byte-order mark, the Content-Type header's charset, a <meta> in the first
// 1024 bytes, a body that is valid UTF-8, else Shift_JIS. A Shift_JIS page
// is left exactly as it came (no copy). Any other page is decoded (UTF-8,
// UTF-16, EUC-JP, ISO-2022-JP; a malformed sequence gives U+FFFD) and written
// once into CP932 by ToCP932WithReferences (Cp932Codec.h), so that what
// CP932 lacks stands as a character reference ("&#9829;") that the outputs
// for other programs and the list's cells read back as the character.

#include <string>
#include <string_view>

namespace tembrook {

// Rewrites body into CP932 in place (see above) and returns the encoding
// label the page declared that is not read here (empty when none), for the
// road's log.
std::string DecodePageToCP932(std::string& body, std::string_view contentType, bool cutShort);

}  // namespace tembrook
