#include "TextHelpers.h"

#include <array>

#include "SjisString.h"

namespace tembrook {

namespace {

inline unsigned char U8(char c) noexcept { return static_cast<unsigned char>(c); }

// The 73 full-width characters and their ASCII forms, indexed by the trail
// byte for each of the two lead bytes that occur (0x81 and 0x82). 0 = keep.
struct TWidthTable {
  std::array<char, 256> Lead81{};
  std::array<char, 256> Lead82{};
};

constexpr TWidthTable MakeWidthTable() {
  TWidthTable table;
  for (int i = 0; i < 26; ++i) {
    table.Lead82[0x60 + i] = static_cast<char>('A' + i);  // Ａ..Ｚ = 0x8260..0x8279
    table.Lead82[0x81 + i] = static_cast<char>('a' + i);  // ａ..ｚ = 0x8281..0x829A
  }
  for (int i = 0; i < 10; ++i) table.Lead82[0x4F + i] = static_cast<char>('0' + i);  // ０..９
  table.Lead81[0x7B] = '+';  // ＋
  table.Lead81[0x7C] = '-';  // －
  table.Lead81[0x96] = '*';  // ＊
  table.Lead81[0x5E] = '/';  // ／
  table.Lead81[0x43] = ',';  // ，
  table.Lead81[0x44] = '.';  // ．
  table.Lead81[0x49] = '!';  // ！
  table.Lead81[0x48] = '?';  // ？
  table.Lead81[0x69] = '(';  // （
  table.Lead81[0x6A] = ')';  // ）
  table.Lead81[0x93] = '%';  // ％
  return table;
}

constexpr TWidthTable kWidthTable = MakeWidthTable();

}  // namespace

std::string ExtractURLPath(std::string_view url) {
  return Copy(url, 1, static_cast<std::int64_t>(LastDelimiter("/:", url)));
}

std::string ExtractHrefValue(std::string_view line) {
  const auto whole = static_cast<std::int64_t>(line.size());
  std::string value = Copy(line, static_cast<std::int64_t>(PosIgnoreCase("href", line)), whole);
  if (const std::size_t gt = AnsiPos(">", value); gt > 0) value.resize(gt - 1);
  if (const std::size_t blank = AnsiPos(" ", value); blank > 0) value.resize(blank - 1);
  const std::size_t equals = AnsiPos("=", value);
  value = Copy(value, static_cast<std::int64_t>(equals) + 1, whole);
  if (AnsiPos("\"", value) > 0) {
    value = Copy(value, 2, static_cast<std::int64_t>(value.size()) - 2);
  }
  return value;
}

std::string RemoveHTMLTags(std::string_view text) {
  // The text between tags is copied a run at a time, and the result is
  // trimmed in place, so a cell costs at most the one allocation of its
  // result (none when that fits the string's own buffer). A lead byte takes
  // the next byte with it whatever its value, so a "<" or ">" trail byte is
  // part of a character, not markup.
  std::string result;
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    // Outside a tag: keep everything up to the next single-byte "<" or ">".
    const std::size_t start = i;
    while (i < size) {
      const unsigned char b = U8(text[i]);
      if (IsLeadByteValue(b)) {
        i += (i + 1 < size) ? 2 : 1;
      } else if (b == '<' || b == '>') {
        break;
      } else {
        ++i;
      }
    }
    result.append(text, start, i - start);
    if (i >= size) break;
    // A stray ">" only disappears; a "<" opens a tag, which ends after its
    // first single-byte ">" (tags do not nest) or with the text.
    const bool opensTag = text[i] == '<';
    ++i;
    if (!opensTag) continue;
    while (i < size) {
      const unsigned char b = U8(text[i]);
      if (IsLeadByteValue(b)) {
        i += (i + 1 < size) ? 2 : 1;
      } else {
        ++i;
        if (b == '>') break;
      }
    }
  }
  std::size_t end = result.size();
  while (end > 0 && U8(result[end - 1]) <= 0x20) --end;
  std::size_t begin = 0;
  while (begin < end && U8(result[begin]) <= 0x20) ++begin;
  result.erase(end);
  result.erase(0, begin);
  return result;
}

bool IsAllDigits(std::string_view text) noexcept {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string FullToHalfWidth(std::string_view text) {
  // Searching stops at the first NUL, so nothing after it is replaced.
  const std::size_t limit = UntilNul(text).size();
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < limit) {
    const unsigned char b = U8(text[i]);
    if (!IsLeadByteValue(b)) {
      result += text[i];
      ++i;
      continue;
    }
    if (i + 1 >= limit) {  // a lead byte with no trail byte before the end or NUL
      result += text[i];
      ++i;
      continue;
    }
    const unsigned char trail = U8(text[i + 1]);
    char ascii = 0;
    if (b == 0x81) ascii = kWidthTable.Lead81[trail];
    if (b == 0x82) ascii = kWidthTable.Lead82[trail];
    if (ascii != 0) {
      result += ascii;
    } else {
      result.append(text.substr(i, 2));
    }
    i += 2;
  }
  result.append(text.substr(limit));
  return result;
}

TDateTime FirstDayOfMonth(TDateTime date) noexcept {
  const TCivilDate civil = DecodeDate(date);
  TDateTime first = date;
  if (civil.Year == 0 || !TryEncodeDate(civil.Year, civil.Month, 1, first)) return date;
  return first;
}

TDateTime LastDayOfMonth(TDateTime date) noexcept {
  // Day 1 of the next month minus one day is the month's last day; counting
  // the month's days gives the same value and also works for December 9999.
  const TCivilDate civil = DecodeDate(date);
  TDateTime last = date;
  if (civil.Year == 0 ||
      !TryEncodeDate(civil.Year, civil.Month, DaysInMonth(civil.Year, civil.Month), last)) {
    return date;
  }
  return last;
}

}  // namespace tembrook
