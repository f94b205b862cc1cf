#include "ListOutput.h"

namespace tembrook {

int TickFromSavedList(TOutputRows& rows, const TSavedListTicks& ticks)
{
    int ticked = 0;
    for (TBookSaleRowRef& row : rows) {
        if (row.Record == nullptr || !ticks.Matches(*row.Record))
            continue;
        row.Checked = true;
        ++ticked;
    }
    return ticked;
}

QString SavedListTickedLine(int count)
{
    return QStringLiteral("保存リストから %1 件をチェックしました").arg(count);
}

TOutput BuildListOutput(const TOutputFormat& format, const TOutputRows& rows, bool ticking,
                        const TOutputSettings& settings)
{
    if (!ticking || format.Rows != TOutputRowChoice::orTickedWhenTicking)
        return format.Build(rows, settings);  // every row, without a copy of the list
    TOutputRows ticked;
    for (const TBookSaleRowRef& row : rows)
        if (row.Checked)
            ticked.push_back(row);
    return format.Build(ticked, settings);
}

TOutputDestination::TOutputDestination(const QString& fileName) : FFileName(fileName)
{
    FFile.emplace(fileName);
}

TOutputDestination::TOutputDestination(QIODevice& device) : FDevice(&device) {}

bool TOutputDestination::Open()
{
    return !FFile || FFile->Open();
}

TOutputDestination::TWritten TOutputDestination::Write(std::string_view bytes)
{
    if (!FFile) {
        const auto size = static_cast<qint64>(bytes.size());
        return FDevice->write(bytes.data(), size) == size ? owWritten : owWriteFailed;
    }
    if (!FFile->Write(bytes))
        return owWriteFailed;
    return FFile->Commit() ? owWritten : owCommitFailed;
}

QString TOutputDestination::ErrorString() const
{
    return FFile ? FFile->ErrorString() : FDevice->errorString();
}

}  // namespace tembrook
