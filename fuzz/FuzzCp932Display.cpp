// Fuzzes the conversion of CP932 bytes into the Unicode text that the window
// shows (FromCP932 of app/SjisCodec.cpp, on Qt's "windows-31j" codec) and the
// conversion back that the window uses for typed text and file names.
//
// Properties besides the sanitizers: ASCII passes through unchanged; a
// damaged byte sequence shows as U+FFFD and never as the codec's own
// substitute U+001A; text that decoded cleanly survives the way back and
// forth; and the conversion back never yields a NUL that was not there.
//
// The codec keeps IBM's order of three control codes (the byte 0x1A reads as
// U+001C, 0x1C as U+007F and 0x7F as U+001A), so a page that holds one of
// those bytes is left out of the two checks they would confuse. They are
// control characters that nobody sees in a list or a log.

#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzChecks.h"
#include "SjisCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const QString shown = tembrook::FromCP932(bytes);
    bool ascii = true;
    bool rotatedControl = false;
    for (const char c : bytes) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        rotatedControl = rotatedControl || c == '\x1A' || c == '\x1C' || c == '\x7F';
    }
    if (ascii)
        TEMBROOK_FUZZ_CHECK(shown == QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!rotatedControl)
        TEMBROOK_FUZZ_CHECK(!shown.contains(QChar(0x1A)));
    // One byte gives at most one UTF-16 unit, plus the mark for a lost trail byte.
    TEMBROOK_FUZZ_CHECK(shown.size() <= static_cast<qsizetype>(bytes.size()) + 1);

    const std::string back = tembrook::ToCP932(shown);
    TEMBROOK_FUZZ_CHECK(back.find('\0') == std::string::npos || bytes.find('\0') != std::string_view::npos);
    if (!rotatedControl && !shown.contains(QChar::ReplacementCharacter))
        TEMBROOK_FUZZ_CHECK(tembrook::FromCP932(back) == shown);

    // The command line decodes its log with a plain decoder of the same codec;
    // it must cope with the same bytes.
    QStringDecoder plain("windows-31j");
    TEMBROOK_FUZZ_CHECK(plain.isValid());
    const QString logged = plain.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    TEMBROOK_FUZZ_CHECK(logged.size() <= static_cast<qsizetype>(bytes.size()));
    return 0;
}
