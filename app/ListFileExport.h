#pragma once
// Saving the release list as a text file, reading a saved list back, and
// the ticked rows as a calendar file.
//
// BuildListFileText makes the file's bytes from the rows in the order they
// stand: first every ticked row's text line marked with "★★★ ", then two
// empty lines, then every row's text line, then one more empty line; CP932,
// CR LF after every line, rows without a record left out (SavedListFile.h).
//
// ReadSavedListFile reads a saved list for ticking (SavedListFile.h): the
// file's bytes, converted to CP932 when it is a saved list in UTF-8. It
// throws EFOpenError ("Cannot open file %s") for a name that is no readable
// regular file, and ETembrookError for one too large to be a saved list or
// a failed read.
//
// BuildCalendarFileText makes an iCalendar file of the ticked rows in the
// order they stand (CalendarExport.h).
//
// WriteFileReplacing writes bytes to a file through QSaveFile, so the file
// is replaced only once everything has been written: a failed save leaves the
// previous file as it was. A name that stands for a device, pipe or socket
// (/dev/full, /dev/stdout) is written to directly instead. It throws
// EFCreateError ("Cannot create file %s") when the file cannot be opened for
// writing and EWriteError ("Stream write error") when writing or the final
// replacement fails.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace tembrook {

class TBookListModel;

std::string BuildListFileText(const TBookListModel& list);

// Larger files are refused by ReadSavedListFile.
inline constexpr std::int64_t kSavedListSizeLimit = 512 * 1024 * 1024;
std::string ReadSavedListFile(const QString& fileName);

struct TCalendarFile;
TCalendarFile BuildCalendarFileText(const TBookListModel& list);

void WriteFileReplacing(const QString& fileName, std::string_view bytes);

}  // namespace tembrook
