// Fuzzes the conversion of CP932 bytes into the Unicode text that the window,
// the About box and the exporter show and write (FromCP932), and the
// conversion back that they use for typed text and file names (ToCP932).
//
// Properties besides the sanitizers: every byte 0x00-0x7F reads as itself,
// wherever it stands except as a trail byte; no byte is lost or doubled (each
// gives at most one UTF-16 unit, and a lead byte with its trail byte one);
// text that decoded without a damaged sequence survives the way back and
// forth; and the way back never yields a NUL that was not there.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Cp932Codec.h"
#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const QString shown = tembrook::FromCP932(bytes);
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        TEMBROOK_FUZZ_CHECK(shown == QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
    TEMBROOK_FUZZ_CHECK(shown.size() <= static_cast<qsizetype>(bytes.size()));
    TEMBROOK_FUZZ_CHECK(!bytes.empty() || shown.isEmpty());
    TEMBROOK_FUZZ_CHECK(QString::fromStdString(tembrook::Cp932ToUtf8(bytes)) == shown);

    const std::string back = tembrook::ToCP932(shown);
    TEMBROOK_FUZZ_CHECK(back.find('\0') == std::string::npos || bytes.find('\0') != std::string_view::npos);
    if (!shown.contains(QChar::ReplacementCharacter))
        TEMBROOK_FUZZ_CHECK(tembrook::FromCP932(back) == shown);
    return 0;
}
