#include "ListFileExport.h"

#include <QDir>

#include "BookListModel.h"
#include "Cp932Codec.h"
#include "Errors.h"
#include "ListFile.h"
#include "ListOutput.h"

namespace tembrook {

std::string BuildListFileText(const TBookListModel& list)
{
    return BuildListOutput(*FindOutputFormat("saved"), list.Rows(), true, {}).Bytes;
}

std::string ReadSavedListFile(const QString& fileName)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    TListFile file = ReadListFile(fileName);
    switch (file.Status) {
    case TListFile::lfRead:
        return std::move(file.Text);
    case TListFile::lfNotAFile:
    case TListFile::lfCannotOpen:
        throw EFOpenError(ToCP932(shown));
    case TListFile::lfTooLarge:
        throw ETembrookError(ToCP932(QStringLiteral("The file is too large to be a saved list: ") + shown));
    case TListFile::lfReadError:
    default:
        throw ETembrookError("Stream read error");
    }
}

TOutput BuildCalendarFileText(const TBookListModel& list)
{
    return BuildListOutput(*FindOutputFormat("ics"), list.Rows(), true, CurrentOutputSettings());
}

void WriteFileReplacing(const QString& fileName, std::string_view bytes)
{
    TOutputDestination file(fileName);
    if (!file.Open())
        throw EFCreateError(ToCP932(QDir::toNativeSeparators(fileName)));
    if (file.Write(bytes) != TOutputDestination::owWritten)
        throw EWriteError();
}

}  // namespace tembrook
