// Every text of RoadTexts.h against its wording, written here in UTF-8 and
// turned into CP932 by the C library's converter.
#include <gtest/gtest.h>

#include <iconv.h>

#include <stdexcept>
#include <string>

#include "RoadTexts.h"

namespace tembrook {
namespace {

std::string Cp932(const std::string& utf8)
{
    const iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("the C library cannot convert UTF-8 into CP932");
    std::string in = utf8;
    std::string out(in.size() * 2, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0)
        throw std::runtime_error("not convertible into CP932: " + utf8);
    out.resize(out.size() - outLeft);
    return out;
}

TEST(RoadTexts, EveryTextReadsAsWritten)
{
    struct Case {
        const char* Text;
        std::string Wording;
    };
    using namespace roadtext;
    const Case cases[] = {
        {kStatusTopPageLoading, "トップリスト取込中.."},
        {kStatusError, "取得エラー"},
        {kStatusSuccess, "取得成功"},
        {kLogTopPageFailed, "Topページ取得失敗"},
        {kLogTopPageReceived, "Topページ取得成功"},
        {kLogTopPageReadError, "Topページ受信エラー : "},
        {kLogTopPageEncoding, "Topページの文字コード "},
        {kLogTopPageNoLink, "Topページの発売日順(テーブル表示)の下にリストへのリンクがありません : "},
        {kLogListImport, "リスト取り込み : "},
        {kLogTablePageReceived, "‥‥リスト取得成功"},
        {kLogTablePageFailed, "‥‥リスト取得失敗 : "},
        {kLogTablePageReadError, "‥‥リスト受信エラー : "},
        {kLogTablePageEncoding, "‥‥リストの文字コード "},
        {kLogTableUnreadable, "‥‥リストの表を読み取れません : "},
        {kLogEncodingUnread, " は読めません : "},
        {kLogRowDropped, "‥‥行を読み飛ばしました : "},
        {kRowOfTable, " 表の"},
        {kRowLineOfPage, "行目 (ページ"},
        {kRowLineEnd, "行目) : "},
        {kTopPageHeading, "発売日順(テーブル表示)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Text, Cp932(c.Wording)) << c.Wording;
}

}  // namespace
}  // namespace tembrook
