#include "ReplacingFile.h"

#include <QFileInfo>

namespace tembrook {

namespace {
bool IsSpecialFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && !info.isFile() && !info.isDir();
}
}  // namespace

TReplacingFile::TReplacingFile(const QString& fileName) : FDirect(IsSpecialFile(fileName))
{
    if (FDirect)
        FDeviceFile.setFileName(fileName);
    else
        FFile.setFileName(fileName);
}

QFileDevice& TReplacingFile::Device()
{
    return FDirect ? static_cast<QFileDevice&>(FDeviceFile) : static_cast<QFileDevice&>(FFile);
}

const QFileDevice& TReplacingFile::Device() const
{
    return FDirect ? static_cast<const QFileDevice&>(FDeviceFile) : static_cast<const QFileDevice&>(FFile);
}

bool TReplacingFile::Open()
{
    return Device().open(FDirect ? QIODevice::WriteOnly | QIODevice::Unbuffered : QIODevice::WriteOnly);
}

bool TReplacingFile::Write(std::string_view bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (Device().write(bytes.data(), size) == size)
        return true;
    if (!FDirect)
        FFile.cancelWriting();
    return false;
}

bool TReplacingFile::Commit()
{
    return FDirect || FFile.commit();
}

QString TReplacingFile::ErrorString() const
{
    return Device().errorString();
}

}  // namespace tembrook
