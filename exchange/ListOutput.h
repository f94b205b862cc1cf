#pragma once
// The road from the release list's rows to a file, the same for the window
// and the exporter; each front-end only chooses the rows, the file and its
// own words for what failed.
//
//   TOutputRows rows = ...;                                  // in display / sort order, with ticks
//   int ticked = TickFromSavedList(rows, ticks);             // the exporter's --tick-from
//   log(SavedListTickedLine(ticked));                        // "保存リストから N 件をチェックしました"
//   TOutput output = BuildListOutput(*FindOutputFormat("html"), rows, /*ticking=*/true, settings);
//   TOutputDestination file(fileName);                       // or TOutputDestination(stdout device)
//   if (!file.Open()) ...;                                   // created before anything is downloaded
//   if (file.Write(output.Bytes) != TOutputDestination::owWritten) ...;
//
// Ticking from a saved list matches each row's record (TSavedListTicks,
// model/); ticks never move a row. Which rows a format takes is its table
// row's choice (OutputFormats.h): every row, or only the ticked ones while
// ticks are in play (the window's ticks always are; the exporter's with
// --tick-from). The destination writes a file whole or not at all
// (ReplacingFile.h), and a device directly.

#include <QIODevice>
#include <QString>

#include <optional>
#include <string_view>

#include "OutputFormats.h"
#include "ReplacingFile.h"
#include "SavedListFile.h"

namespace tembrook {

// Ticks every row with a record that the saved list follows and returns how
// many it ticked; the other rows keep their ticks.
int TickFromSavedList(TOutputRows& rows, const TSavedListTicks& ticks);

// The log line of a tick from a saved list: "保存リストから N 件をチェックしました".
QString SavedListTickedLine(int count);

// `format`'s output of the rows it takes, in their order: every row, or the
// ticked ones when the format takes those and ticking.
TOutput BuildListOutput(const TOutputFormat& format, const TOutputRows& rows, bool ticking,
                        const TOutputSettings& settings);

// Where an output goes: a file replaced only once the whole output is in
// it, or a device written directly (standard output).
class TOutputDestination {
public:
    enum TWritten {
        owWritten,
        owWriteFailed,   // the bytes could not be written
        owCommitFailed,  // written, but the file could not take the old one's place
    };

    explicit TOutputDestination(const QString& fileName);
    explicit TOutputDestination(QIODevice& device);

    // Opens the file (a device needs nothing); false with ErrorString().
    bool Open();
    // Writes bytes and, for a file, puts it in place of the old one.
    TWritten Write(std::string_view bytes);
    QString ErrorString() const;
    const QString& FileName() const noexcept { return FFileName; }

private:
    QIODevice* FDevice = nullptr;
    QString FFileName;
    std::optional<TReplacingFile> FFile;
};

}  // namespace tembrook
