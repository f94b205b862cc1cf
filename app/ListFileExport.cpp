#include "ListFileExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

#include "BookListModel.h"
#include "Errors.h"
#include "SjisCodec.h"
#include "SjisString.h"

namespace tembrook {

namespace {
constexpr const char* kMarkPrefix = "\x81\x9A\x81\x9A\x81\x9A ";  // ★★★ and a blank

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
    std::vector<std::string> marked;
    std::vector<std::string> all;
    for (int row = 0; row < list.Count(); ++row) {
        const THtmlBookSaleData* record = list.Record(row);
        if (record == nullptr)
            continue;
        std::string line = record->TextLine();
        if (list.Checked(row))
            marked.push_back(kMarkPrefix + line);
        all.push_back(std::move(line));
    }
    marked.emplace_back();
    marked.emplace_back();
    marked.push_back(JoinLinesCRLF(all));
    return JoinLinesCRLF(marked);
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
