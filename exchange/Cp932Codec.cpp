#include "Cp932Codec.h"

#include <QByteArray>
#include <QStringDecoder>

#include <array>
#include <cstdint>
#include <memory>

#include "SjisString.h"

namespace tembrook {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::size_t kLeadCount = 60;  // 0x81-0x9F and 0xE0-0xFC

constexpr bool CanTrail(unsigned char b) noexcept
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

constexpr std::size_t LeadIndex(unsigned char lead) noexcept
{
    return lead <= 0x9F ? lead - 0x81U : lead - 0xE0U + 31U;
}

constexpr unsigned char LeadOfIndex(std::size_t index) noexcept
{
    return static_cast<unsigned char>(index < 31 ? 0x81 + index : 0xE0 + index - 31);
}

struct TDecodeTables {
    std::array<char16_t, 256> Single{};
    std::array<char16_t, kLeadCount * 256> Double{};  // [LeadIndex * 256 + trail]
};

// Reads the pairs one lead byte at a time through the platform's table. Every
// pair here is well formed, so the codec gives exactly one character for
// each: the assigned one, or its substitute (U+001A or U+FFFD) for a pair it
// does not assign.
TDecodeTables MakeDecodeTables()
{
    TDecodeTables tables;
    tables.Single.fill(kReplacement);  // what stays U+FFFD has no character
    tables.Double.fill(kReplacement);
    for (unsigned b = 0; b < 0x80; ++b)
        tables.Single[b] = static_cast<char16_t>(b);
    QStringDecoder codec("windows-31j", QStringConverter::Flag::Stateless);
    if (!codec.isValid())
        return tables;  // without the platform's table only ASCII decodes
    const auto assigned = [](QChar c) { return c.unicode() == 0x1A ? kReplacement : c.unicode(); };

    QByteArray katakana;
    for (unsigned b = 0xA1; b <= 0xDF; ++b)
        katakana.append(static_cast<char>(b));
    const QString singles = codec.decode(katakana);
    if (singles.size() == katakana.size())
        for (qsizetype i = 0; i < singles.size(); ++i)
            tables.Single[0xA1 + static_cast<std::size_t>(i)] = assigned(singles[i]);

    for (std::size_t lead = 0; lead < kLeadCount; ++lead) {
        QByteArray pairs;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
            if (CanTrail(static_cast<unsigned char>(trail))) {
                pairs.append(static_cast<char>(LeadOfIndex(lead)));
                pairs.append(static_cast<char>(trail));
            }
        codec.resetState();
        const QString row = codec.decode(pairs);
        if (row.size() != pairs.size() / 2)
            continue;  // not one character a pair: the row stays unassigned
        qsizetype at = 0;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
            if (CanTrail(static_cast<unsigned char>(trail)))
                tables.Double[lead * 256 + trail] = assigned(row[at++]);
    }
    return tables;
}

const TDecodeTables& DecodeTables()
{
    static const TDecodeTables tables = MakeDecodeTables();
    return tables;
}

// The bytes of every BMP character that decoding can give (0 for none):
// one byte below 0x100, else lead << 8 | trail.
using TEncodeTable = std::array<std::uint16_t, 0x10000>;

std::unique_ptr<TEncodeTable> MakeEncodeTable()
{
    const TDecodeTables& decode = DecodeTables();
    auto table = std::make_unique<TEncodeTable>();
    table->fill(0);
    for (unsigned b = 0xA1; b <= 0xDF; ++b)
        if (const char16_t c = decode.Single[b]; c != kReplacement)
            (*table)[c] = static_cast<std::uint16_t>(b);
    // Where pairs repeat a character, the first lead byte in this order wins.
    static constexpr std::array<std::pair<unsigned, unsigned>, 9> kLeadOrder = {{
        {0x81, 0x84},  // JIS X 0208
        {0x88, 0x9F},
        {0xE0, 0xEA},
        {0x87, 0x87},  // NEC row 13
        {0xFA, 0xFC},  // IBM extension
        {0xED, 0xEE},  // NEC-selected IBM extension
        {0x85, 0x86},  // the rest, which repeat nothing
        {0xEB, 0xEC},
        {0xEF, 0xF9},
    }};
    for (const auto& [first, last] : kLeadOrder)
        for (unsigned lead = first; lead <= last; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t c = decode.Double[LeadIndex(static_cast<unsigned char>(lead)) * 256 + trail];
                if (c != kReplacement && (*table)[c] == 0)
                    (*table)[c] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
    return table;
}

const TEncodeTable& EncodeTable()
{
    static const std::unique_ptr<TEncodeTable> table = MakeEncodeTable();
    return *table;
}

// Characters that CP932 lacks but holds a look-alike of, which its own
// decoding gives instead (0x8160 reads as U+FF5E FULLWIDTH TILDE, not
// U+301C WAVE DASH): pages in Unicode write the one, Shift_JIS pages the
// other, and a reader means the same character by both.
struct TCp932Twin {
    char16_t Character;
    std::uint16_t Bytes;
};
constexpr std::array<TCp932Twin, 8> kCp932Twins = {{
    {0x301C, 0x8160},  // WAVE DASH                -> FULLWIDTH TILDE
    {0x2016, 0x8161},  // DOUBLE VERTICAL LINE     -> PARALLEL TO
    {0x2212, 0x817C},  // MINUS SIGN               -> FULLWIDTH HYPHEN-MINUS
    {0x00A2, 0x8191},  // CENT SIGN                -> FULLWIDTH CENT SIGN
    {0x00A3, 0x8192},  // POUND SIGN               -> FULLWIDTH POUND SIGN
    {0x00AC, 0x81CA},  // NOT SIGN                 -> FULLWIDTH NOT SIGN
    {0x2014, 0x815C},  // EM DASH                  -> HORIZONTAL BAR
    {0x00A6, 0xFA55},  // BROKEN BAR               -> FULLWIDTH BROKEN BAR
}};

void AppendCode(std::string& bytes, std::uint16_t code)
{
    if (code < 0x100) {
        bytes += static_cast<char>(code);
    } else {
        bytes += static_cast<char>(code >> 8);
        bytes += static_cast<char>(code & 0xFF);
    }
}

void AppendReference(std::string& bytes, char32_t codePoint)
{
    char digits[16];
    char* end = digits + sizeof digits;
    char* at = end;
    do {
        *--at = static_cast<char>('0' + codePoint % 10);
        codePoint /= 10;
    } while (codePoint != 0);
    bytes += "&#";
    bytes.append(at, end);
    bytes += ';';
}

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
    const TDecodeTables& tables = DecodeTables();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    qsizetype length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        char16_t c = kReplacement;
        if (!IsLeadByteValue(b)) {
            c = tables.Single[b];
        } else if (i + 1 < bytes.size() && CanTrail(static_cast<unsigned char>(bytes[i + 1]))) {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            const char16_t pair = tables.Double[LeadIndex(b) * 256 + trail];
            // An ASCII byte that completes no character is read on its own.
            if (pair != kReplacement || trail >= 0x80) {
                c = pair;
                ++i;
            }
        }
        out[length++] = QChar(c);
    }
    text.truncate(length);
    return text;
}

namespace {

// The one encoding loop: ASCII as itself, every other character through
// table() (asked for only once a text holds one) and, where the table has
// no bytes for it, through missing(bytes, codePoint). A character beyond
// the BMP reaches missing with its full code point; an unpaired surrogate
// as U+FFFD.
template <class TTable, class TMissing>
std::string EncodeCp932(QStringView text, TTable&& table, TMissing&& missing)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()) * 2);
    const TEncodeTable* codes = nullptr;
    const qsizetype size = text.size();
    const char16_t* chars = reinterpret_cast<const char16_t*>(text.data());
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
            missing(bytes, QChar::surrogateToUcs4(c, chars[i + 1]));  // CP932 lacks every one
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c)) {
            missing(bytes, kReplacement);
            continue;
        }
        if (codes == nullptr)
            codes = &table();
        if (const std::uint16_t code = (*codes)[c]; code != 0)
            AppendCode(bytes, code);
        else
            missing(bytes, c);
    }
    return bytes;
}

const TEncodeTable& EncodeTableWithTwins()
{
    static const std::unique_ptr<TEncodeTable> table = [] {
        auto withTwins = std::make_unique<TEncodeTable>(EncodeTable());
        for (const TCp932Twin& twin : kCp932Twins)
            if ((*withTwins)[twin.Character] == 0)
                (*withTwins)[twin.Character] = twin.Bytes;
        return withTwins;
    }();
    return *table;
}

}  // namespace

std::string ToCP932(QStringView text)
{
    return EncodeCp932(text, &EncodeTable, [](std::string& bytes, char32_t) { bytes += '?'; });
}

std::string ToCP932WithReferences(QStringView text)
{
    // The C1 controls have no bytes in either table.
    return EncodeCp932(text, &EncodeTableWithTwins, [](std::string& bytes, char32_t codePoint) {
        AppendReference(bytes, codePoint >= 0x80 && codePoint <= 0x9F ? kReplacement : codePoint);
    });
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    return FromCP932(bytes).toStdString();
}

}  // namespace tembrook
