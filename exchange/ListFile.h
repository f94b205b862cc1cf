#pragma once
// Reading a list file the user hands in: a saved list to tick rows from
// (the window's "前回の保存リストからチェック…" and the exporter's
// --tick-from). The file may be any file; only a regular file up to the size
// limit is read, and a saved list written in UTF-8 (the exporter's --utf8) is
// converted to CP932, so what comes back reads like a list the window saved.
//
//   const TListFile file = ReadListFile(name);
//   if (file.Status != TListFile::lfRead) say why, in the front-end's words;
//   TSavedListTicks ticks(file.Text);
//
// The outcome is a value: the window and the exporter each word it their own
// way.

#include <QString>

#include <cstdint>
#include <string>

namespace tembrook {

// Larger files are not read: no saved list comes near it.
inline constexpr std::int64_t kListFileSizeLimit = std::int64_t{512} * 1024 * 1024;

struct TListFile {
    enum TStatus {
        lfRead,
        lfNotAFile,    // missing, a folder, a device or a pipe (which could be endless)
        lfCannotOpen,  // Error says why
        lfTooLarge,    // over kListFileSizeLimit
        lfReadError,   // Error says why
    };
    TStatus Status = lfRead;
    std::string Text;  // CP932
    QString Error;     // the system's reason, for lfCannotOpen and lfReadError
};

TListFile ReadListFile(const QString& fileName);

// The bytes of a saved list as CP932: a saved list in UTF-8 (valid UTF-8 with
// a line that begins with "★★★ " in UTF-8) is converted, anything else is
// taken as CP932 already.
std::string SavedListTextFromBytes(std::string bytes);

}  // namespace tembrook
