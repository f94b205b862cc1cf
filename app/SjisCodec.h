#pragma once
// The one place where the program's CP932 byte strings meet Qt's Unicode
// strings. Everything below the window keeps text as CP932 bytes in
// std::string; widgets, file names and message boxes take QString.
//
// Conversion uses Qt's "windows-31j" codec (ICU), the Microsoft variant of
// Shift-JIS that the publisher's pages are written in, so 0x81 0x60 is the
// full-width tilde and the NEC / IBM extensions decode.

#include <QString>
#include <string>
#include <string_view>

namespace tembrook {

// CP932 bytes to Unicode. A byte sequence that is not CP932 shows as U+FFFD
// instead of vanishing, so a damaged page is visibly damaged.
QString FromCP932(std::string_view bytes);

// Unicode to CP932 bytes. A character that CP932 cannot hold becomes '?'
// (rather than the codec's own two-byte substitute, which reads as a real
// character).
std::string ToCP932(const QString& text);

}  // namespace tembrook
