// The builders of OutputFormats.h, one per format.
#include "OutputFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

#include "CharacterReferences.h"
#include "Cp932Codec.h"
#include "DateUtils.h"
#include "SavedListFile.h"

namespace tembrook {

namespace {

// A text field of a record as the outputs for other programs carry it: in
// Unicode, with the page's character references decoded.
QString FieldText(std::string_view cp932)
{
    return DecodeCharacterReferences(FromCP932(cp932));
}

// The fields of one row in csv and json.
struct TRecordFields {
    QString Date;  // YYYY-MM-DD of the stored date; empty for none
    QString DateKind;
    QString Title;
    std::optional<int> Volume;
    QString Author;
    std::optional<qint64> Price;  // whole units, as the page gave it
    QString Publisher;
    bool Ticked = false;
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
    fields.Title = FieldText(record.Title());
    if (record.Volume() > 0)
        fields.Volume = record.Volume();
    fields.Author = FieldText(record.Author());
    // A negative price is the record's "no price given".
    if (record.Price().Raw() >= 0)
        fields.Price = record.Price().Raw() / TCurrency::kScale;
    fields.Publisher = FieldText(record.Publisher());
    fields.Ticked = row.Checked;
    return fields;
}

// A field as RFC 4180 has it: quoted when it holds a comma, a quote or a
// line break, quotes doubled. For spreadsheets, a field that a spreadsheet
// would take for a formula (one that begins with "=", "+", "-", "@", a tab
// or a carriage return) gets an apostrophe first, which makes it text.
QString CsvField(const QString& field, bool forSpreadsheets)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    const QString text = forSpreadsheets && !field.isEmpty() && kFormulaStarts.contains(field.front())
        ? QLatin1Char('\'') + field
        : field;
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

TOutput BuildTextOutput(const TOutputRows& rows, const TOutputSettings& /*settings*/)
{
    TOutput output;
    output.Bytes.reserve(rows.size() * 96);  // a release line is rarely longer
    for (const TBookSaleRowRef& row : rows)
        if (row.Record != nullptr) {
            output.Bytes += row.Record->TextLine();
            output.Bytes += "\r\n";
        }
    return output;
}

TOutput BuildHtmlOutput(const TOutputRows& rows, const TOutputSettings& /*settings*/)
{
    TOutput output;
    for (const TBookSaleRowRef& row : rows)
        if (row.Record != nullptr) {
            if (!output.Bytes.empty())
                output.Bytes += " / ";
            output.Bytes += row.Record->HTMLLine();
        }
    return output;
}

TOutput BuildSavedOutput(const TOutputRows& rows, const TOutputSettings& /*settings*/)
{
    TOutput output;
    std::string& marked = output.Bytes;
    std::string all;
    all.reserve(rows.size() * 96);  // a release line is rarely longer
    for (const TBookSaleRowRef& row : rows) {
        if (row.Record == nullptr)
            continue;
        const std::size_t start = all.size();
        all += row.Record->TextLine();
        all += "\r\n";
        if (row.Checked) {
            marked += kSavedListMark;
            marked.append(all, start);
        }
    }
    marked.reserve(marked.size() + 4 + all.size() + 2);
    marked += "\r\n\r\n";
    marked += all;
    marked += "\r\n";
    return output;
}

TOutput BuildCsvOutput(const TOutputRows& rows, const TOutputSettings& settings)
{
    QString text = QStringLiteral("date,date_kind,title,volume,author,price,publisher,ticked\r\n");
    for (const TBookSaleRowRef& row : rows) {
        if (row.Record == nullptr)
            continue;
        const TRecordFields f = Fields(row);
        const QString cells[] = {
            f.Date,      f.DateKind,
            f.Title,     f.Volume ? QString::number(*f.Volume) : QString(),
            f.Author,    f.Price ? QString::number(*f.Price) : QString(),
            f.Publisher, f.Ticked ? QStringLiteral("1") : QStringLiteral("0"),
        };
        for (const QString& cell : cells)
            text += CsvField(cell, settings.ForSpreadsheets) + QLatin1Char(',');
        text.back() = QLatin1Char('\r');
        text += QLatin1Char('\n');
    }
    TOutput output;
    if (settings.ForSpreadsheets)
        output.Bytes = "\xEF\xBB\xBF";  // the byte-order mark that tells a spreadsheet UTF-8
    output.Bytes += text.toStdString();
    return output;
}

TOutput BuildJsonOutput(const TOutputRows& rows, const TOutputSettings& /*settings*/)
{
    QJsonArray array;
    for (const TBookSaleRowRef& row : rows) {
        if (row.Record == nullptr)
            continue;
        const TRecordFields f = Fields(row);
        const auto orNull = [](const auto& value) { return value ? QJsonValue(*value) : QJsonValue(); };
        array.append(QJsonObject{
            {QStringLiteral("date"), f.Date},
            {QStringLiteral("date_kind"), f.DateKind},
            {QStringLiteral("title"), f.Title},
            {QStringLiteral("volume"), orNull(f.Volume)},
            {QStringLiteral("author"), f.Author},
            {QStringLiteral("price"), orNull(f.Price)},
            {QStringLiteral("publisher"), f.Publisher},
            {QStringLiteral("ticked"), f.Ticked},
        });
    }
    TOutput output;
    output.Bytes = QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString() + '\n';
    return output;
}

TOutput BuildIcsOutput(const TOutputRows& rows, const TOutputSettings& settings)
{
    std::vector<const THtmlBookSaleData*> records;
    records.reserve(rows.size());
    for (const TBookSaleRowRef& row : rows)
        if (row.Record != nullptr)
            records.push_back(row.Record);
    TCalendarFile calendar = BuildCalendarFile(
        records, [](std::string_view cp932) { return FieldText(cp932).toStdString(); }, settings.Calendar);
    TOutput output;
    output.Bytes = std::move(calendar.Text);
    output.Events = calendar.Events;
    output.Undated = calendar.Undated;
    output.Repeated = calendar.Repeated;
    return output;
}

}  // namespace tembrook
