#include "PageEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "SjisString.h"
#include "Utf8Text.h"

namespace tembrook {

namespace {

// The bytes of the body the meta scan looks at.
constexpr std::size_t kPrescanLength = 1024;
// The most characters of an unread label kept for the user to see.
constexpr std::size_t kUnreadLabelLength = 40;

constexpr std::string_view kWhitespace = "\t\n\f\r ";
constexpr std::string_view kWhitespaceOrGreater = "\t\n\f\r >";
constexpr std::string_view kWhitespaceOrSemicolon = "\t\n\f\r ;";

struct TLabel {
    std::string_view Label;  // lower case
    TPageEncoding Encoding;
};

constexpr std::array kLabels = {
    TLabel{"unicode-1-1-utf-8", TPageEncoding::peUtf8},
    TLabel{"unicode11utf8", TPageEncoding::peUtf8},
    TLabel{"unicode20utf8", TPageEncoding::peUtf8},
    TLabel{"utf-8", TPageEncoding::peUtf8},
    TLabel{"utf8", TPageEncoding::peUtf8},
    TLabel{"x-unicode20utf8", TPageEncoding::peUtf8},
    TLabel{"csshiftjis", TPageEncoding::peShiftJis},
    TLabel{"ms932", TPageEncoding::peShiftJis},
    TLabel{"ms_kanji", TPageEncoding::peShiftJis},
    TLabel{"shift-jis", TPageEncoding::peShiftJis},
    TLabel{"shift_jis", TPageEncoding::peShiftJis},
    TLabel{"sjis", TPageEncoding::peShiftJis},
    TLabel{"windows-31j", TPageEncoding::peShiftJis},
    TLabel{"x-sjis", TPageEncoding::peShiftJis},
    TLabel{"cseucpkdfmtjapanese", TPageEncoding::peEucJp},
    TLabel{"euc-jp", TPageEncoding::peEucJp},
    TLabel{"x-euc-jp", TPageEncoding::peEucJp},
    TLabel{"csiso2022jp", TPageEncoding::peIso2022Jp},
    TLabel{"iso-2022-jp", TPageEncoding::peIso2022Jp},
    TLabel{"csunicode", TPageEncoding::peUtf16Le},
    TLabel{"iso-10646-ucs-2", TPageEncoding::peUtf16Le},
    TLabel{"ucs-2", TPageEncoding::peUtf16Le},
    TLabel{"unicode", TPageEncoding::peUtf16Le},
    TLabel{"unicodefeff", TPageEncoding::peUtf16Le},
    TLabel{"utf-16", TPageEncoding::peUtf16Le},
    TLabel{"utf-16le", TPageEncoding::peUtf16Le},
    TLabel{"unicodefffe", TPageEncoding::peUtf16Be},
    TLabel{"utf-16be", TPageEncoding::peUtf16Be},
};

constexpr bool IsAsciiWhitespace(char c) noexcept
{
    return kWhitespace.find(c) != std::string_view::npos;
}

constexpr bool IsAsciiLetter(char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The header's blanks: space and tab.
constexpr bool IsBlank(char c) noexcept
{
    return c == ' ' || c == '\t';
}

std::size_t SkipWhitespace(std::string_view text, std::size_t at) noexcept
{
    while (at < text.size() && IsAsciiWhitespace(text[at]))
        ++at;
    return at;
}

std::string_view TrimBlanks(std::string_view text) noexcept
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The label without the ASCII whitespace and quotes around it.
std::string_view TrimLabel(std::string_view label) noexcept
{
    constexpr std::string_view kAround = "\t\n\f\r \"'";
    const std::size_t first = label.find_first_not_of(kAround);
    if (first == std::string_view::npos)
        return {};
    return label.substr(first, label.find_last_not_of(kAround) - first + 1);
}

// An unread label as the user is shown it: trimmed, printable ASCII only,
// at most kUnreadLabelLength characters.
std::string ShownLabel(std::string_view label)
{
    std::string shown;
    for (const char c : TrimLabel(label)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E)
            continue;
        shown += c;
        if (shown.size() == kUnreadLabelLength)
            break;
    }
    return shown;
}

// The text of a quoted header value starting at the quote at `at`, which is
// left past the closing quote (or at the end when there is none).
std::string ReadQuotedString(std::string_view text, std::size_t& at)
{
    std::string value;
    for (++at; at < text.size(); ++at) {
        if (text[at] == '"') {
            ++at;
            break;
        }
        if (text[at] == '\\' && at + 1 < text.size())
            ++at;
        value += text[at];
    }
    return value;
}

// The label after "charset=" in a meta's content value, the way the meta scan
// reads it: the first "charset" followed by '=' counts; a quoted label needs
// its closing quote, an unquoted one ends at whitespace or ';'.
std::optional<std::string_view> CharsetInMetaContent(std::string_view content) noexcept
{
    constexpr std::string_view kCharset = "charset";
    std::size_t at = 0;
    for (;;) {
        while (at + kCharset.size() <= content.size() &&
               !StartsWithIgnoreAsciiCase(content.substr(at), kCharset))
            ++at;
        if (at + kCharset.size() > content.size())
            return std::nullopt;
        at = SkipWhitespace(content, at + kCharset.size());
        if (at < content.size() && content[at] == '=')
            break;
    }
    at = SkipWhitespace(content, at + 1);
    if (at >= content.size())
        return std::nullopt;
    const char quote = content[at];
    if (quote == '"' || quote == '\'') {
        const std::size_t close = content.find(quote, at + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        return content.substr(at + 1, close - at - 1);
    }
    const std::size_t end = std::min(content.find_first_of(kWhitespaceOrSemicolon, at), content.size());
    return content.substr(at, end - at);
}

// The scan of the first bytes of a body for a meta that declares the
// encoding, as browsers make it before parsing. It reads tags only as far as
// needed to step over them, so that a "<meta" inside a comment or inside
// another tag's attribute value is not taken for one. Running past the end
// of the window inside any tag or comment ends the scan with nothing found.
class TMetaPrescan {
public:
    explicit TMetaPrescan(std::string_view window) noexcept : FIn(window) {}

    // The encoding of the first meta that declares one we read.
    std::optional<TPageEncoding> Run();
    // The first label a meta declared that we do not read, as shown.
    const std::string& UnreadLabel() const noexcept { return FUnreadLabel; }

private:
    struct TAttribute {
        std::string Name;
        std::string Value;
    };
    // What a meta's charset and content attributes declared.
    struct TDeclared {
        std::optional<TPageEncoding> Encoding;  // nullopt: a label we do not read
        std::string Label;
    };

    // True, ending the scan, when FPos has run past the window.
    bool RanOut() noexcept;
    // Leaves FPos `offset` bytes after found; false, ending the scan, for npos.
    bool MoveTo(std::size_t found, std::size_t offset) noexcept;
    bool GetAttribute(TAttribute& attribute);
    bool ReadAttributeValue(std::string& value);
    std::optional<TPageEncoding> ReadMeta();
    void SkipTag();

    std::string_view FIn;
    std::size_t FPos = 0;
    bool FRanOut = false;
    std::string FUnreadLabel;
};

bool TMetaPrescan::RanOut() noexcept
{
    if (FPos >= FIn.size())
        FRanOut = true;
    return FRanOut;
}

bool TMetaPrescan::MoveTo(std::size_t found, std::size_t offset) noexcept
{
    if (found == std::string_view::npos) {
        FRanOut = true;
        return false;
    }
    FPos = found + offset;
    return true;
}

bool IsMetaStart(std::string_view rest) noexcept
{
    return rest.size() > 5 && StartsWithIgnoreAsciiCase(rest, "<meta") &&
        (IsAsciiWhitespace(rest[5]) || rest[5] == '/');
}

bool IsTagStart(std::string_view rest) noexcept
{
    return rest.size() > 1 && rest[0] == '<' &&
        (IsAsciiLetter(rest[1]) || (rest.size() > 2 && rest[1] == '/' && IsAsciiLetter(rest[2])));
}

bool IsOtherMarkupStart(std::string_view rest) noexcept
{
    return rest.size() > 1 && rest[0] == '<' && (rest[1] == '!' || rest[1] == '/' || rest[1] == '?');
}

// Every branch leaves FPos on the last byte of what it stepped over.
std::optional<TPageEncoding> TMetaPrescan::Run()
{
    for (; FPos < FIn.size(); ++FPos) {
        const std::string_view rest = FIn.substr(FPos);
        if (rest.starts_with("<!--")) {
            // The dashes of the opening may also close it: "<!-->" is a whole comment.
            if (!MoveTo(FIn.find("-->", FPos + 2), 2))
                return std::nullopt;
        } else if (IsMetaStart(rest)) {
            FPos += 5;
            const std::optional<TPageEncoding> encoding = ReadMeta();
            if (encoding || FRanOut)
                return encoding;
        } else if (IsTagStart(rest)) {
            SkipTag();
            if (FRanOut)
                return std::nullopt;
        } else if (IsOtherMarkupStart(rest)) {
            if (!MoveTo(FIn.find('>', FPos + 1), 0))
                return std::nullopt;
        }
    }
    return std::nullopt;
}

// Reads the next attribute of a tag. False at the '>' that ends the tag (FPos
// stays on it) and when the scan ran out.
bool TMetaPrescan::GetAttribute(TAttribute& attribute)
{
    while (FPos < FIn.size() && (IsAsciiWhitespace(FIn[FPos]) || FIn[FPos] == '/'))
        ++FPos;
    if (RanOut() || FIn[FPos] == '>')
        return false;
    attribute.Name.clear();
    attribute.Value.clear();
    // The name ends at '=', whitespace, '/' or '>'; a leading '=' is part of it.
    for (;; ++FPos) {
        if (RanOut())
            return false;
        const char c = FIn[FPos];
        if (c == '=' && !attribute.Name.empty())
            break;
        if (IsAsciiWhitespace(c)) {
            FPos = SkipWhitespace(FIn, FPos);
            if (RanOut())
                return false;
            if (FIn[FPos] != '=')
                return true;  // a name without a value
            break;
        }
        if (c == '/' || c == '>')
            return true;
        attribute.Name += ToAsciiLower(c);
    }
    FPos = SkipWhitespace(FIn, FPos + 1);
    return ReadAttributeValue(attribute.Value);
}

// The value after '=', lower-cased: quoted (up to the same quote), empty
// before '>', else up to whitespace or '>'.
bool TMetaPrescan::ReadAttributeValue(std::string& value)
{
    if (RanOut())
        return false;
    const char quote = FIn[FPos];
    if (quote == '"' || quote == '\'') {
        for (++FPos; !RanOut(); ++FPos) {
            if (FIn[FPos] == quote) {
                ++FPos;
                return true;
            }
            value += ToAsciiLower(FIn[FPos]);
        }
        return false;
    }
    for (; !RanOut(); ++FPos) {
        if (IsAsciiWhitespace(FIn[FPos]) || FIn[FPos] == '>')
            return true;
        value += ToAsciiLower(FIn[FPos]);
    }
    return false;
}

// Reads a meta's attributes up to its '>'. A charset attribute declares the
// encoding by itself; a content attribute's charset counts only beside
// http-equiv="content-type". The first of a repeated attribute counts.
std::optional<TPageEncoding> TMetaPrescan::ReadMeta()
{
    std::vector<std::string> seen;
    bool gotPragma = false;
    std::optional<bool> needPragma;
    std::optional<TDeclared> charset;
    TAttribute attribute;
    while (GetAttribute(attribute)) {
        if (std::find(seen.begin(), seen.end(), attribute.Name) != seen.end())
            continue;
        seen.push_back(attribute.Name);
        if (attribute.Name == "http-equiv") {
            gotPragma = gotPragma || attribute.Value == "content-type";
        } else if (attribute.Name == "content") {
            const std::optional<std::string_view> label = CharsetInMetaContent(attribute.Value);
            if (label && !charset) {
                charset = TDeclared{EncodingOfLabel(*label), std::string(*label)};
                needPragma = true;
            }
        } else if (attribute.Name == "charset") {
            charset = TDeclared{EncodingOfLabel(attribute.Value), attribute.Value};
            needPragma = false;
        }
    }
    if (FRanOut || !needPragma || (*needPragma && !gotPragma))
        return std::nullopt;
    if (!charset->Encoding) {
        if (FUnreadLabel.empty())
            FUnreadLabel = ShownLabel(charset->Label);
        return std::nullopt;
    }
    // Bytes this scan could read are no UTF-16; such a page is UTF-8.
    if (charset->Encoding == TPageEncoding::peUtf16Le || charset->Encoding == TPageEncoding::peUtf16Be)
        return TPageEncoding::peUtf8;
    return charset->Encoding;
}

// Steps over a start or end tag up to its '>', attribute values included.
void TMetaPrescan::SkipTag()
{
    if (!MoveTo(FIn.find_first_of(kWhitespaceOrGreater, FPos + 1), 0))
        return;
    TAttribute attribute;
    while (GetAttribute(attribute)) {}
}

// True when tail, the last bytes of a text, starts a valid UTF-8 sequence
// that the end of the text cut.
bool IsCutSequence(std::string_view tail) noexcept
{
    if (tail.empty() || tail.size() > 3)
        return false;
    const auto lead = static_cast<unsigned char>(tail[0]);
    if (tail.size() == 1)
        return lead >= 0xC2 && lead <= 0xF4;
    // Past the second byte any continuation byte completes the sequence.
    char completed[4] = {'\x80', '\x80', '\x80', '\x80'};
    std::memcpy(completed, tail.data(), tail.size());
    return Utf8SequenceLength(std::string_view(completed, sizeof completed), 0) > tail.size();
}

// True when the body is valid UTF-8 with at least one byte above 0x7F. Runs
// on every undeclared page, most of them Shift_JIS: ASCII goes eight bytes at
// a time and the first byte that starts no sequence ends the check.
bool IsUndeclaredUtf8(std::string_view body, bool cutShort) noexcept
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    bool sawNonAscii = false;
    std::size_t at = 0;
    while (at < body.size()) {
        std::uint64_t word;
        while (body.size() - at >= sizeof word) {
            std::memcpy(&word, body.data() + at, sizeof word);
            if ((word & kHighBits) != 0)
                break;
            at += sizeof word;
        }
        if (at == body.size())
            break;
        if (static_cast<unsigned char>(body[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(body, at);
        if (length == 0)
            return cutShort && IsCutSequence(body.substr(at));
        sawNonAscii = true;
        at += length;
    }
    return sawNonAscii;
}

std::optional<TEncodingSniff> SniffByteOrderMark(std::string_view body)
{
    if (body.starts_with("\xEF\xBB\xBF"))
        return TEncodingSniff{TPageEncoding::peUtf8, 3, {}};
    if (body.starts_with("\xFE\xFF"))
        return TEncodingSniff{TPageEncoding::peUtf16Be, 2, {}};
    if (body.starts_with("\xFF\xFE"))
        return TEncodingSniff{TPageEncoding::peUtf16Le, 2, {}};
    return std::nullopt;
}

}  // namespace

std::optional<TPageEncoding> EncodingOfLabel(std::string_view label)
{
    label = TrimLabel(label);
    for (const TLabel& known : kLabels)
        if (label.size() == known.Label.size() && StartsWithIgnoreAsciiCase(label, known.Label))
            return known.Encoding;
    return std::nullopt;
}

std::optional<std::string> CharsetOfContentType(std::string_view contentType)
{
    // Parameters follow the first ';'; one without '=' is passed over.
    std::size_t at = contentType.find(';');
    while (at < contentType.size()) {
        ++at;
        const std::size_t nameEnd = std::min(contentType.find_first_of("=;", at), contentType.size());
        const std::string_view name = TrimBlanks(contentType.substr(at, nameEnd - at));
        const bool isCharset = name.size() == 7 && StartsWithIgnoreAsciiCase(name, "charset");
        at = nameEnd;
        if (at == contentType.size() || contentType[at] == ';')
            continue;
        ++at;
        while (at < contentType.size() && IsBlank(contentType[at]))
            ++at;
        std::optional<std::string> quoted;
        if (at < contentType.size() && contentType[at] == '"')
            quoted = ReadQuotedString(contentType, at);
        const std::size_t valueEnd = std::min(contentType.find(';', at), contentType.size());
        if (isCharset)
            return quoted ? *quoted : std::string(TrimBlanks(contentType.substr(at, valueEnd - at)));
        at = valueEnd;
    }
    return std::nullopt;
}

TEncodingSniff SniffPageEncoding(std::string_view contentType, std::string_view body, bool cutShort)
{
    if (std::optional<TEncodingSniff> marked = SniffByteOrderMark(body))
        return *marked;
    TEncodingSniff sniff;
    if (const std::optional<std::string> label = CharsetOfContentType(contentType)) {
        if (const std::optional<TPageEncoding> encoding = EncodingOfLabel(*label)) {
            sniff.Encoding = *encoding;
            return sniff;
        }
        sniff.UnreadLabel = ShownLabel(*label);
    }
    TMetaPrescan prescan(body.substr(0, kPrescanLength));
    const std::optional<TPageEncoding> declared = prescan.Run();
    if (sniff.UnreadLabel.empty())
        sniff.UnreadLabel = prescan.UnreadLabel();
    if (declared) {
        sniff.Encoding = *declared;
        return sniff;
    }
    sniff.Encoding = IsUndeclaredUtf8(body, cutShort) ? TPageEncoding::peUtf8 : TPageEncoding::peShiftJis;
    return sniff;
}

}  // namespace tembrook
