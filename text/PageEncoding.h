#pragma once
// The encoding a downloaded page is read in, found the way browsers find it.
// The first of these that gives an encoding we read decides:
//  1. a byte-order mark at the start of the body (UTF-8, UTF-16BE, UTF-16LE),
//     whatever the page declares; its bytes are dropped before reading;
//  2. the charset parameter of the Content-Type header;
//  3. a <meta charset="..."> or <meta http-equiv="content-type"
//     content="...; charset=..."> in the first 1024 bytes of the body, found
//     by the quick scan browsers make before parsing: comments, other tags and
//     their attribute values are stepped over, and a tag that does not end
//     within the 1024 bytes ends the scan with nothing found. A meta that says
//     UTF-16 means UTF-8 (a page the scan could read as ASCII bytes is not
//     UTF-16);
//  4. the body itself when it is valid UTF-8 with at least one byte above
//     0x7F; when the body was cut short, a sequence cut by its end does not
//     count against it;
//  5. otherwise Shift_JIS, which pages that declare nothing are written in.
//     An undeclared EUC-JP or ISO-2022-JP page is thus read as Shift_JIS.
//
// A declared label that names no encoding we read (windows-1252, a typing
// error, x-user-defined in a meta) is passed over and the next source is
// asked. UnreadLabel keeps the first such label, the header's before any
// meta's, so that the window can say what the page asked for: the label
// without the blanks and quotes around it, with every byte outside 0x20-0x7E
// dropped and cut to 40 characters. A label that is empty this way is not
// kept.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tembrook {

enum class TPageEncoding { peShiftJis, peUtf8, peUtf16Le, peUtf16Be, peEucJp, peIso2022Jp };

struct TEncodingSniff {
    TPageEncoding Encoding = TPageEncoding::peShiftJis;
    std::size_t BomLength = 0;  // bytes of a byte-order mark at the start, to be dropped (0, 2 or 3)
    std::string UnreadLabel;    // the first label passed over; empty when every declaration seen was read
};

// The encoding a label names, ASCII case-insensitive, with ASCII whitespace
// and quotes (" ') around it ignored; nullopt for a label of an encoding we
// do not read and for anything that is no label at all.
std::optional<TPageEncoding> EncodingOfLabel(std::string_view label);

// The value of the first charset parameter of a Content-Type header value
// ("text/html; charset=\"utf-8\"" gives utf-8): the parameter name in any
// ASCII case, blanks around names and values ignored, a quoted value
// unquoted (a backslash takes the next byte as it is). nullopt when no
// parameter is named charset.
std::optional<std::string> CharsetOfContentType(std::string_view contentType);

// The encoding of a page with this Content-Type header value and this body
// (the whole body as received; cutShort when the transfer ended before it).
TEncodingSniff SniffPageEncoding(std::string_view contentType, std::string_view body, bool cutShort);

}  // namespace tembrook
