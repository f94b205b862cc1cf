// The encoding of a page: byte-order mark, then the header's charset, then a
// meta in the first 1024 bytes, then valid UTF-8, else Shift_JIS; and which
// declared label is reported as unread.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "PageEncoding.h"
#include "Utf8Text.h"

namespace tembrook {
namespace {

using enum TPageEncoding;

TEST(PageEncoding, SniffsInBrowserOrder)
{
    struct Case {
        std::string ContentType;
        std::string Body;
        bool CutShort;
        TPageEncoding Encoding;
        std::size_t BomLength;
        std::string UnreadLabel;
    };
    const std::string kanjiUtf8 = "\xE6\xBC\xAB\xE7\x94\xBB";  // 漫画
    const std::string before1024(1024 - 21, ' ');              // + "<meta charset=euc-jp>" ends at byte 1024
    const std::string longLabel = "\tlatin\x01-" + std::string(50, 'x');
    const Case cases[] = {
        {"", "\xEF\xBB\xBF<p>", false, peUtf8, 3, ""},
        {"", "\xFE\xFF\x30\x42", false, peUtf16Be, 2, ""},
        {"text/html; charset=bogus", "\xFF\xFE\x42\x30", false, peUtf16Le, 2, ""},
        {"text/html; charset=EUC-JP", kanjiUtf8, false, peEucJp, 0, ""},
        {"text/html;charset=\"iso-2022-jp\"", "", false, peIso2022Jp, 0, ""},
        {"text/html; format=flowed; Charset = 'utf-8' ", "", false, peUtf8, 0, ""},
        {"text/html; charset=UTF-16BE", "", false, peUtf16Be, 0, ""},
        {"text/html; charset=utf-16", "", false, peUtf16Le, 0, ""},
        {"text/html; name=\"a;charset=euc-jp\"", "", false, peShiftJis, 0, ""},
        {"text/html; charset=shift_jis", "<meta charset=utf-8>" + kanjiUtf8, false, peShiftJis, 0, ""},
        {"", "<html><meta charset=\"EUC-JP\">", false, peEucJp, 0, ""},
        {"", "<meta http-equiv='Content-Type' content='text/html; charset=euc-jp'>", false, peEucJp, 0, ""},
        {"", "<META CONTENT='x;CHARSET=ISO-2022-JP' HTTP-EQUIV=Content-Type>", false, peIso2022Jp, 0, ""},
        {"", "<meta content=\"charset; charset = euc-jp\" http-equiv=content-type>", false, peEucJp, 0, ""},
        {"", "<meta content=\"text/html; charset=euc-jp\">", false, peShiftJis, 0, ""},
        {"", "<meta http-equiv=content-type><meta content=\"charset=euc-jp\">", false, peShiftJis, 0, ""},
        {"", "<meta content='charset=utf-8' http-equiv=content-type charset=euc-jp>", false, peEucJp, 0, ""},
        {"", "<meta charset=euc-jp content='charset=utf-8' http-equiv=content-type>", false, peEucJp, 0, ""},
        {"", "<meta charset=euc-jp charset=iso-2022-jp>", false, peEucJp, 0, ""},
        {"", "<!-- <meta charset=euc-jp> -->", false, peShiftJis, 0, ""},
        {"", "<!--><meta charset=euc-jp>", false, peEucJp, 0, ""},
        {"", "<meta = charset=euc-jp>", false, peEucJp, 0, ""},
        {"", "<metadata charset=euc-jp>", false, peShiftJis, 0, ""},
        {"", "<meta name=\"a>b\" charset=euc-jp>", false, peEucJp, 0, ""},
        {"", "<a title='<meta charset=euc-jp>'>", false, peShiftJis, 0, ""},
        {"", "</p x=\"<meta charset=euc-jp>\"><?x <meta charset=utf-8>", false, peShiftJis, 0, ""},
        {"", before1024 + "<meta charset=euc-jp>", false, peEucJp, 0, ""},
        {"", " " + before1024 + "<meta charset=euc-jp>", false, peShiftJis, 0, ""},
        {"", before1024 + "<meta charset=euc-jp >", false, peShiftJis, 0, ""},
        {"", std::string(1024, ' ') + "<meta charset=euc-jp>", false, peShiftJis, 0, ""},
        {"", "<meta charset=bogus>" + before1024 + "<meta charset=euc-jp>", false, peShiftJis, 0, "bogus"},
        {"", "<meta charset=utf-16be>", false, peUtf8, 0, ""},
        {"text/html; charset=windows-1252", "<meta charset=euc-jp>", false, peEucJp, 0, "windows-1252"},
        {"text/plain; charset=bogus", "<meta charset=x-user-defined>" + kanjiUtf8, false, peUtf8, 0, "bogus"},
        {"", "<meta charset=x-user-defined><meta charset=bogus><meta charset=iso-2022-jp>", false,
         peIso2022Jp, 0, "x-user-defined"},
        {"text/html; charset=\"\"", "<meta charset=\" \x01\"><meta charset='Bogus'>", false, peShiftJis, 0,
         "bogus"},
        {"text/html; charset=\"" + longLabel + "\"", "", false, peShiftJis, 0,
         "latin-" + std::string(34, 'x')},
        {"", kanjiUtf8, false, peUtf8, 0, ""},
        {"", std::string(2000, 'a') + kanjiUtf8, false, peUtf8, 0, ""},
        {"", "plain ascii text", true, peShiftJis, 0, ""},
        {"", "\x8A\xBF\x8E\x9A", false, peShiftJis, 0, ""},      // 漢字 in Shift_JIS
        {"", "\xA4\xA2\xA4\xA4", false, peShiftJis, 0, ""},      // あい in EUC-JP
        {"", "\xC0\xAF" + kanjiUtf8, false, peShiftJis, 0, ""},  // overlong
        {"", kanjiUtf8 + "\xED\xA0\x80", false, peShiftJis, 0, ""},
        {"", kanjiUtf8 + "abc\x80", false, peShiftJis, 0, ""},
        {"", kanjiUtf8 + "\xE6\xBC", false, peShiftJis, 0, ""},
        {"", kanjiUtf8 + "\xE6\xBC", true, peUtf8, 0, ""},
        {"", kanjiUtf8 + "\xF0\x9F\x98", true, peUtf8, 0, ""},
        {"", kanjiUtf8 + "\xE0\x80", true, peShiftJis, 0, ""},
        {"", "\xE6\xBC\x41", true, peShiftJis, 0, ""},
        {"", kanjiUtf8 + "\xC1", true, peShiftJis, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases << ": " << c.ContentType << " | " << c.Body);
        const TEncodingSniff sniff = SniffPageEncoding(c.ContentType, c.Body, c.CutShort);
        EXPECT_EQ(sniff.Encoding, c.Encoding);
        EXPECT_EQ(sniff.BomLength, c.BomLength);
        EXPECT_EQ(sniff.UnreadLabel, c.UnreadLabel);
    }
}

TEST(PageEncoding, ReadsEveryLabelOfTheTableAndNoOther)
{
    struct Case {
        std::optional<TPageEncoding> Encoding;
        std::vector<std::string> Labels;
    };
    const Case cases[] = {
        {peUtf8, {"unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8", "x-unicode20utf8"}},
        {peShiftJis,
         {"csshiftjis", "ms932", "ms_kanji", "shift-jis", "shift_jis", "sjis", "windows-31j", "x-sjis"}},
        {peEucJp, {"cseucpkdfmtjapanese", "euc-jp", "x-euc-jp", " 'Euc-JP'\n"}},
        {peIso2022Jp, {"csiso2022jp", "iso-2022-jp"}},
        {peUtf16Le,
         {"csunicode", "iso-10646-ucs-2", "ucs-2", "unicode", "unicodefeff", "utf-16", "utf-16le"}},
        {peUtf16Be, {"unicodefffe", "utf-16be"}},
        {peUtf8, {"UTF-8", "\t\"utf-8\" ", "\f\r'UtF8'"}},
        {std::nullopt,
         {"", " \"\" ", "iso-8859-1", "windows-1252", "x-user-defined", "utf 8", "utf-8x", "sjis;"}},
    };
    for (const Case& c : cases)
        for (const std::string& label : c.Labels) {
            SCOPED_TRACE(label);
            EXPECT_EQ(EncodingOfLabel(label), c.Encoding);
        }
}

TEST(PageEncoding, FindsTheCharsetParameter)
{
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"text/html; charset=\"ut\\\"f-8\"; x=y", "ut\"f-8"},
        {"text/html; CHARSET=Shift_JIS ; charset=utf-8", "Shift_JIS"},
        {"text/html; charset=", ""},
        {"text/html; charset; x=y", std::nullopt},
        {"charset=utf-8", std::nullopt},
    };
    for (const auto& [contentType, charset] : cases)
        EXPECT_EQ(CharsetOfContentType(contentType), charset) << contentType;
}

// The eight-byte ASCII path against the plain rule, on bodies of ASCII runs,
// whole characters and now and then a stray byte at any alignment; cutting a
// valid body anywhere keeps it UTF-8 when the body is known to be cut short.
TEST(PageEncoding, UndeclaredUtf8CheckAgreesWithTheByteByByteRule)
{
    const std::string pieces[] = {"a",        "abcdefgh",     "0123456789abc",
                                  "\xC3\xA9", "\xE6\xBC\xAB", "\xF0\x9F\x98\x80"};
    const auto hasNonAscii = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
    };
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        std::string body;
        for (unsigned i = random() % 12; i > 0; --i)
            body += random() % 16 == 0 ? std::string(1, static_cast<char>(0x80 + random() % 0x80))
                                       : pieces[random() % std::size(pieces)];
        const bool expectUtf8 = IsValidUtf8(body) && hasNonAscii(body);
        SCOPED_TRACE(body);
        EXPECT_EQ(SniffPageEncoding("", body, false).Encoding, expectUtf8 ? peUtf8 : peShiftJis);
        if (expectUtf8) {
            const std::string cut = body.substr(0, body.size() - random() % 3);
            EXPECT_EQ(SniffPageEncoding("", cut, true).Encoding, hasNonAscii(cut) ? peUtf8 : peShiftJis);
        }
    }
}

}  // namespace
}  // namespace tembrook
