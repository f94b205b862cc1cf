#include "PageGenerator.h"

#include <array>
#include <string_view>

namespace tembrook::bench {

namespace {

using namespace std::string_view_literals;

// Every Japanese text below is CP932. Each word is a literal of its own, so a
// hex escape never runs into the next character.

constexpr std::array<std::string_view, 5> kPublishers = {
    "\x90\xC2\x97\x74\x8F\x91\x96\x5B"sv,                          // 青葉書房
    "\x96\x6B\x93\x6C\x8E\xD0"sv,                                  // 北斗社
    "\x8C\x8E\x8C\xF5\x8F\x6F\x94\xC5"sv,                          // 月光出版
    "\x94\x92\x8A\x92\x83\x52\x83\x7E\x83\x62\x83\x4E\x83\x58"sv,  // 白樺コミックス
    "\x90\xAF\x96\xEC\x8F\x91\x93\x58"sv,                          // 星野書店
};

constexpr std::array<std::string_view, 10> kTitleHeads = {
    "\x96\x82\x96\x40"sv,  // 魔法
    "\x8B\xE2\x89\xCD"sv,  // 銀河
    "\x92\x54\x92\xE3"sv,  // 探偵
    "\x8C\x95\x8E\x6D"sv,  // 剣士
    "\x97\xBF\x97\x9D"sv,  // 料理
    "\x8A\x77\x89\x80"sv,  // 学園
    "\x8A\x43\x91\xAF"sv,  // 海賊
    "\x94\x45\x8E\xD2"sv,  // 忍者
    "\x93\x56\x8E\x67"sv,  // 天使
    "\x97\xB3"sv,          // 竜
};

constexpr std::array<std::string_view, 8> kTitleTails = {
    "\x95\xA8\x8C\xEA"sv,          // 物語
    "\x93\x60\x90\xE0"sv,          // 伝説
    "\x93\xFA\x8B\x4C"sv,          // 日記
    "\x90\xED\x8B\x4C"sv,          // 戦記
    "\x82\xCC\x8B\x78\x93\xFA"sv,  // の休日
    "\x8F\xAD\x8F\x97"sv,          // 少女
    "\x89\xA4\x8D\x91"sv,          // 王国
    "\x8E\x96\x8C\x8F\x95\xEB"sv,  // 事件簿
};

constexpr std::array<std::string_view, 10> kFamilyNames = {
    "\x8E\x52\x93\x63"sv,  // 山田
    "\x8D\xB2\x93\xA1"sv,  // 佐藤
    "\x97\xE9\x96\xD8"sv,  // 鈴木
    "\x8D\x82\x8B\xB4"sv,  // 高橋
    "\x93\x63\x92\x86"sv,  // 田中
    "\x88\xC9\x93\xA1"sv,  // 伊藤
    "\x93\x6E\x95\xD3"sv,  // 渡辺
    "\x92\x86\x91\xBA"sv,  // 中村
    "\x8F\xAC\x97\xD1"sv,  // 小林
    "\x89\xC1\x93\xA1"sv,  // 加藤
};

constexpr std::array<std::string_view, 10> kGivenNames = {
    "\x91\xBE\x98\x59"sv,  // 太郎
    "\x89\xD4\x8E\x71"sv,  // 花子
    "\x88\xEA\x98\x59"sv,  // 一郎
    "\x94\xFC\x8D\xE7"sv,  // 美咲
    "\x8C\x92\x91\xBE"sv,  // 健太
    "\x97\x52\x94\xFC"sv,  // 由美
    "\xE3\xC4"sv,          // 翔
    "\x88\xA4"sv,          // 愛
    "\x90\xBD"sv,          // 誠
    "\x95\x91"sv,          // 舞
};

constexpr std::array<std::string_view, 9> kPrices = {"420"sv, "462"sv, "525"sv,  "580"sv, "600"sv,
                                                     "650"sv, "780"sv, "1000"sv, "1200"sv};

constexpr std::string_view kFullWidthSpace = "\x81\x40"sv;                        // 　
constexpr std::string_view kCompleted = "\x81\x69\x8A\xAE\x81\x6A"sv;             // （完）
constexpr std::string_view kSideStory = "\x8A\x4F\x93\x60"sv;                     // 外伝
constexpr std::string_view kEarlyMonth = "\x8F\xE3\x8F\x7B"sv;                    // 上旬
constexpr std::string_view kMidMonth = "\x92\x86\x8F\x7B"sv;                      // 中旬
constexpr std::string_view kLateMonth = "\x89\xBA\x8F\x7B"sv;                     // 下旬
constexpr std::string_view kUnknownDay = "\x95\x73\x96\xBE"sv;                    // 不明
constexpr std::string_view kHeadingWords = "\x94\xAD\x94\x84\x93\xFA\x8F\x87"sv;  // 発売日順
// 発売日順(テーブル表示), with ASCII parentheses
constexpr std::string_view kHeading =
    "\x94\xAD\x94\x84\x93\xFA\x8F\x87\x28\x83\x65\x81\x5B\x83\x75\x83\x8B\x95\x5C\x8E\xA6\x29"sv;
constexpr std::string_view kSiteTitle =
    "\x83\x52\x83\x7E\x83\x62\x83\x4E\x90\x56\x8A\xA7\x88\xC4\x93\xE0"sv;  // コミック新刊案内
constexpr std::string_view kNews =
    "\x90\x56\x8A\xA7\x82\xCC\x82\xA8\x92\x6D\x82\xE7\x82\xB9"sv;  // 新刊のお知らせ
constexpr std::string_view kEvents = "\x83\x43\x83\x78\x83\x93\x83\x67\x8F\xEE\x95\xF1"sv;  // イベント情報
constexpr std::string_view kYear = "\x94\x4E"sv;                                            // 年
constexpr std::string_view kMonth = "\x8C\x8E"sv;                                           // 月
constexpr std::string_view kDay = "\x93\xFA"sv;                                             // 日
constexpr std::string_view kReleases = "\x94\xAD\x94\x84\x95\xAA"sv;                        // 発売分
constexpr std::string_view kNew = "\x90\x56\x8A\xA7"sv;                                     // 新刊
constexpr std::string_view kTopPage = "\x83\x67\x83\x62\x83\x76\x83\x79\x81\x5B\x83\x57"sv;  // トップページ
// The table's header row: 発売日, 出版社, 書名, 著者, 価格
constexpr std::string_view kHeaderRow =
    "<tr><td>\x94\xAD\x94\x84\x93\xFA</td><td>\x8F\x6F\x94\xC5\x8E\xD0</td>"
    "<td>\x8F\x91\x96\xBC</td><td>\x92\x98\x8E\xD2</td><td>\x89\xBF\x8A\x69</td></tr>"sv;

// Months that have a 31st, for the unknown-day dates, which take today's day.
constexpr std::array<int, 7> kLongMonths = {1, 3, 5, 7, 8, 10, 12};

constexpr std::string_view kCrLf = "\r\n"sv;

void AppendTwoDigits(std::string& out, int value)
{
    out.push_back(static_cast<char>('0' + (value / 10) % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

// Full-width digits of a positive number (０ is 0x82 0x4F, the others follow).
void AppendFullWidthNumber(std::string& out, int value)
{
    const std::string digits = std::to_string(value);
    for (const char d : digits) {
        out.push_back('\x82');
        out.push_back(static_cast<char>(0x4F + (d - '0')));
    }
}

// Full-width capital letter number 0..25 (Ａ is 0x82 0x60).
void AppendFullWidthLetter(std::string& out, int letter)
{
    out.push_back('\x82');
    out.push_back(static_cast<char>(0x60 + letter % 26));
}

void AppendDate(std::string& out, int row)
{
    const int month = 1 + (row / 2000) % 12;
    switch (row % 20) {
    case 16:
        AppendTwoDigits(out, month);
        out.append("/").append(kEarlyMonth);
        break;
    case 17:
        AppendTwoDigits(out, month);
        out.append("/").append(kMidMonth);
        break;
    case 18:
        AppendTwoDigits(out, month);
        out.append("/").append(kLateMonth);
        break;
    case 19:
        AppendTwoDigits(out, kLongMonths[static_cast<std::size_t>(row / 20) % kLongMonths.size()]);
        out.append("/").append(kUnknownDay);
        break;
    default:
        AppendTwoDigits(out, month);
        out.append("/");
        AppendTwoDigits(out, 1 + (row / 70) % 28);
        break;
    }
}

// The title's name part: a head and a tail word and, for most rows, two
// full-width letters, so that rows far apart rarely share a name.
std::string TitleName(int row)
{
    std::string name;
    name.append(kTitleHeads[static_cast<std::size_t>(row) % kTitleHeads.size()]);
    if (row % 23 == 0)
        name.append("&amp;");
    name.append(kTitleTails[static_cast<std::size_t>(row / 10) % kTitleTails.size()]);
    if (row % 6 != 5) {
        const int code = (row / 80) % (26 * 26);
        AppendFullWidthLetter(name, code / 26);
        AppendFullWidthLetter(name, code);
    }
    return name;
}

// The title cell's text after the name: most rows have a full-width space and
// a full-width volume number, some the completed marker, some a second
// segment, some nothing.
std::string TitleRest(int row)
{
    std::string rest;
    const int volume = 1 + (row / 3) % 48;
    switch (row % 10) {
    case 6:
        rest.append(kFullWidthSpace);
        AppendFullWidthNumber(rest, volume);
        rest.append(kCompleted);
        break;
    case 7:
        rest.append(kFullWidthSpace).append(kSideStory).append(kFullWidthSpace);
        AppendFullWidthNumber(rest, volume);
        break;
    case 8:
        break;
    case 9:
        rest.append(kCompleted);
        break;
    default:
        rest.append(kFullWidthSpace);
        AppendFullWidthNumber(rest, volume);
        break;
    }
    return rest;
}

void AppendRow(std::string& out, int row, bool withPrice)
{
    const std::string_view indent = (row % 2 == 0) ? "  "sv : ""sv;

    out.append("<tr><td width=50 bgcolor=#efefef>");
    AppendDate(out, row);
    out.append("</td>").append(kCrLf);

    out.append(indent).append("<td>").append(
        kPublishers[static_cast<std::size_t>(row / 3) % kPublishers.size()]);
    out.append("</td>").append(kCrLf);

    const std::string name = TitleName(row);
    const std::string rest = TitleRest(row);
    out.append(indent).append("<td>").append(name);
    if (row % 7 == 3 && !rest.empty()) {
        // The cell goes on on the next line, indented.
        out.append(kCrLf).append("      ");
    }
    out.append(rest).append("</td>").append(kCrLf);

    const std::string_view family = kFamilyNames[static_cast<std::size_t>(row) % kFamilyNames.size()];
    const std::string_view given = kGivenNames[static_cast<std::size_t>(row / 7) % kGivenNames.size()];
    out.append(indent).append("<td>").append(family).append(kFullWidthSpace).append(given);
    if (row % 11 == 5) {
        // A second author, on a line of its own.
        out.append(kCrLf).append("    ").append(kFullWidthSpace);
        out.append(kFamilyNames[static_cast<std::size_t>(row / 11) % kFamilyNames.size()]);
        out.append(kFullWidthSpace)
            .append(kGivenNames[static_cast<std::size_t>(row / 5) % kGivenNames.size()]);
    }
    out.append("</td>").append(kCrLf);

    if (withPrice) {
        out.append(indent).append("<td align=right>");
        if (row % 9 != 4)
            out.append(kPrices[static_cast<std::size_t>(row / 9) % kPrices.size()]);
        out.append("</td></tr>").append(kCrLf);
    }

    // Rows are separated by one blank line, now and then by two, or by a line
    // holding only blanks.
    if (row % 13 == 6)
        out.append("   \t").append(kCrLf);
    else
        out.append(kCrLf);
    if (row % 5 == 2)
        out.append(kCrLf);
}

}  // namespace

std::string MakeTablePage(int rows, int firstRow, int badEvery)
{
    std::string page;
    page.reserve(static_cast<std::size_t>(rows > 0 ? rows : 0) * 170 + 1024);
    page.append("<html>").append(kCrLf);
    page.append("<head>").append(kCrLf);
    page.append("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">").append(kCrLf);
    page.append("<title>").append(kSiteTitle).append("</title>").append(kCrLf);
    page.append("</head>").append(kCrLf);
    page.append("<body bgcolor=#ffffff>").append(kCrLf);
    page.append("<h2>").append(kHeading).append("</h2>").append(kCrLf);
    page.append("<table border=1 cellpadding=2>").append(kCrLf);
    page.append(kHeaderRow).append(kCrLf).append(kCrLf);
    for (int i = 0; i < rows; ++i)
        AppendRow(page, firstRow + i, badEvery <= 0 || i % badEvery != badEvery - 1);
    page.append("</table>").append(kCrLf);
    page.append("<p><a href=\"index.html\">").append(kTopPage).append("</a></p>").append(kCrLf);
    page.append("</body>").append(kCrLf);
    page.append("</html>").append(kCrLf);
    return page;
}

std::string MakeTopPage(std::size_t fillerBytes, const std::vector<std::string>& links)
{
    std::string page;
    page.reserve(fillerBytes + 2048);
    page.append("<html>").append(kCrLf);
    page.append("<head><title>").append(kSiteTitle).append("</title></head>").append(kCrLf);
    page.append("<body>").append(kCrLf);
    page.append("<ul>").append(kCrLf);
    for (int i = 0; page.size() < fillerBytes; ++i) {
        if (i % 50 == 49) {
            // The heading's first words alone: a near miss for the heading search.
            page.append("<h3>").append(kHeadingWords).append("</h3>").append(kCrLf);
            continue;
        }
        page.append("<li>2026").append(kYear);
        page.append(std::to_string(1 + i % 12))
            .append(kMonth)
            .append(std::to_string(1 + i % 28))
            .append(kDay);
        page.append(kFullWidthSpace)
            .append("<a href=\"news/n")
            .append(std::to_string(100000 + i))
            .append(".html\">");
        page.append(kNew).append(kFullWidthSpace).append(kNews).append("</a>").append(kFullWidthSpace);
        page.append(kEvents).append("</li>").append(kCrLf);
    }
    page.append("</ul>").append(kCrLf);
    page.append("<h3>").append(kHeading).append("</h3>").append(kCrLf);
    for (std::size_t i = 0; i < links.size(); ++i) {
        page.append("<a href=\"").append(links[i]).append("\">");
        AppendFullWidthNumber(page, static_cast<int>(3 + i));
        page.append(kMonth).append(kReleases).append("</a><br>").append(kCrLf);
    }
    page.append("<p><a href=\"index.html\">").append(kTopPage).append("</a></p>").append(kCrLf);
    page.append("</body>").append(kCrLf);
    page.append("</html>").append(kCrLf);
    return page;
}

std::string MakeLargeCell(std::size_t bytes)
{
    std::string cell("<td width=250>");
    cell.reserve(bytes + 256);
    for (int i = 0; cell.size() + 5 < bytes; ++i) {
        cell.append("<b>").append(TitleName(i)).append("</b>");
        cell.append(TitleRest(i));
        cell.append(" Vol.").append(std::to_string(i % 40)).append(" &amp; ");
        cell.append("<font color=red>").append(kNew).append("</font>");
        cell.append(kFamilyNames[static_cast<std::size_t>(i) % kFamilyNames.size()]);
        cell.append("(").append(kPrices[static_cast<std::size_t>(i) % kPrices.size()]).append(")<br>");
    }
    cell.append("</td>");
    return cell;
}

}  // namespace tembrook::bench
