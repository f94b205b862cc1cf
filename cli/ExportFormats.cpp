#include "ExportFormats.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QStringEncoder>

#include <string>

#include "CalendarExport.h"
#include "DateUtils.h"

namespace tembrook::cli {

namespace {

constexpr const char* kCp932 = "windows-31j";
constexpr qint64 kTickFileSizeLimit = 512 * 1024 * 1024;

QString FromCp932(std::string_view bytes)
{
    QStringDecoder decoder(kCp932);
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The fields of one row for csv and json.
struct TRecordFields {
    QString Date;  // YYYY-MM-DD of SaleDate
    QString DateKind;
    QString Title;
    std::optional<int> Volume;
    QString Author;
    std::optional<qint64> Price;  // whole units
    QString Publisher;
    bool Ticked;
};

QString DateKindName(TSaleDateKind kind)
{
    switch (kind) {
    case TSaleDateKind::dkExactDay:
        return QStringLiteral("day");
    case TSaleDateKind::dkEarlyMonth:
        return QStringLiteral("early");
    case TSaleDateKind::dkMidMonth:
        return QStringLiteral("middle");
    case TSaleDateKind::dkLateMonth:
        return QStringLiteral("late");
    default:
        return QStringLiteral("unknown");
    }
}

TRecordFields Fields(const TBookSaleRowRef& row)
{
    const THtmlBookSaleData& record = *row.Record;
    const TCivilDate date = DecodeDate(record.SaleDate());
    TRecordFields fields;
    if (date.Year != 0)
        fields.Date = QString::asprintf("%04d-%02d-%02d", date.Year, date.Month, date.Day);
    fields.DateKind = DateKindName(record.DateKind());
    fields.Title = FromCp932(record.Title());
    if (record.Volume() > 0)
        fields.Volume = record.Volume();
    fields.Author = FromCp932(record.Author());
    // A negative price is the record's "no price given".
    if (record.Price().Raw() >= 0)
        fields.Price = record.Price().Raw() / TCurrency::kScale;
    fields.Publisher = FromCp932(record.Publisher());
    fields.Ticked = row.Checked;
    return fields;
}

// A field as RFC 4180 has it: quoted when it holds a comma, a quote or a
// line break, quotes doubled.
QString CsvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::vector<TBookSaleRowRef> TickedOnly(const std::vector<TBookSaleRowRef>& rows)
{
    std::vector<TBookSaleRowRef> ticked;
    for (const TBookSaleRowRef& row : rows)
        if (row.Checked)
            ticked.push_back(row);
    return ticked;
}

}  // namespace

bool ReadTickFile(const QString& fileName, std::optional<TSavedListTicks>& ticks, QString& error)
{
    const QFileInfo info(fileName);
    QFile file(fileName);
    if (!info.isFile()) {
        error = QStringLiteral("cannot read the saved list %1: not a file").arg(fileName);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the saved list %1: %2").arg(fileName, file.errorString());
        return false;
    }
    if (file.size() > kTickFileSizeLimit) {
        error = QStringLiteral("cannot read the saved list %1: larger than 512 MiB").arg(fileName);
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read the saved list %1: %2").arg(fileName, file.errorString());
        return false;
    }
    if (IsUtf8SavedList(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        QStringEncoder toCp932(kCp932);
        bytes = toCp932.encode(QString::fromUtf8(bytes));
    }
    ticks.emplace(bytes.toStdString());
    return true;
}

QByteArray BuildCsvOutput(const std::vector<TBookSaleRowRef>& rows, bool excel)
{
    QString text = QStringLiteral("date,date_kind,title,volume,author,price,publisher,ticked\r\n");
    for (const TBookSaleRowRef& row : rows) {
        if (row.Record == nullptr)
            continue;
        const TRecordFields f = Fields(row);
        const QStringList cells = {
            f.Date,
            f.DateKind,
            CsvField(f.Title),
            f.Volume ? QString::number(*f.Volume) : QString(),
            CsvField(f.Author),
            f.Price ? QString::number(*f.Price) : QString(),
            CsvField(f.Publisher),
            f.Ticked ? QStringLiteral("1") : QStringLiteral("0"),
        };
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    QByteArray bytes = excel ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += text.toUtf8();
    return bytes;
}

QByteArray BuildJsonOutput(const std::vector<TBookSaleRowRef>& rows)
{
    QJsonArray array;
    for (const TBookSaleRowRef& row : rows) {
        if (row.Record == nullptr)
            continue;
        const TRecordFields f = Fields(row);
        QJsonObject object;
        object.insert(QStringLiteral("date"), f.Date);
        object.insert(QStringLiteral("date_kind"), f.DateKind);
        object.insert(QStringLiteral("title"), f.Title);
        object.insert(QStringLiteral("volume"),
                      f.Volume ? QJsonValue(*f.Volume) : QJsonValue(QJsonValue::Null));
        object.insert(QStringLiteral("author"), f.Author);
        object.insert(QStringLiteral("price"), f.Price ? QJsonValue(*f.Price) : QJsonValue(QJsonValue::Null));
        object.insert(QStringLiteral("publisher"), f.Publisher);
        object.insert(QStringLiteral("ticked"), f.Ticked);
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n';
}

TExportOutput BuildExportOutput(const std::vector<std::unique_ptr<THtmlBookSaleData>>& rows,
                                const TExportOptions& options, const TSavedListTicks* ticks)
{
    std::vector<TBookSaleRowRef> refs;
    refs.reserve(rows.size());
    int ticked = 0;
    for (const auto& row : rows) {
        const bool match = ticks != nullptr && ticks->Matches(*row);
        ticked += match ? 1 : 0;
        refs.push_back({row.get(), match});
    }
    TExportOutput output;
    if (ticks != nullptr) {
        output.LogLines.append(QStringLiteral("保存リストから %1 件をチェックしました").arg(ticked));
        if (ticks->MarkedLineCount() == 0)
            output.Messages.append(
                QStringLiteral(
                    "the saved list %1 has no ticked line (\u2605\u2605\u2605); nothing was ticked")
                    .arg(options.TickFrom));
    }
    // The CP932 outputs, converted with --utf8.
    const auto sjis = [&options](const std::string& cp932) {
        return options.Utf8 ? FromCp932(cp932).toUtf8() : Bytes(cp932);
    };

    switch (options.Format) {
    case efHtml: {
        if (ticks == nullptr) {
            output.Bytes = sjis(BuildExportText(rows, true));
            break;
        }
        std::string text;
        bool first = true;
        for (const TBookSaleRowRef& row : TickedOnly(refs)) {
            if (!first)
                text += " / ";
            text += row.Record->HTMLLine();
            first = false;
        }
        output.Bytes = sjis(text + "\r\n");
        break;
    }
    case efSaved:
        output.Bytes = sjis(BuildSavedListText(refs));
        break;
    case efCsv:
        output.Bytes = BuildCsvOutput(refs, options.Excel);
        break;
    case efJson:
        output.Bytes = BuildJsonOutput(refs);
        break;
    case efIcs: {
        std::vector<const THtmlBookSaleData*> records;
        for (const TBookSaleRowRef& row : refs)
            if (ticks == nullptr || row.Checked)
                records.push_back(row.Record);
        const TCalendarFile calendar = BuildCalendarFile(
            records, [](std::string_view cp932) { return FromCp932(cp932).toUtf8().toStdString(); },
            CurrentCalendarSettings());
        output.Bytes = Bytes(calendar.Text);
        if (calendar.Undated > 0)
            output.Messages.append(QStringLiteral("%1 release(s) of unknown date left out of the calendar")
                                       .arg(calendar.Undated));
        if (calendar.Repeated > 0)
            output.Messages.append(
                QStringLiteral("%1 repeated release(s) (same publisher, title and volume) written once")
                    .arg(calendar.Repeated));
        break;
    }
    case efText:
    default:
        output.Bytes = sjis(BuildExportText(rows, false));
        break;
    }
    return output;
}

}  // namespace tembrook::cli
