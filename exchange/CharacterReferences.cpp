#include "CharacterReferences.h"

#include <libxml/HTMLparser.h>

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace tembrook {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLargest = 0x10FFFF;

// What HTML reads for the numbers 0x80-0x9F: the characters windows-1252
// puts there; 0 where it has none and the number stands for itself.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char32_t NumericCharacter(char32_t value)
{
    if (value == 0 || value > kLargest || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    if (value >= 0x80 && value <= 0x9F && kWindows1252[value - 0x80] != 0)
        return kWindows1252[value - 0x80];
    return value;
}

int DigitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int digit = -1;
    if (u >= u'0' && u <= u'9')
        digit = u - u'0';
    else if (u >= u'a' && u <= u'f')
        digit = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        digit = u - u'A' + 10;
    return digit < base ? digit : -1;
}

// "#NNNN" or "#xHHHH" before the ";" at end: the character, or nothing.
std::optional<char32_t> Numeric(QStringView body)
{
    const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
    const int base = hex ? 16 : 10;
    const QStringView digits = body.mid(hex ? 2 : 1);
    if (digits.isEmpty())
        return std::nullopt;
    char32_t value = 0;
    for (const QChar c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        // Past the largest code point the value only has to stay too large.
        value = value > kLargest ? kLargest + 1
                                 : value * static_cast<char32_t>(base) + static_cast<char32_t>(digit);
    }
    return NumericCharacter(value);
}

// A name of HTML 4's table: the character, or nothing.
std::optional<char32_t> Named(QStringView name)
{
    if (name.isEmpty() || name.size() > 16)
        return std::nullopt;
    char ascii[17];
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')))
            return std::nullopt;
        ascii[i] = static_cast<char>(u);
    }
    ascii[name.size()] = '\0';
    // The names pages write most often, before the table's linear search.
    static constexpr std::pair<std::string_view, char32_t> kCommon[] = {
        {"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"nbsp", U'\u00A0'}};
    for (const auto& [common, character] : kCommon)
        if (common == std::string_view(ascii, static_cast<std::size_t>(name.size())))
            return character;
    const htmlEntityDesc* entity = htmlEntityLookup(reinterpret_cast<const xmlChar*>(ascii));
    if (entity == nullptr)
        return std::nullopt;
    return static_cast<char32_t>(entity->value);
}

}  // namespace

QString DecodeCharacterReferences(QStringView text)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text.toString();
    QString decoded;
    decoded.reserve(text.size());
    qsizetype done = 0;
    for (; amp >= 0; amp = text.indexOf(u'&', amp + 1)) {
        // A reference is short; the ";" is looked for a few characters on.
        const qsizetype end = text.mid(amp + 1, 40).indexOf(u';');
        if (end < 0)
            continue;
        const QStringView body = text.mid(amp + 1, end);
        const std::optional<char32_t> character = body.startsWith(u'#') ? Numeric(body) : Named(body);
        if (!character)
            continue;
        decoded += text.mid(done, amp - done);
        const char32_t one[1] = {*character};
        decoded += QString::fromUcs4(one, 1);
        done = amp + 1 + end + 1;
        amp = done - 1;
    }
    decoded += text.mid(done);
    return decoded;
}

}  // namespace tembrook
