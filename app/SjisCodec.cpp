#include "SjisCodec.h"

#include "SjisString.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tembrook {

namespace {
constexpr const char* kCodecName = "windows-31j";
constexpr QStringConverter::Flags kFlags = QStringConverter::Flag::Stateless;

bool IsAscii(std::string_view bytes) noexcept
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}
}  // namespace

QString FromCP932(std::string_view bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // Opening the codec costs far more than converting a table cell, so each
    // thread keeps one; it is stateless, and resetState() clears its error mark.
    thread_local QStringDecoder decoder(kCodecName, kFlags);
    decoder.resetState();
    QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    // The codec marks undecodable bytes with U+001A; show them as the
    // replacement character.
    if (decoder.hasError())
        text.replace(QChar(0x1A), QChar::ReplacementCharacter);
    // A lead byte at the very end has lost its trail byte; the codec drops it.
    if (!bytes.empty() && ByteType(bytes, bytes.size()) == TByteType::mbLeadByte)
        text.append(QChar::ReplacementCharacter);
    return text;
}

std::string ToCP932(const QString& text)
{
    thread_local QStringEncoder encoder(kCodecName, kFlags);
    encoder.resetState();
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        // Encode code point by code point so that only the characters CP932
        // lacks are replaced.
        bytes.clear();
        const QList<uint> points = text.toUcs4();
        for (const uint point : points) {
            const char32_t one[1] = {static_cast<char32_t>(point)};
            const QString piece = QString::fromUcs4(one, 1);
            QStringEncoder single(kCodecName, kFlags);
            const QByteArray encoded = single.encode(piece);
            if (single.hasError() || encoded.isEmpty())
                bytes.append('?');
            else
                bytes.append(encoded);
        }
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tembrook
