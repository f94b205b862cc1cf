#pragma once
// A file that is written whole or not at all: the window's Save and calendar
// and the exporter's --output write through it.
//
//   TReplacingFile file(name);
//   if (!file.Open()) cannot create (file.ErrorString() says why);
//   ...                            // the exporter downloads meanwhile
//   if (!file.Write(bytes) || !file.Commit()) cannot write;
//
// Open makes a new file beside the old one; Commit puts it in the old one's
// place only when everything was written, so a failed or abandoned write
// (a full disk, a closed program) leaves the previous file as it was. A name
// that stands for a device, pipe or socket (/dev/full, /dev/stdout) is
// written to directly and unbuffered instead: renaming a file over it would
// put a regular file where the device node was and hide a device that fails.

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <string_view>

namespace tembrook {

class TReplacingFile {
public:
    explicit TReplacingFile(const QString& fileName);
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    // False when the file cannot be created (a missing folder, a folder of
    // that name, a read-only file or folder).
    bool Open();
    // False when not every byte was written; the old file then stays.
    bool Write(std::string_view bytes);
    // Puts the new file in place; false when that fails.
    bool Commit();
    QString ErrorString() const;

private:
    QFileDevice& Device();
    const QFileDevice& Device() const;

    bool FDirect;
    QSaveFile FFile;
    QFile FDeviceFile;
};

}  // namespace tembrook
