#pragma once
// The texts the import road shows and logs, and the top-page heading the
// parser looks for, in CP932 as they go out and come in. Each stands as hex
// escapes with its wording in the comment above it; RoadTextsTest holds the
// same wording in UTF-8 and checks every text against it, so a text is
// changed in three places: the comment, the bytes (iconv -f UTF-8 -t CP932 |
// xxd gives them) and the test's table.

namespace tembrook::roadtext {

// Status bar.

// トップリスト取込中..
inline constexpr const char* kStatusTopPageLoading =
    "\x83\x67\x83\x62\x83\x76\x83\x8A\x83\x58\x83\x67\x8E\xE6\x8D\x9E\x92\x86..";
// 取得エラー
inline constexpr const char* kStatusError = "\x8E\xE6\x93\xBE\x83\x47\x83\x89\x81\x5B";
// 取得成功
inline constexpr const char* kStatusSuccess = "\x8E\xE6\x93\xBE\x90\xAC\x8C\xF7";

// Log lines of the top page.

// Topページ取得失敗
inline constexpr const char* kLogTopPageFailed =
    "Top\x83\x79\x81\x5B\x83\x57\x8E\xE6\x93\xBE\x8E\xB8\x94\x73";
// Topページ取得成功
inline constexpr const char* kLogTopPageReceived =
    "Top\x83\x79\x81\x5B\x83\x57\x8E\xE6\x93\xBE\x90\xAC\x8C\xF7";
// "Topページ受信エラー : "
inline constexpr const char* kLogTopPageReadError =
    "Top\x83\x79\x81\x5B\x83\x57\x8E\xF3\x90\x4D\x83\x47\x83\x89\x81\x5B : ";
// "Topページの文字コード "
inline constexpr const char* kLogTopPageEncoding =
    "Top\x83\x79\x81\x5B\x83\x57\x82\xCC\x95\xB6\x8E\x9A\x83\x52\x81\x5B\x83\x68 ";
// "Topページの発売日順(テーブル表示)の下にリストへのリンクがありません : "
inline constexpr const char* kLogTopPageNoLink =
    "Top\x83\x79\x81\x5B\x83\x57\x82\xCC\x94\xAD\x94\x84\x93\xFA\x8F\x87(\x83\x65\x81\x5B\x83\x75\x83\x8B"
    "\x95\x5C\x8E\xA6)\x82\xCC\x89\xBA\x82\xC9\x83\x8A\x83\x58\x83\x67\x82\xD6\x82\xCC\x83\x8A\x83\x93"
    "\x83\x4E\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1 : ";
// "リスト取り込み : "
inline constexpr const char* kLogListImport = "\x83\x8A\x83\x58\x83\x67\x8E\xE6\x82\xE8\x8D\x9E\x82\xDD : ";

// Log lines of a table page.

// ‥‥リスト取得成功
inline constexpr const char* kLogTablePageReceived =
    "\x81\x64\x81\x64\x83\x8A\x83\x58\x83\x67\x8E\xE6\x93\xBE\x90\xAC\x8C\xF7";
// "‥‥リスト取得失敗 : "
inline constexpr const char* kLogTablePageFailed =
    "\x81\x64\x81\x64\x83\x8A\x83\x58\x83\x67\x8E\xE6\x93\xBE\x8E\xB8\x94\x73 : ";
// "‥‥リスト受信エラー : "
inline constexpr const char* kLogTablePageReadError =
    "\x81\x64\x81\x64\x83\x8A\x83\x58\x83\x67\x8E\xF3\x90\x4D\x83\x47\x83\x89\x81\x5B : ";
// "‥‥リストの文字コード "
inline constexpr const char* kLogTablePageEncoding =
    "\x81\x64\x81\x64\x83\x8A\x83\x58\x83\x67\x82\xCC\x95\xB6\x8E\x9A\x83\x52\x81\x5B\x83\x68 ";
// "‥‥リストの表を読み取れません : "
inline constexpr const char* kLogTableUnreadable =
    "\x81\x64\x81\x64\x83\x8A\x83\x58\x83\x67\x82\xCC\x95\x5C\x82\xF0\x93\xC7\x82\xDD\x8E\xE6"
    "\x82\xEA\x82\xDC\x82\xB9\x82\xF1 : ";

// After either page's encoding text and the encoding's name: " は読めません : "
inline constexpr const char* kLogEncodingUnread = " \x82\xCD\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1 : ";

// A dropped row: "‥‥行を読み飛ばしました : " URL " 表の" N "行目 (ページ" N "行目) : " why

// "‥‥行を読み飛ばしました : "
inline constexpr const char* kLogRowDropped =
    "\x81\x64\x81\x64\x8D\x73\x82\xF0\x93\xC7\x82\xDD\x94\xF2\x82\xCE\x82\xB5\x82\xDC\x82\xB5\x82\xBD : ";
// " 表の"
inline constexpr const char* kRowOfTable = " \x95\x5C\x82\xCC";
// "行目 (ページ"
inline constexpr const char* kRowLineOfPage = "\x8D\x73\x96\xDA (\x83\x79\x81\x5B\x83\x57";
// "行目) : "
inline constexpr const char* kRowLineEnd = "\x8D\x73\x96\xDA) : ";

// The top page: the heading above the table-page links, 発売日順(テーブル表示)
// with ASCII parentheses.
inline constexpr const char* kTopPageHeading =
    "\x94\xAD\x94\x84\x93\xFA\x8F\x87\x28\x83\x65\x81\x5B\x83\x75\x83\x8B\x95\x5C\x8E\xA6\x29";

}  // namespace tembrook::roadtext
