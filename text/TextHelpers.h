#pragma once
// The seven helpers the page parsers and the release record use to take links
// apart and clean table cells. They keep no state, never raise, take CP932 text
// and return a new value; all are linear in the length of their input.

#include <string>
#include <string_view>

#include "DateUtils.h"

namespace tembrook {

// The URL up to and including its last "/" or ":" that is not a trail byte;
// empty when it has neither. A query part is not treated specially.
std::string ExtractURLPath(std::string_view url);

// The value of the first href attribute of one HTML line (attribute name in
// any ASCII case; the value keeps its case). Cut at the first ">" and the first
// blank, the part after the first "=", then, if it holds a double quote
// anywhere, its first and last bytes dropped. Single quotes stay. A line
// without "href" is cut the same way from its start.
std::string ExtractHrefValue(std::string_view line);

// The text outside "<...>" tags (tags do not nest; an unclosed "<" removes the
// rest; a stray ">" disappears; "<" and ">" count only as single bytes),
// trimmed of bytes 0x20 and below. Character references stay as they are.
std::string RemoveHTMLTags(std::string_view text);

// True when the text is not empty and every byte is an ASCII digit 0-9.
bool IsAllDigits(std::string_view text) noexcept;

// Replaces the 73 full-width characters A-Z, a-z, 0-9 and + - * / , . ! ? ( ) %
// by their ASCII bytes, in one left-to-right pass over whole characters (a
// byte pair that starts on a trail byte is never replaced). Nothing after the
// first NUL is replaced; the full-width space and every other character stay.
std::string FullToHalfWidth(std::string_view text);

// Day 1 of the month of date, 00:00. A date outside years 1..9999 or not
// finite is returned unchanged.
TDateTime FirstDayOfMonth(TDateTime date) noexcept;
// The last day of the month of date, 00:00 (Gregorian leap years). A date
// outside years 1..9999 or not finite is returned unchanged.
TDateTime LastDayOfMonth(TDateTime date) noexcept;

}  // namespace tembrook
