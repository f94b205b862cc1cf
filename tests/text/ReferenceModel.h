#pragma once
// Straightforward, deliberately slow re-statements of the string rules: every
// byte is classified by reading the text from its start, and FullToHalfWidth
// replaces by repeated search from the start. The randomized tests compare the
// linear implementations against these on many generated texts.

#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tembrook::reference {

// 0 single, 1 lead, 2 trail: read from the start of the text.
inline std::vector<int> Classify(std::string_view text)
{
    std::vector<int> types(text.size(), 0);
    bool expectTrail = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (expectTrail) {
            types[i] = 2;
            expectTrail = false;
        } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            types[i] = 1;
            expectTrail = true;
        }
    }
    return types;
}

inline std::string_view CutAtNul(std::string_view text)
{
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// Every start position, every byte compared, classification rebuilt per
// candidate. With nulFromStart false, only a NUL at or after from1 ends the
// text (the rule of the search that starts at a position).
inline std::size_t Pos(std::string_view needle, std::string_view text, std::size_t from1 = 1,
                       bool nulFromStart = true)
{
    needle = CutAtNul(needle);
    const std::size_t start = from1 < 1 ? 0 : from1 - 1;
    std::string_view cut = CutAtNul(text);
    if (!nulFromStart && start <= text.size()) {
        cut = text.substr(0, start + CutAtNul(text.substr(start)).size());
    }
    if (needle.empty() || cut.empty())
        return 0;
    for (std::size_t i = start; i + needle.size() <= cut.size(); ++i) {
        if (cut.substr(i, needle.size()) != needle)
            continue;
        if (Classify(text.substr(0, i + 1))[i] == 2)
            continue;
        return i + 1;
    }
    return 0;
}

inline std::size_t LastDelimiter(std::string_view set, std::string_view text)
{
    const auto types = Classify(text);
    for (std::size_t i = text.size(); i > 0; --i) {
        if (types[i - 1] != 2 && set.find(text[i - 1]) != std::string_view::npos)
            return i;
    }
    return 0;
}

// The 73 characters as the conversion table lists them, in table order.
inline std::vector<std::pair<std::string, char>> WidthTable()
{
    std::vector<std::pair<std::string, char>> table;
    const auto pair = [](int code) {
        return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    };
    for (int i = 0; i < 26; ++i)
        table.emplace_back(pair(0x8260 + i), static_cast<char>('A' + i));
    for (int i = 0; i < 26; ++i)
        table.emplace_back(pair(0x8281 + i), static_cast<char>('a' + i));
    for (int i = 0; i < 10; ++i)
        table.emplace_back(pair(0x824F + i), static_cast<char>('0' + i));
    const int symbols[] = {0x817B, 0x817C, 0x8196, 0x815E, 0x8143, 0x8144,
                           0x8149, 0x8148, 0x8169, 0x816A, 0x8193};
    const char ascii[] = "+-*/,.!?()%";
    for (int i = 0; i < 11; ++i)
        table.emplace_back(pair(symbols[i]), ascii[i]);
    return table;
}

// Each entry in table order: search, replace, search again from the start.
inline std::string FullToHalfWidth(std::string text)
{
    for (const auto& [wide, ascii] : WidthTable()) {
        for (std::size_t p = Pos(wide, text); p > 0; p = Pos(wide, text)) {
            text = text.substr(0, p - 1) + ascii + text.substr(p + 1);
        }
    }
    return text;
}

// Byte by byte with the classification read from the start: a "<" or ">"
// that is a single-byte character opens or closes a tag, every other
// character outside a tag is kept, then bytes 0x20 and below are trimmed.
inline std::string RemoveHTMLTags(std::string_view text)
{
    const auto types = Classify(text);
    std::string kept;
    bool inTag = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool single = types[i] == 0;
        if (single && text[i] == '<') {
            inTag = true;
        } else if (single && text[i] == '>') {
            inTag = false;
        } else if (!inTag) {
            kept += text[i];
        }
    }
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t begin = 0, end = kept.size();
    while (end > begin && blank(kept[end - 1]))
        --end;
    while (begin < end && blank(kept[begin]))
        ++begin;
    return kept.substr(begin, end - begin);
}

// Random texts over an alphabet rich in the bytes the rules care about.
inline std::string RandomText(std::mt19937& rng, std::size_t maxLength)
{
    static const unsigned char kBytes[] = {'a',  'A',  'Z',  'h',  'r',  'e',  'f',  '=',  '"',
                                           '/',  ':',  '<',  '>',  ' ',  '\r', '\n', '\t', '0',
                                           '9',  0x00, 0x40, 0x60, 0x4F, 0x5C, 0x7B, 0x7C, 0x81,
                                           0x82, 0x83, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xFC, 0xFD};
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kBytes - 1);
    std::string text(length(rng), '\0');
    for (auto& c : text)
        c = static_cast<char>(kBytes[pick(rng)]);
    return text;
}

}  // namespace tembrook::reference
