#pragma once
// Saving the release list as a text file.
//
// BuildListFileText makes the file's bytes from the rows in the order they
// stand: first every ticked row's text line marked with "★★★ ", then two
// empty lines, then every row's text line, then one more empty line; CP932,
// CR LF after every line, rows without a record left out.
//
// WriteFileReplacing writes bytes to a file through QSaveFile, so the file
// is replaced only once everything has been written: a failed save leaves the
// previous file as it was. A name that stands for a device, pipe or socket
// (/dev/full, /dev/stdout) is written to directly instead. It throws
// EFCreateError ("Cannot create file %s") when the file cannot be opened for
// writing and EWriteError ("Stream write error") when writing or the final
// replacement fails.

#include <QString>
#include <string>
#include <string_view>

namespace tembrook {

class TBookListModel;

std::string BuildListFileText(const TBookListModel& list);

void WriteFileReplacing(const QString& fileName, std::string_view bytes);

}  // namespace tembrook
