#include "PageDecoder.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include "Cp932Codec.h"
#include "PageEncoding.h"

namespace tembrook {

namespace {

// The encodings that the platform's tables (ICU) decode, by their names there.
const char* TableName(TPageEncoding encoding)
{
    return encoding == TPageEncoding::peEucJp ? "EUC-JP" : "ISO-2022-JP";
}

QStringDecoder DecoderFor(TPageEncoding encoding)
{
    // The mark, if any, is dropped before decoding; one that follows it is
    // a character of the text.
    constexpr auto keepMarks = QStringConverter::Flag::ConvertInitialBom;
    switch (encoding) {
    case TPageEncoding::peUtf8:
        return QStringDecoder(QStringConverter::Utf8, keepMarks);
    case TPageEncoding::peUtf16Le:
        return QStringDecoder(QStringConverter::Utf16LE, keepMarks);
    case TPageEncoding::peUtf16Be:
        return QStringDecoder(QStringConverter::Utf16BE, keepMarks);
    case TPageEncoding::peEucJp:
    case TPageEncoding::peIso2022Jp:
        return QStringDecoder(TableName(encoding), keepMarks);
    case TPageEncoding::peShiftJis:
        break;
    }
    return QStringDecoder();
}

}  // namespace

std::string DecodePageToCP932(std::string& body, std::string_view contentType, bool cutShort)
{
    TEncodingSniff sniff = SniffPageEncoding(contentType, body, cutShort);
    if (sniff.Encoding == TPageEncoding::peShiftJis)
        return std::move(sniff.UnreadLabel);
    QStringDecoder decoder = DecoderFor(sniff.Encoding);
    if (!decoder.isValid())
        return TableName(sniff.Encoding);  // a system without that table: read as Shift_JIS
    const std::string_view text = std::string_view(body).substr(sniff.BomLength);
    const QString decoded = decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    body = ToCP932WithReferences(decoded);
    return std::move(sniff.UnreadLabel);
}

}  // namespace tembrook
