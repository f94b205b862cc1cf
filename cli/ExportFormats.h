#pragma once
// The exporter's outputs (--format) and its ticks from a saved list
// (--tick-from), after the import has collected and sorted the rows.
//
//   text   every row's TextLine + CR LF (CP932, or UTF-8 with --utf8)
//   html   the rows' HTMLLine joined by " / " + CR LF; only the ticked rows
//          when ticks were read, as the HTML window shows them
//   saved  the bytes the window's Save writes for the same rows, ticks and
//          order (SavedListFile.h)
//   csv    RFC 4180, UTF-8 (a byte-order mark first with --excel), CR LF, a
//          header row date,date_kind,title,volume,author,price,publisher,ticked
//   json   one array of objects with the same fields, UTF-8
//   ics    an iCalendar file of the ticked rows, or of every row without
//          ticks (CalendarExport.h)
//
// Ticks are applied after the sort, as ticking in the window never moves a
// row.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

#include "BookDataListUnit.h"
#include "BookSaleCompare.h"
#include "ExportCommand.h"
#include "SavedListFile.h"

namespace tembrook::cli {

struct TExportOutput {
    QByteArray Bytes;
    QStringList LogLines;  // for the log, as the road's lines
    QStringList Messages;  // for the exporter's own messages
};

// Reads the saved list for --tick-from (a saved list in UTF-8 is converted
// to CP932 first). False with a one-line reason for a file that cannot be
// read: no regular file, unreadable, or larger than a saved list can be.
bool ReadTickFile(const QString& fileName, std::optional<TSavedListTicks>& ticks, QString& error);

// The output for options.Format from the rows in their final order.
TExportOutput BuildExportOutput(const std::vector<std::unique_ptr<THtmlBookSaleData>>& rows,
                                const TExportOptions& options, const TSavedListTicks* ticks);

// The csv and json outputs of rows with their ticks.
QByteArray BuildCsvOutput(const std::vector<TBookSaleRowRef>& rows, bool excel);
QByteArray BuildJsonOutput(const std::vector<TBookSaleRowRef>& rows);

}  // namespace tembrook::cli
