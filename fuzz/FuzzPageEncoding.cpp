// Fuzzes how a downloaded page's encoding is found (SniffPageEncoding) and
// how the page is then written into CP932 for the parsers
// (DecodePageToCP932): the Content-Type header value and the body both come
// from the server.
//
// Input: the first byte's low bit says whether the body was cut short; then
// the header value up to the first line feed; the rest is the body.
//
// Properties besides the sanitizers: a byte-order mark is dropped only where
// one stands; the unread label is at most 40 printable ASCII characters; a
// page read as Shift_JIS reaches the parsers untouched; every other page
// becomes text that CP932 reads without a damaged character (what it lacks
// stands as a reference), with no NUL the page did not have, and that reads
// as Shift_JIS again when a header says so.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Cp932Codec.h"
#include "FuzzChecks.h"
#include "PageDecoder.h"
#include "PageEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool cutShort = (data[0] & 1) != 0;
    const std::size_t newline = input.find('\n');
    const std::string_view contentType = input.substr(0, newline);
    const std::string_view body =
        newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

    const tembrook::TEncodingSniff sniff = tembrook::SniffPageEncoding(contentType, body, cutShort);
    TEMBROOK_FUZZ_CHECK(sniff.BomLength <= body.size());
    TEMBROOK_FUZZ_CHECK(sniff.BomLength == 0 || sniff.Encoding != tembrook::TPageEncoding::peShiftJis);
    TEMBROOK_FUZZ_CHECK(sniff.UnreadLabel.size() <= 40);
    for (const char c : sniff.UnreadLabel)
        TEMBROOK_FUZZ_CHECK(c >= 0x20 && c <= 0x7E);

    std::string page(body);
    const std::string unread = tembrook::DecodePageToCP932(page, contentType, cutShort);
    TEMBROOK_FUZZ_CHECK(unread == sniff.UnreadLabel || sniff.Encoding == tembrook::TPageEncoding::peEucJp ||
                        sniff.Encoding == tembrook::TPageEncoding::peIso2022Jp);
    if (sniff.Encoding == tembrook::TPageEncoding::peShiftJis) {
        TEMBROOK_FUZZ_CHECK(page == body);
        return 0;
    }
    TEMBROOK_FUZZ_CHECK(!tembrook::FromCP932(page).contains(QChar::ReplacementCharacter));
    TEMBROOK_FUZZ_CHECK(page.find('\0') == std::string::npos || body.find('\0') != std::string_view::npos);
    std::string again = page;
    TEMBROOK_FUZZ_CHECK(tembrook::DecodePageToCP932(again, "text/html; charset=shift_jis", false).empty());
    TEMBROOK_FUZZ_CHECK(again == page);
    return 0;
}
