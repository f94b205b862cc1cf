#pragma once
// The window's files, in the window's words: the list saved as a text file,
// a saved list read back for ticking, and the ticked rows as a calendar
// file. The bytes come from the outputs the exporter writes too
// (OutputFormats.h); reading and writing go through ListFile.h and
// ReplacingFile.h. What fails is thrown with the texts the window shows.
//
// BuildListFileText: the "saved" output of every row in the order the rows
// stand, ticks included.
//
// ReadSavedListFile: the saved list's text (CP932). It throws EFOpenError
// ("Cannot open file %s") for a name that is no readable regular file and
// ETembrookError for one too large to be a saved list or a failed read.
//
// BuildCalendarFileText: the "ics" output of the ticked rows in the order
// they stand.
//
// WriteFileReplacing writes bytes whole or not at all (a failed save leaves
// the previous file as it was). It throws EFCreateError ("Cannot create file
// %s") when the file cannot be opened for writing and EWriteError ("Stream
// write error") when writing or the final replacement fails.

#include <QString>
#include <string>
#include <string_view>

#include "OutputFormats.h"

namespace tembrook {

class TBookListModel;

std::string BuildListFileText(const TBookListModel& list);
std::string ReadSavedListFile(const QString& fileName);
TOutput BuildCalendarFileText(const TBookListModel& list);
void WriteFileReplacing(const QString& fileName, std::string_view bytes);

}  // namespace tembrook
