#include "ListFileExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

#include "BookListModel.h"
#include "CalendarExport.h"
#include "Errors.h"
#include "SavedListFile.h"
#include "SjisCodec.h"

namespace tembrook {

namespace {

// A device, pipe or socket cannot be replaced by a new file: renaming a
// finished temporary file over it would put a regular file where the device
// node was (/dev/null included, for a user who may write to /dev) and would
// hide a device that fails, such as a full disk. Such names are written to
// directly, unbuffered, so that every failed write is seen.
bool IsSpecialFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && !info.isFile() && !info.isDir();
}

void WriteSpecialFile(const QString& fileName, std::string_view bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EFCreateError(ToCP932(QDir::toNativeSeparators(fileName)));
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size)
        throw EWriteError();
}
}  // namespace

std::string BuildListFileText(const TBookListModel& list)
{
    std::vector<TBookSaleRowRef> rows;
    rows.reserve(static_cast<std::size_t>(list.Count()));
    for (int row = 0; row < list.Count(); ++row)
        rows.push_back({list.Record(row), list.Checked(row)});
    return BuildSavedListText(rows);
}

std::string ReadSavedListFile(const QString& fileName)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    // Only a regular file: a device or a pipe could be endless.
    const QFileInfo info(fileName);
    QFile file(fileName);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw EFOpenError(ToCP932(shown));
    if (file.size() > kSavedListSizeLimit)
        throw ETembrookError(ToCP932(QStringLiteral("The file is too large to be a saved list: ") + shown));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ETembrookError("Stream read error");
    std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (IsUtf8SavedList(text))
        text = ToCP932(QString::fromUtf8(bytes));
    return text;
}

TCalendarFile BuildCalendarFileText(const TBookListModel& list)
{
    std::vector<const THtmlBookSaleData*> records;
    for (int row = 0; row < list.Count(); ++row)
        if (list.Checked(row) && list.Record(row) != nullptr)
            records.push_back(list.Record(row));
    return BuildCalendarFile(
        records, [](std::string_view cp932) { return FromCP932(cp932).toUtf8().toStdString(); },
        CurrentCalendarSettings());
}

void WriteFileReplacing(const QString& fileName, std::string_view bytes)
{
    if (IsSpecialFile(fileName)) {
        WriteSpecialFile(fileName, bytes);
        return;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(ToCP932(QDir::toNativeSeparators(fileName)));
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        throw EWriteError();
    }
    if (!file.commit())
        throw EWriteError();
}

}  // namespace tembrook
