#pragma once
// Releases as an iCalendar file (RFC 5545) for calendar programs: one
// all-day event per release that has a date, written by the window's
// "カレンダーに書き出す…" and the exporter's --format ics.
//
//   TCalendarFile file = BuildCalendarFile(records, toUtf8, CurrentCalendarSettings());
//   write(file.Text);  // UTF-8, CR LF, lines folded at 75 octets
//
// An exact day is that day; 上旬 spans the 1st to the 10th, 中旬 the 11th to
// the 20th, 下旬 the 21st to the month's last day; DTEND is the day after the
// last day, as all-day events need. A release of unknown date is left out
// (and counted). A record's year is the year it was read in, so a month that
// lies more than three months before today's month goes into the next year
// (a December list announces January). The summary is the title with
// " (volume)" and the description's price is the price, both as the list shows
// them (BookSaleTexts.h: no price up to 0); the description also holds author
// and publisher. UID is a hash of publisher, title and volume, so importing a
// later file again updates the events instead of doubling them; a second
// record of the same release is left out (and counted).
//
// Text stays CP932 in the records; the edge that owns the code page gives the
// conversion to UTF-8. Whatever it returns, the file holds valid UTF-8 only
// (bytes that start no valid sequence become U+FFFD).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "BookDataListUnit.h"
#include "DateUtils.h"

namespace tembrook {

// CP932 bytes to UTF-8.
using TUtf8Converter = std::function<std::string(std::string_view cp932)>;

struct TCalendarSettings {
    TCivilDate Today;                      // decides the year rule
    std::string Stamp;                     // DTSTAMP, "YYYYMMDDTHHMMSSZ"
    std::string ThousandsSeparator = ",";  // of the price in the description
};

// Today's date, the current UTC time and the locale's separator (platform/).
TCalendarSettings CurrentCalendarSettings();

struct TCalendarFile {
    std::string Text;
    std::size_t Events = 0;
    std::size_t Undated = 0;   // left out: the date is unknown or does not exist in its year
    std::size_t Repeated = 0;  // left out: the same publisher, title and volume came before
};

TCalendarFile BuildCalendarFile(const std::vector<const THtmlBookSaleData*>& records,
                                const TUtf8Converter& toUtf8, const TCalendarSettings& settings);

// The days of one release: First up to the day before End.
struct TCalendarDays {
    TCivilDate First;
    TCivilDate End;
};
std::optional<TCalendarDays> CalendarDays(const TBookSaleRootData& record, const TCivilDate& today);

// "<16 hex digits>@tembrook" from publisher, title and volume.
std::string CalendarUid(const THtmlBookSaleData& record);

// TEXT escaping: backslash, semicolon and comma get a backslash, a line break
// becomes \n, other control characters (but tab) are dropped.
std::string EscapeCalendarText(std::string_view utf8);

// A content line folded at 75 octets (continuations start with a blank),
// never inside a UTF-8 sequence; every physical line ends in CR LF.
std::string FoldCalendarLine(std::string_view line);

}  // namespace tembrook
