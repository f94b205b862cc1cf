#pragma once
// Character references of HTML text decoded into the characters they stand
// for, for the outputs that leave for other programs (csv, json, ics): a
// title "Tom &amp; Lily &#12354;" reaches a spreadsheet or a calendar as
// "Tom & Lily あ". The list, the text line, the HTML entry and the saved list
// keep the references as the page wrote them.
//
// One pass, left to right; what a reference decodes to is never read again
// ("&amp;lt;" gives "&lt;"). A reference counts only with its closing ";":
//
//   &#NNNN; &#xHHHH;  the code point, as HTML reads it: 0, a surrogate or a
//                     value above U+10FFFF gives U+FFFD, and 0x80-0x9F take
//                     the characters of windows-1252 (&#150; is "–")
//   &name;            the character of that name in HTML 4's table of
//                     entities (libxml2's), e.g. &amp; &lt; &nbsp; &eacute;
//
// Anything else, a reference without its ";" or a name the table lacks
// ("&copy", "&bogus;", "&#;"), stays as it is.

#include <QString>
#include <QStringView>

namespace tembrook {

QString DecodeCharacterReferences(QStringView text);

}  // namespace tembrook
