#pragma once
// The exporter's command line:
//
//   tembrook-export [--sort COLUMN] [--descending] [--format FORMAT] [--tick-from FILE]
//                   [--utf8] [--excel] [--output FILE] URL
//
// The formats, their descriptions in the usage text and the names in the
// error messages all come from the table of outputs (OutputFormats.h).

#include <QString>
#include <QStringList>

#include <cstdint>

#include "BookSaleCompare.h"
#include "OutputFormats.h"

namespace tembrook::cli {

struct TExportOptions {
    std::int32_t SortColumn = scDate;  // "date" (arrival order) by default
    bool Descending = false;
    const TOutputFormat* Format = &OutputFormats().front();  // text
    QString TickFrom;  // a saved list to tick rows from; empty: no ticks
    bool Utf8 = false;
    bool Excel = false;  // the spreadsheet form
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
// "tembrook-export " and the program's version.
QString VersionText();

}  // namespace tembrook::cli
