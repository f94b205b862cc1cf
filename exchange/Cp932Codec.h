#pragma once
// The one conversion between the program's CP932 byte strings and Unicode.
// Everything below the front-ends keeps text as CP932 bytes in std::string;
// widgets, file names, the terminal and the UTF-8 outputs take Unicode. The
// window, the About box and the exporter all convert here, so a page shows
// the same characters in the list, the log and every output.
//
// Decoding reads the bytes as the text layer classifies them: bytes
// 0x00-0x7F are themselves (all of them, control codes included), 0xA1-0xDF
// are the half-width katakana, and a lead byte (0x81-0x9F, 0xE0-0xFC) with
// the byte after it is one character when that byte can trail a lead byte
// (0x40-0x7E, 0x80-0xFC) and the pair is assigned. Anything else reads as
// U+FFFD, and no byte of the text around it is lost:
//
//   a byte that is no CP932 character on its own (0x80, 0xA0, 0xFD-0xFF)  U+FFFD
//   a lead byte followed by a byte that cannot trail it, or by an ASCII    U+FFFD, then that
//   byte with which it makes no character ("\x81 ", "\x82A")               byte on its own
//   a lead byte and a byte 0x80-0xFC that CP932 does not assign together  one U+FFFD
//   a lead byte at the very end                                            U+FFFD
//
// (An ASCII byte after a damaged lead byte is read on its own, as browsers
// read Shift_JIS, so the markup and text after the damage survive.)
//
// The characters of the pairs come from the platform's "windows-31j" table
// (ICU), the Microsoft variant of Shift-JIS the publishers' pages are written
// in, so 0x81 0x60 is the full-width tilde and the NEC and IBM extensions
// decode.
//
// Encoding is the exact inverse: every character decoding can give encodes
// to bytes that decode to it again. Where several pairs decode to the same
// character (the NEC and IBM extensions repeat some), the encoder takes the
// one the platform's code page 932 writes: JIS X 0208 rows first, then the NEC row 13, then the
// IBM extension, then the NEC-selected IBM extension. A character CP932
// cannot hold (U+FFFD among them) becomes "?".

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace tembrook {

QString FromCP932(std::string_view bytes);

std::string ToCP932(QStringView text);

// Text from a page in another encoding written into CP932 the way a browser
// writes a form's text into a legacy encoding, so that nothing the page
// means is lost on the way to the parsers: a character ToCP932 encodes takes
// those bytes; one CP932 holds only as a look-alike twin (kCp932Twins in the
// .cpp: U+301C WAVE DASH as 81 60, U+2212 MINUS SIGN as 81 7C...) takes the
// twin's bytes; every other character becomes the decimal reference "&#N;"
// of its code point (one for a character beyond U+FFFF), U+00A5 and U+203E
// included, since CP932's 0x5C and 0x7E are a backslash and a tilde here. The
// C1 controls U+0080-U+009F and an unpaired surrogate become "&#65533;"
// (a reference to a C1 control would read back as windows-1252).
std::string ToCP932WithReferences(QStringView text);

// FromCP932 then UTF-8, for the outputs written in UTF-8.
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace tembrook
