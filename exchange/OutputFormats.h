#pragma once
// The outputs of the release list, one builder each, and the one table of
// them that the exporter's --format, its usage text and its error messages
// read. The window writes three of them: Save writes "saved", HTML shows
// "html" and the list's menu writes "ics", so the window and the exporter
// give the same bytes for the same rows.
//
//   text   every row's text line + CR LF (CP932)
//   html   the rows' HTML entries joined by " / ", one line without its break (CP932)
//   saved  the ticked rows' text lines marked "★★★ ", two empty lines, every
//          row's text line, one more empty line; CR LF after every line (CP932)
//   csv    RFC 4180, UTF-8, CR LF, header date,date_kind,title,volume,author,
//          price,publisher,ticked; a byte-order mark first for spreadsheets
//   json   one array of objects with the same fields, UTF-8
//   ics    an iCalendar file, an all-day event per release of known date
//          (CalendarExport.h), UTF-8
//
// A builder renders and joins exactly the rows it is given, in their order
// (rows without a record are left out); the caller chooses the rows (every
// row, or the ticked ones) and any line end after a one-line output. In csv
// and json a price is the number the page gave, 0 included, and empty or null
// only where the page gave none; the calendar shows a price as the list does,
// only above 0.
//
// Adding a format: its builder here and its row in the table
// (OutputFormats.cpp); the exporter's options, usage and messages follow.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "BookSaleCompare.h"
#include "CalendarExport.h"

namespace tembrook {

using TOutputRows = std::vector<TBookSaleRowRef>;

struct TOutputSettings {
    bool ForSpreadsheets = false;  // csv: a byte-order mark first
    TCalendarSettings Calendar;    // ics: today's date, the time stamp, the separator
};

// Spreadsheets off, the calendar's settings of this moment (platform/).
TOutputSettings CurrentOutputSettings();

struct TOutput {
    std::string Bytes;
    std::size_t Undated = 0;   // rows left out: the date is unknown (ics)
    std::size_t Repeated = 0;  // rows left out: the same release came before (ics)
    std::size_t Events = 0;    // events written (ics)
};

using TOutputBuilder = TOutput (*)(const TOutputRows& rows, const TOutputSettings& settings);

enum class TOutputEncoding { oeCp932, oeUtf8 };
enum class TOutputRowChoice {
    orAllRows,            // every row, ticked or not
    orTickedWhenTicking,  // the ticked rows when rows were ticked from a saved list
};

struct TOutputFormat {
    std::string_view Name;         // the --format value
    std::string_view Description;  // for the usage text; lines end with "\n" but the last
    TOutputEncoding Encoding;      // CP932 (the exporter converts with --utf8) or UTF-8
    TOutputRowChoice Rows;
    bool OneLine;          // one line without its line break
    bool ForSpreadsheets;  // takes the spreadsheet form (--excel)
    TOutputBuilder Build;
};

// Every format, the default (text) first.
std::span<const TOutputFormat> OutputFormats() noexcept;
// The format of that name, or nullptr.
const TOutputFormat* FindOutputFormat(std::string_view name) noexcept;

TOutput BuildTextOutput(const TOutputRows& rows, const TOutputSettings& settings);
TOutput BuildHtmlOutput(const TOutputRows& rows, const TOutputSettings& settings);
TOutput BuildSavedOutput(const TOutputRows& rows, const TOutputSettings& settings);
TOutput BuildCsvOutput(const TOutputRows& rows, const TOutputSettings& settings);
TOutput BuildJsonOutput(const TOutputRows& rows, const TOutputSettings& settings);
TOutput BuildIcsOutput(const TOutputRows& rows, const TOutputSettings& settings);

}  // namespace tembrook
