#include "ExportOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <functional>
#include <optional>

#include "TembrookVersion.h"

namespace tembrook::cli {

namespace {

constexpr const char* kProgram = "tembrook-export";

struct TSortName {
    const char* Name;
    std::int32_t Column;
};
constexpr TSortName kSortNames[] = {
    {"check", scCheck},   {"date", scDate},   {"title", scTitle},
    {"author", scAuthor}, {"price", scPrice}, {"publisher", scPublisher},
};

// The names of the formats that pass the test, as a list in words: "a",
// "a and b", "a, b and c" (joined with "or" when asked).
QString FormatNames(const std::function<bool(const TOutputFormat&)>& which, const char* lastJoin = "and")
{
    QStringList names;
    for (const TOutputFormat& format : OutputFormats())
        if (which(format))
            names.append(QString::fromLatin1(format.Name.data(), static_cast<qsizetype>(format.Name.size())));
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QLatin1Char(' ') + QLatin1String(lastJoin) + QLatin1Char(' ') +
        last;
}

bool IsCp932Format(const TOutputFormat& format)
{
    return format.Encoding == TOutputEncoding::oeCp932;
}
bool IsSpreadsheetFormat(const TOutputFormat& format)
{
    return format.ForSpreadsheets;
}
bool AnyFormat(const TOutputFormat&)
{
    return true;
}

// The lines that explain --format: each format's name and description.
QString FormatUsageLines()
{
    constexpr qsizetype kIndent = 20;
    qsizetype width = 0;
    for (const TOutputFormat& format : OutputFormats())
        width = std::max(width, static_cast<qsizetype>(format.Name.size()) + 2);
    QString lines;
    for (const TOutputFormat& format : OutputFormats()) {
        const QString name =
            QString::fromLatin1(format.Name.data(), static_cast<qsizetype>(format.Name.size()));
        const QString description =
            QString::fromUtf8(format.Description.data(), static_cast<qsizetype>(format.Description.size()));
        lines += QString(kIndent, QLatin1Char(' ')) + name.leftJustified(width) +
            description.split(QLatin1Char('\n'))
                .join(QLatin1Char('\n') + QString(kIndent + width, QLatin1Char(' '))) +
            QLatin1Char('\n');
    }
    return lines;
}

// The one value of an option that may be given once. Nothing when it is not
// set; an error when it is given twice or, for a file name, empty.
std::optional<QString> SingleValue(const QCommandLineParser& parser, const QCommandLineOption& option,
                                   bool fileName, QString& error)
{
    if (!error.isEmpty() || !parser.isSet(option))
        return std::nullopt;
    const QStringList values = parser.values(option);
    const QString name = option.names().constFirst();
    if (values.size() > 1) {
        error = QStringLiteral("--%1 given more than once").arg(name);
        return std::nullopt;
    }
    if (fileName && values.first().isEmpty()) {
        error = QStringLiteral("--%1 needs a file name").arg(name);
        return std::nullopt;
    }
    return values.first();
}

bool ReadSortColumn(const QString& name, TExportOptions& options, QString& error)
{
    const auto found =
        std::find_if(std::begin(kSortNames), std::end(kSortNames),
                     [&](const TSortName& entry) { return name == QLatin1StringView(entry.Name); });
    if (found == std::end(kSortNames)) {
        error = QStringLiteral("unknown sort column '%1' (check, date, title, author, price or publisher)")
                    .arg(name);
        return false;
    }
    options.SortColumn = found->Column;
    return true;
}

bool ReadFormat(const QString& name, TExportOptions& options, QString& error)
{
    options.Format = FindOutputFormat(name.toStdString());
    if (options.Format == nullptr) {
        error = QStringLiteral("unknown format '%1' (%2)").arg(name, FormatNames(AnyFormat, "or"));
        return false;
    }
    return true;
}

bool ReadUrl(const QStringList& positional, TExportOptions& options, QString& error)
{
    if (positional.isEmpty())
        error = QStringLiteral("no URL given");
    else if (positional.size() > 1)
        error = QStringLiteral("only one URL may be given");
    else if (positional.first().isEmpty())
        error = QStringLiteral("the URL is empty");
    else
        options.Url = positional.first();
    return error.isEmpty();
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
               "  --format FORMAT   what to write:\n") +
        FormatUsageLines() +
        QStringLiteral("  --html            the same as --format html\n"
                       "  --utf8            write %1 in UTF-8 instead of Shift-JIS\n"
                       "  --excel           with %2: the form for spreadsheets (a byte-order mark\n"
                       "                    first, formulas kept as text)\n"
                       "  --output FILE     write to FILE, replacing it only when the write succeeds\n"
                       "  --help            print this text and exit\n"
                       "  --version         print the version and exit\n"
                       "\n"
                       "Exit status: 0 when everything arrived and every row was read, 1 when\n"
                       "something failed (the output holds what arrived), 2 for bad usage.\n")
            .arg(FormatNames(IsCp932Format), FormatNames(IsSpreadsheetFormat, "or"));
}

QString VersionText()
{
    return QStringLiteral("tembrook-export " TEMBROOK_VERSION);
}

bool ParseExportArguments(const QStringList& arguments, TExportOptions& options, QString& error)
{
    options = TExportOptions{};
    error.clear();
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

    if (!parser.parse(arguments.isEmpty() ? QStringList{QLatin1String(kProgram)} : arguments)) {
        error = parser.errorText();
        return false;
    }
    options.Help = parser.isSet(help);
    options.Version = !options.Help && parser.isSet(version);
    if (options.Help || options.Version)
        return true;

    const std::optional<QString> sortName = SingleValue(parser, sort, false, error);
    const std::optional<QString> formatName = SingleValue(parser, format, false, error);
    if (!error.isEmpty() || (sortName && !ReadSortColumn(*sortName, options, error)) ||
        (formatName && !ReadFormat(*formatName, options, error)))
        return false;
    options.Descending = parser.isSet(descending);
    if (parser.isSet(html)) {
        if (formatName && options.Format->Name != "html") {
            error = QStringLiteral("--html and --format %1 ask for two outputs").arg(*formatName);
            return false;
        }
        options.Format = FindOutputFormat("html");
    }
    options.Utf8 = parser.isSet(utf8);
    options.Excel = parser.isSet(excel);
    if (options.Excel && !options.Format->ForSpreadsheets) {
        error =
            QStringLiteral("--excel goes with --format %1 only").arg(FormatNames(IsSpreadsheetFormat, "or"));
        return false;
    }
    options.TickFrom = SingleValue(parser, tickFrom, true, error).value_or(QString());
    options.OutputFile = SingleValue(parser, output, true, error).value_or(QString());
    return error.isEmpty() && ReadUrl(parser.positionalArguments(), options, error);
}

}  // namespace tembrook::cli
