#include "ExportCommand.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <clocale>
#include <langinfo.h>
#include <map>

#include "BookSaleCompare.h"
#include "ExportFormats.h"
#include "HTTPTransferThreadUnit.h"
#include "ImportRoad.h"
#include "ImportTransferStarter.h"
#include "TembrookVersion.h"

namespace tembrook::cli {

namespace {

constexpr const char* kCp932 = "windows-31j";
constexpr const char* kProgram = "tembrook-export";

QString FromCp932(std::string_view bytes)
{
    QStringDecoder decoder(kCp932);
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

struct TSortName {
    const char* Name;
    std::int32_t Column;
};
constexpr TSortName kSortNames[] = {
    {"check", scCheck},   {"date", scDate},   {"title", scTitle},
    {"author", scAuthor}, {"price", scPrice}, {"publisher", scPublisher},
};

struct TFormatName {
    const char* Name;
    TExportFormat Format;
};
constexpr TFormatName kFormatNames[] = {
    {"text", efText}, {"html", efHtml}, {"saved", efSaved}, {"csv", efCsv}, {"json", efJson}, {"ics", efIcs},
};

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
    void AppendLog(const std::string& line) override { FErr.Line(FromCp932(line)); }
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
        FErr.Message(QStringLiteral("error: ") + FromCp932(message));
    }
    void ImportIdle() override
    {
        FIdle = true;
        FLoop.quit();
    }

    bool Idle() const noexcept { return FIdle; }

    // Every page's rows, first page first, RowIndex counting in that order.
    std::vector<std::unique_ptr<THtmlBookSaleData>> TakeRows()
    {
        std::vector<std::unique_ptr<THtmlBookSaleData>> all;
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
    std::map<std::size_t, std::vector<std::unique_ptr<THtmlBookSaleData>>> FPages;
    bool FIdle = false;
};

bool IsAsciiCodeset(const QByteArray& name)
{
    const QByteArray n = name.toUpper();
    return n == "ANSI_X3.4-1968" || n == "ASCII" || n == "US-ASCII" || n == "646" || n.isEmpty();
}

}  // namespace

QString UsageText()
{
    return QStringLiteral(
        "Usage: tembrook-export [--sort COLUMN] [--descending] [--format FORMAT] [--tick-from FILE]\n"
        "                       [--utf8] [--excel] [--output FILE] URL\n"
        "       tembrook-export --help | --version\n"
        "\n"
        "Imports the release tables linked from the release top page at URL and writes\n"
        "every release as one line (date, title, author, price, publisher), each ended\n"
        "by CR LF, in Shift-JIS. The log goes to standard error.\n"
        "\n"
        "  --sort COLUMN     order the rows by check, date (arrival order, the default),\n"
        "                    title, author, price or publisher\n"
        "  --descending      reverse the order\n"
        "  --tick-from FILE  tick the rows of the series that the saved list FILE\n"
        "                    follows (its lines marked with three stars: the same\n"
        "                    title and author, any volume); ticks never move a row\n"
        "  --format FORMAT   what to write:\n"
        "                    text   every row as one line (the default)\n"
        "                    html   one line: title and author of every row, or of\n"
        "                           the ticked rows with --tick-from, joined by \" / \"\n"
        "                    saved  the list as the window's Save writes it: the\n"
        "                           ticked rows marked with three stars, two empty\n"
        "                           lines, every row\n"
        "                    csv    RFC 4180 in UTF-8 with a header row\n"
        "                    json   an array of objects in UTF-8\n"
        "                    ics    an iCalendar file with an all-day event per\n"
        "                           release of known date (the ticked rows with\n"
        "                           --tick-from)\n"
        "  --html            the same as --format html\n"
        "  --utf8            write text, html and saved in UTF-8 instead of Shift-JIS\n"
        "  --excel           with csv: a byte-order mark first, for spreadsheets\n"
        "  --output FILE     write to FILE, replacing it only when the write succeeds\n"
        "  --help            print this text and exit\n"
        "  --version         print the version and exit\n"
        "\n"
        "Exit status: 0 when everything arrived and every row was read, 1 when\n"
        "something failed (the output holds what arrived), 2 for bad usage.\n");
}

QString VersionText()
{
    return QStringLiteral("tembrook-export " TEMBROOK_VERSION);
}

bool ParseExportArguments(const QStringList& arguments, TExportOptions& options, QString& error)
{
    options = TExportOptions{};
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption sort(QStringLiteral("sort"), QString(), QStringLiteral("COLUMN"));
    const QCommandLineOption descending(QStringLiteral("descending"));
    const QCommandLineOption html(QStringLiteral("html"));
    const QCommandLineOption utf8(QStringLiteral("utf8"));
    const QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("FORMAT"));
    const QCommandLineOption tickFrom(QStringLiteral("tick-from"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption excel(QStringLiteral("excel"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({sort, descending, html, utf8, output, format, tickFrom, excel, help, version});
    parser.addPositionalArgument(QStringLiteral("URL"), QString());

    QStringList args = arguments;
    if (args.isEmpty())
        args.append(QLatin1StringView(kProgram));
    if (!parser.parse(args)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        options.Help = true;
        return true;
    }
    if (parser.isSet(version)) {
        options.Version = true;
        return true;
    }

    if (parser.isSet(sort)) {
        const QStringList values = parser.values(sort);
        if (values.size() > 1) {
            error = QStringLiteral("--sort given more than once");
            return false;
        }
        const QString name = values.first();
        const auto found =
            std::find_if(std::begin(kSortNames), std::end(kSortNames),
                         [&](const TSortName& entry) { return name == QLatin1StringView(entry.Name); });
        if (found == std::end(kSortNames)) {
            error =
                QStringLiteral("unknown sort column '%1' (check, date, title, author, price or publisher)")
                    .arg(name);
            return false;
        }
        options.SortColumn = found->Column;
    }
    options.Descending = parser.isSet(descending);
    if (parser.isSet(format)) {
        const QStringList values = parser.values(format);
        if (values.size() > 1) {
            error = QStringLiteral("--format given more than once");
            return false;
        }
        const auto found =
            std::find_if(std::begin(kFormatNames), std::end(kFormatNames), [&](const TFormatName& entry) {
                return values.first() == QLatin1StringView(entry.Name);
            });
        if (found == std::end(kFormatNames)) {
            error = QStringLiteral("unknown format '%1' (text, html, saved, csv, json or ics)")
                        .arg(values.first());
            return false;
        }
        options.Format = found->Format;
    }
    if (parser.isSet(html)) {
        if (parser.isSet(format) && options.Format != efHtml) {
            error = QStringLiteral("--html and --format %1 ask for two outputs").arg(parser.value(format));
            return false;
        }
        options.Format = efHtml;
    }
    options.Html = options.Format == efHtml;
    options.Utf8 = parser.isSet(utf8);
    options.Excel = parser.isSet(excel);
    if (options.Excel && options.Format != efCsv) {
        error = QStringLiteral("--excel goes with --format csv only");
        return false;
    }
    // A file name option: at most once, and not empty.
    const auto fileOption = [&](const QCommandLineOption& option, const char* name, QString& into) {
        if (!parser.isSet(option))
            return true;
        const QStringList values = parser.values(option);
        if (values.size() > 1) {
            error = QStringLiteral("--%1 given more than once").arg(QLatin1String(name));
            return false;
        }
        into = values.first();
        if (into.isEmpty()) {
            error = QStringLiteral("--%1 needs a file name").arg(QLatin1String(name));
            return false;
        }
        return true;
    };
    if (!fileOption(tickFrom, "tick-from", options.TickFrom) ||
        !fileOption(output, "output", options.OutputFile))
        return false;

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        error = QStringLiteral("no URL given");
        return false;
    }
    if (positional.size() > 1) {
        error = QStringLiteral("only one URL may be given");
        return false;
    }
    options.Url = positional.first();
    if (options.Url.isEmpty()) {
        error = QStringLiteral("the URL is empty");
        return false;
    }
    return true;
}

void SortExportRows(std::vector<std::unique_ptr<THtmlBookSaleData>>& rows, std::int32_t sortColumn,
                    bool descending)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        return CompareBookSaleRows({a.get(), false}, {b.get(), false}, sortColumn, descending) < 0;
    });
}

std::string BuildExportText(const std::vector<std::unique_ptr<THtmlBookSaleData>>& rows, bool html)
{
    std::string text;
    if (html) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i > 0)
                text += " / ";
            text += rows[i]->HTMLLine();
        }
        text += "\r\n";
        return text;
    }
    text.reserve(rows.size() * 96);  // a release line is rarely longer; one allocation for the lot
    for (const auto& row : rows) {
        text += row->TextLine();
        text += "\r\n";
    }
    return text;
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
    if (options.Help) {
        out.write(UsageText().toUtf8());
        return ecOk;
    }
    if (options.Version) {
        out.write(VersionText().toUtf8() + '\n');
        return ecOk;
    }

    QStringEncoder toCp932(kCp932);
    const QByteArray urlBytes = toCp932.encode(options.Url);
    if (toCp932.hasError()) {
        errors.UsageError(QStringLiteral("the URL has characters that Shift-JIS cannot hold"));
        return ecUsage;
    }

    // The saved list is read before anything is downloaded, as is the output
    // file opened below.
    std::optional<TSavedListTicks> ticks;
    if (!options.TickFrom.isEmpty()) {
        QString tickError;
        if (!ReadTickFile(options.TickFrom, ticks, tickError)) {
            errors.Message(tickError);
            return ecFailed;
        }
    }

    // The output file is opened before anything is downloaded, so that a bad
    // path fails at once; it replaces the old file only at the commit. A
    // device, pipe or socket (/dev/stdout, /dev/full) is written to directly:
    // renaming a new file over it would replace the device node and hide a
    // device that fails.
    QSaveFile file;
    QFile special;
    bool direct = false;
    if (!options.OutputFile.isEmpty()) {
        const QFileInfo info(options.OutputFile);
        direct = info.exists() && !info.isFile() && !info.isDir();
        if (direct)
            special.setFileName(options.OutputFile);
        else
            file.setFileName(options.OutputFile);
        QFileDevice& device = direct ? static_cast<QFileDevice&>(special) : static_cast<QFileDevice&>(file);
        if (!device.open(direct ? QIODevice::WriteOnly | QIODevice::Unbuffered : QIODevice::WriteOnly)) {
            errors.Message(
                QStringLiteral("cannot create file %1: %2").arg(options.OutputFile, device.errorString()));
            return ecFailed;
        }
    }

    InitializeTransfers();
    QEventLoop loop;
    TExportSink sink(errors, loop);
    TImportTransferStarter starter;
    TImportRoad road(sink, starter);
    road.StartImport(urlBytes.toStdString());
    if (!sink.Idle() && road.RunningTransfers() > 0)
        loop.exec();

    const TImportOutcome outcome = road.Outcome();
    std::vector<std::unique_ptr<THtmlBookSaleData>> rows = sink.TakeRows();
    SortExportRows(rows, options.SortColumn, options.Descending);
    const TExportOutput output = BuildExportOutput(rows, options, ticks ? &*ticks : nullptr);
    for (const QString& line : output.LogLines)
        errors.Line(line);
    for (const QString& message : output.Messages)
        errors.Message(message);
    const QByteArray& bytes = output.Bytes;

    int status = outcome.Complete() ? ecOk : ecFailed;
    if (outcome.TopPageDone && !outcome.TopPageFailed && outcome.LinkCount == 0) {
        errors.Message(QStringLiteral("no links to release tables found on the top page"));
        status = ecFailed;
    } else if (status != ecOk) {
        errors.Message(QStringLiteral("the import was incomplete; the output holds what arrived"));
    }

    QIODevice& target = options.OutputFile.isEmpty() ? out
        : direct                                     ? static_cast<QIODevice&>(special)
                                                     : static_cast<QIODevice&>(file);
    if (target.write(bytes) != bytes.size()) {
        errors.Message(QStringLiteral("cannot write the output: %1").arg(target.errorString()));
        if (!options.OutputFile.isEmpty() && !direct)
            file.cancelWriting();
        return ecFailed;
    }
    if (!options.OutputFile.isEmpty() && !direct && !file.commit()) {
        errors.Message(
            QStringLiteral("cannot write file %1: %2").arg(options.OutputFile, file.errorString()));
        return ecFailed;
    }
    return status;
}

}  // namespace tembrook::cli
