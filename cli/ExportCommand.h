#pragma once
// The command-line exporter: the window's import without the window.
//
//   tembrook-export [--sort COLUMN] [--descending] [--format FORMAT] [--tick-from FILE]
//                   [--utf8] [--excel] [--output FILE] URL
//
// RunExport runs the whole command in-process (main() only opens the standard
// streams and creates the QCoreApplication whose event loop delivers the
// transfers' completions). It imports through TImportRoad and the real
// transfer starter, waits until every transfer has ended, hands the pages'
// records over in link order, sorts them with the list view's comparison and
// writes every row's TextLine followed by CR LF (CP932), or another output
// chosen with --format (ExportFormats.h); --tick-from ticks the rows that a
// saved list follows. The road's log goes to err in the terminal's encoding.
//
// Exit status: 0 when the top page and every table page arrived whole and
// every row was read; 1 when anything failed (the output still holds what
// arrived); 2 for bad usage (one line saying what was wrong and one pointing
// at --help on err).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BookDataListUnit.h"

class QIODevice;

namespace tembrook::cli {

enum TExitCode : int { ecOk = 0, ecFailed = 1, ecUsage = 2 };

// The outputs of --format (--html is --format html).
enum TExportFormat : int { efText, efHtml, efSaved, efCsv, efJson, efIcs };

struct TExportOptions {
    std::int32_t SortColumn = 1;  // a TSortColumn; "date" (arrival order) by default
    bool Descending = false;
    bool Html = false;  // the format is html
    TExportFormat Format = efText;
    QString TickFrom;  // a saved list to tick rows from; empty: no ticks
    bool Utf8 = false;
    bool Excel = false;  // csv with a byte-order mark
    QString OutputFile;  // empty: standard output
    QString Url;
    bool Help = false;
    bool Version = false;
};

// Reads arguments (program name first, as QCoreApplication::arguments()).
// False with a one-line reason in error for bad usage.
bool ParseExportArguments(const QStringList& arguments, TExportOptions& options, QString& error);

// "Usage: tembrook-export ..." with the options explained (ends with a line break).
QString UsageText();
// "tembrook-export 0.10.10"
QString VersionText();

// Orders rows as the list view would for that column and direction; rows
// that compare equal keep their order. Nobody ticks rows here, so the check
// column leaves the order as it is.
void SortExportRows(std::vector<std::unique_ptr<THtmlBookSaleData>>& rows, std::int32_t sortColumn,
                    bool descending);

// The output bytes (CP932): every row's TextLine + CR LF, or with html the
// rows' HTMLLine joined by " / " + CR LF.
std::string BuildExportText(const std::vector<std::unique_ptr<THtmlBookSaleData>>& rows, bool html);

// The name of the terminal's character encoding for QStringEncoder: the
// locale's codeset, or UTF-8 when it is plain ASCII or unknown to Qt.
QByteArray TerminalEncoding();

// The whole command. out receives the export (unless --output), err the log
// and the messages, encoded with errEncoding. Needs a QCoreApplication.
int RunExport(const QStringList& arguments, QIODevice& out, QIODevice& err,
              const QByteArray& errEncoding = TerminalEncoding());

}  // namespace tembrook::cli
