#include "ListFile.h"

#include <QFile>
#include <QFileInfo>

#include "Cp932Codec.h"
#include "SavedListFile.h"

namespace tembrook {

std::string SavedListTextFromBytes(std::string bytes)
{
    if (!IsUtf8SavedList(bytes))
        return bytes;
    return ToCP932(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

TListFile ReadListFile(const QString& fileName)
{
    TListFile result;
    if (!QFileInfo(fileName).isFile()) {
        result.Status = TListFile::lfNotAFile;
        return result;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.Status = TListFile::lfCannotOpen;
        result.Error = file.errorString();
        return result;
    }
    if (file.size() > kListFileSizeLimit) {
        result.Status = TListFile::lfTooLarge;
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.Status = TListFile::lfReadError;
        result.Error = file.errorString();
        return result;
    }
    result.Text = SavedListTextFromBytes(bytes.toStdString());
    return result;
}

}  // namespace tembrook
