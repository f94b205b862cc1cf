#include "ExportCommand.h"

#include <QEventLoop>
#include <QIODevice>
#include <QStringEncoder>

#include <algorithm>
#include <langinfo.h>
#include <map>
#include <optional>

#include "BookSaleCompare.h"
#include "Cp932Codec.h"
#include "ExportOptions.h"
#include "HTTPTransferThreadUnit.h"
#include "ImportRoad.h"
#include "ImportTransferStarter.h"
#include "ListFile.h"
#include "ListOutput.h"
#include "OutputFormats.h"
#include "PageDecoder.h"
#include "SavedListFile.h"

namespace tembrook::cli {

namespace {

constexpr const char* kProgram = "tembrook-export";

using TRows = std::vector<std::unique_ptr<THtmlBookSaleData>>;

// Writes text lines to the error stream in the terminal's encoding.
class TErrorWriter {
public:
    TErrorWriter(QIODevice& device, const QByteArray& encoding)
        : FDevice(device), FEncoding(encoding.isEmpty() ? QByteArray("UTF-8") : encoding)
    {
    }

    void Line(const QString& text)
    {
        QStringEncoder encoder(FEncoding.constData());
        if (!encoder.isValid())
            encoder = QStringEncoder(QStringEncoder::Utf8);
        QByteArray bytes = encoder.encode(text);
        bytes.append('\n');
        FDevice.write(bytes);
    }
    void Message(const QString& text) { Line(QLatin1StringView(kProgram) + QStringLiteral(": ") + text); }
    // Bad usage: what was wrong, then where to read how it is used (the
    // whole usage text would bury the one line that matters).
    void UsageError(const QString& text)
    {
        Message(text);
        Line(QStringLiteral("Try '%1 --help' for more information.").arg(QLatin1StringView(kProgram)));
    }

private:
    QIODevice& FDevice;
    QByteArray FEncoding;
};

// The road's sink on the command line: the log on stderr, the records
// collected per table page so that they can be put together in link order.
class TExportSink : public TImportSink {
public:
    TExportSink(TErrorWriter& err, QEventLoop& loop) : FErr(err), FLoop(loop) {}

    void ShowStatus(const std::string&) override {}
    void AppendLog(const std::string& line) override { FErr.Line(FromCP932(line)); }
    void ClearLog() override {}
    void ShowProgress(std::int64_t) override {}
    void ClearProgress() override {}
    void AddBookSaleList(const TBookSaleList& list, const TTablePageRef& page) override
    {
        auto& rows = FPages[page.LinkIndex];
        for (std::int32_t i = 0; i < list.Count(); ++i) {
            const auto* record = dynamic_cast<const THtmlBookSaleData*>(list.Items(i));
            if (record == nullptr)
                continue;
            auto copy = std::make_unique<THtmlBookSaleData>();
            copy->Assign(record);
            rows.push_back(std::move(copy));
        }
    }
    // Every record is kept to the end, so the page's records are taken over
    // rather than copied.
    void TakeBookSaleList(TBookSaleList& list, const TTablePageRef& page) override
    {
        auto& rows = FPages[page.LinkIndex];
        rows.reserve(rows.size() + static_cast<std::size_t>(list.Count()));
        for (std::int32_t i = 0; i < list.Count(); ++i) {
            TObject* item = list.GetItem(i);
            if (auto* record = dynamic_cast<THtmlBookSaleData*>(item))
                rows.emplace_back(record);
            else
                delete item;  // not a release record: nothing to export, nobody else owns it
        }
        list.Clear();
    }
    void ReportError(const std::string& message) override
    {
        FErr.Message(QStringLiteral("error: ") + FromCP932(message));
    }
    void ImportIdle() override
    {
        FIdle = true;
        FLoop.quit();
    }

    bool Idle() const noexcept { return FIdle; }

    // Every page's rows, first page first, RowIndex counting in that order.
    TRows TakeRows()
    {
        TRows all;
        for (auto& [index, rows] : FPages)
            for (auto& row : rows) {
                row->SetRowIndex(static_cast<std::int32_t>(all.size()));
                all.push_back(std::move(row));
            }
        FPages.clear();
        return all;
    }

private:
    TErrorWriter& FErr;
    QEventLoop& FLoop;
    std::map<std::size_t, TRows> FPages;
    bool FIdle = false;
};

// Where the output goes: standard output, or a file that is opened before
// anything is downloaded (so that a bad path fails at once) and replaced only
// when the whole output was written.
bool OpenOutput(TOutputDestination& target, TErrorWriter& errors)
{
    if (target.Open())
        return true;
    errors.Message(QStringLiteral("cannot create file %1: %2").arg(target.FileName(), target.ErrorString()));
    return false;
}

bool WriteOutput(TOutputDestination& target, const std::string& bytes, TErrorWriter& errors)
{
    switch (target.Write(bytes)) {
    case TOutputDestination::owWritten:
        return true;
    case TOutputDestination::owWriteFailed:
        errors.Message(QStringLiteral("cannot write the output: %1").arg(target.ErrorString()));
        return false;
    case TOutputDestination::owCommitFailed:
        break;
    }
    errors.Message(QStringLiteral("cannot write file %1: %2").arg(target.FileName(), target.ErrorString()));
    return false;
}

// The saved list of --tick-from, read before anything is downloaded.
bool ReadTicks(const QString& fileName, std::optional<TSavedListTicks>& ticks, TErrorWriter& errors)
{
    TListFile file = ReadListFile(fileName);
    QString reason;
    switch (file.Status) {
    case TListFile::lfRead:
        ticks.emplace(std::move(file.Text));
        return true;
    case TListFile::lfNotAFile:
        reason = QStringLiteral("not a file");
        break;
    case TListFile::lfTooLarge:
        reason = QStringLiteral("larger than %1 MiB").arg(kListFileSizeLimit / (1024 * 1024));
        break;
    default:
        reason = file.Error;
        break;
    }
    errors.Message(QStringLiteral("cannot read the saved list %1: %2").arg(fileName, reason));
    return false;
}

struct TImported {
    TImportOutcome Outcome;
    TRows Rows;
};

// Runs the import of url to its end: the top page and every table page.
TImported Import(const std::string& url, TErrorWriter& errors)
{
    InitializeTransfers();
    QEventLoop loop;
    TExportSink sink(errors, loop);
    TImportTransferStarter starter(nullptr, &DecodePageToCP932);
    TImportRoad road(sink, starter);
    road.StartImport(url);
    if (!sink.Idle() && road.RunningTransfers() > 0)
        loop.exec();
    return {road.Outcome(), sink.TakeRows()};
}

// The chosen output of the sorted rows, ticked from the saved list if one
// was read, with what the output left out said on the error stream.
std::string BuildOutput(const TRows& rows, const TExportOptions& options, const TSavedListTicks* ticks,
                        TErrorWriter& errors)
{
    const TOutputFormat& format = *options.Format;
    TOutputRows all;
    all.reserve(rows.size());
    for (const auto& row : rows)
        all.push_back({row.get(), false});
    if (ticks != nullptr) {
        errors.Line(SavedListTickedLine(TickFromSavedList(all, *ticks)));
        if (ticks->MarkedLineCount() == 0)
            errors.Message(
                QStringLiteral(
                    "the saved list %1 has no ticked line (\u2605\u2605\u2605); nothing was ticked")
                    .arg(options.TickFrom));
    }
    TOutputSettings settings = CurrentOutputSettings();
    settings.ForSpreadsheets = options.Excel;
    TOutput output = BuildListOutput(format, all, ticks != nullptr, settings);
    if (output.Undated > 0)
        errors.Message(
            QStringLiteral("%1 release(s) of unknown date left out of the calendar").arg(output.Undated));
    if (output.Repeated > 0)
        errors.Message(
            QStringLiteral("%1 repeated release(s) (same publisher, title and volume) written once")
                .arg(output.Repeated));
    if (format.OneLine)
        output.Bytes += "\r\n";
    if (options.Utf8 && format.Encoding == TOutputEncoding::oeCp932)
        return Cp932ToUtf8(output.Bytes);
    return std::move(output.Bytes);
}

// 0 when everything arrived, else 1 with a line that says so.
int OutcomeStatus(const TImportOutcome& outcome, TErrorWriter& errors)
{
    if (outcome.TopPageHttpError != 0) {
        errors.Message(QStringLiteral("the top page answered HTTP %1; no release table was fetched")
                           .arg(outcome.TopPageHttpError));
        return ecFailed;
    }
    if (outcome.TopPageDone && !outcome.TopPageFailed && outcome.LinkCount == 0) {
        errors.Message(QStringLiteral("no links to release tables found on the top page"));
        return ecFailed;
    }
    if (outcome.PagesHttpFailed > 0) {
        errors.Message(QStringLiteral("the import was incomplete: %1 release table page(s) answered with an "
                                      "HTTP error (the first HTTP %2); the output holds what arrived")
                           .arg(outcome.PagesHttpFailed)
                           .arg(outcome.PageHttpError));
        return ecFailed;
    }
    if (!outcome.Complete()) {
        errors.Message(QStringLiteral("the import was incomplete; the output holds what arrived"));
        return ecFailed;
    }
    return ecOk;
}

bool IsAsciiCodeset(const QByteArray& name)
{
    const QByteArray n = name.toUpper();
    return n == "ANSI_X3.4-1968" || n == "ASCII" || n == "US-ASCII" || n == "646" || n.isEmpty();
}

}  // namespace

void SortExportRows(std::vector<std::unique_ptr<THtmlBookSaleData>>& rows, std::int32_t sortColumn,
                    bool descending)
{
    // Every row unticked: ticks never move a row, so --sort check keeps the order.
    const std::vector<std::size_t> order = SortBookSaleRows(
        rows.size(),
        [&rows](std::size_t i) {
            return TBookSaleRowRef{rows[i].get(), false};
        },
        sortColumn, descending);
    std::vector<std::unique_ptr<THtmlBookSaleData>> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

QByteArray TerminalEncoding()
{
    const char* codeset = nl_langinfo(CODESET);
    const QByteArray name = codeset != nullptr ? QByteArray(codeset) : QByteArray();
    if (IsAsciiCodeset(name) || !QStringEncoder(name.constData()).isValid())
        return QByteArrayLiteral("UTF-8");
    return name;
}

int RunExport(const QStringList& arguments, QIODevice& out, QIODevice& err, const QByteArray& errEncoding)
{
    TErrorWriter errors(err, errEncoding);
    TExportOptions options;
    QString usageError;
    if (!ParseExportArguments(arguments, options, usageError)) {
        errors.UsageError(usageError);
        return ecUsage;
    }
    if (options.Help || options.Version) {
        out.write(options.Help ? UsageText().toUtf8() : VersionText().toUtf8() + '\n');
        return ecOk;
    }
    const std::string url = ToCP932(options.Url);
    if (FromCP932(url) != options.Url) {
        errors.UsageError(QStringLiteral("the URL has characters that Shift-JIS cannot hold"));
        return ecUsage;
    }

    std::optional<TSavedListTicks> ticks;
    if (!options.TickFrom.isEmpty() && !ReadTicks(options.TickFrom, ticks, errors))
        return ecFailed;
    std::optional<TOutputDestination> target;
    if (options.OutputFile.isEmpty())
        target.emplace(out);
    else
        target.emplace(options.OutputFile);
    if (!OpenOutput(*target, errors))
        return ecFailed;

    TImported imported = Import(url, errors);
    SortExportRows(imported.Rows, options.SortColumn, options.Descending);
    const std::string bytes = BuildOutput(imported.Rows, options, ticks ? &*ticks : nullptr, errors);
    const int status = OutcomeStatus(imported.Outcome, errors);
    return WriteOutput(*target, bytes, errors) ? status : ecFailed;
}

}  // namespace tembrook::cli
