#pragma once
// The command-line exporter: the window's import without the window.
//
// RunExport runs the whole command in-process (main() only opens the standard
// streams and creates the QCoreApplication whose event loop delivers the
// transfers' completions). It reads the options (ExportOptions.h), reads a
// --tick-from list and opens the output file before anything is downloaded,
// imports through TImportRoad and the real transfer starter, waits until
// every transfer has ended, takes the pages' records in link order, sorts
// them with the list view's comparison, ticks the rows the saved list
// follows and writes the chosen output (OutputFormats.h). The road's log
// goes to err in the terminal's encoding.
//
// Exit status: 0 when the top page and every table page arrived whole and
// every row was read; 1 when anything failed (the output still holds what
// arrived); 2 for bad usage (one line saying what was wrong and one pointing
// at --help on err).

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

#include "BookDataListUnit.h"

class QIODevice;

namespace tembrook::cli {

enum TExitCode : int { ecOk = 0, ecFailed = 1, ecUsage = 2 };

// Orders rows as the list view would for that column and direction; rows
// that compare equal keep their order. Nobody ticks rows before the sort, so
// the check column leaves the order as it is.
void SortExportRows(std::vector<std::unique_ptr<THtmlBookSaleData>>& rows, std::int32_t sortColumn,
                    bool descending);

// The name of the terminal's character encoding for QStringEncoder: the
// locale's codeset, or UTF-8 when it is plain ASCII or unknown to Qt.
QByteArray TerminalEncoding();

// The whole command. out receives the export (unless --output), err the log
// and the messages, encoded with errEncoding. Needs a QCoreApplication.
int RunExport(const QStringList& arguments, QIODevice& out, QIODevice& err,
              const QByteArray& errEncoding = TerminalEncoding());

}  // namespace tembrook::cli
