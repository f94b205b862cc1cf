// ParseTopPage and AddTablePageURL: which lines of the top page are read, and
// which links are taken from them (how each is made absolute is
// LinkResolutionTest's).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BookDataInportOptionUnit.h"
#include "RoadTexts.h"

namespace tembrook {
namespace {

// 発売日順(テーブル表示)
const std::string kHeading(roadtext::kTopPageHeading);
// 発売日順（テーブル表示）: the same words with full-width parentheses (0x8169, 0x816A)
const std::string kHeadingFullWidthParens =
    "\x94\xAD\x94\x84\x93\xFA\x8F\x87\x81\x69\x83\x65\x81\x5B\x83\x75\x83\x8B\x95\x5C\x8E\xA6\x81\x6A";
const std::string kSource = "http://127.0.0.1:8080/comic/index.html";

std::string Page(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> Parse(const std::string& text, bool& result, const std::string& source = kSource)
{
    TBookDataInportOption option;
    option.SourceURL = source;
    result = option.ParseTopPage(text);
    return option.TablePageURLs;
}

using Urls = std::vector<std::string>;

TEST(TopPageParser, TakesTheTwoLinesAfterTheHeading)
{
    bool ok = false;
    const Urls urls =
        Parse(Page({"<html><body>", "<h3>" + kHeading + "</h3>", "<a href=\"a.html\">A</a><br>",
                    "<a href=\"b.html\">B</a><br>", "<a href=\"c.html\">C</a><br>", "</body></html>"}),
              ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(urls, (Urls{"http://127.0.0.1:8080/comic/a.html", "http://127.0.0.1:8080/comic/b.html"}));
}

TEST(TopPageParser, WhichLinkLinesQualify)
{
    struct Case {
        const char* Name;
        std::string LinkLine;
        bool Qualifies;
    };
    const Case cases[] = {
        {"lower case", "<a href=\"x.html\">x</a>", true},
        {"upper case", "<A HREF=\"x.html\">x</A>", true},
        {"mixed case unquoted", "<A hReF=x.html>x</A>", true},
        {"two spaces", "<a  href=\"x.html\">x</a>", false},
        {"attribute before href", "<a class=m href=\"x.html\">x</a>", false},
        {"plain text", "x.html", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        bool ok = false;
        const Urls urls = Parse(Page({kHeading, c.LinkLine, "<a href=\"y.html\">y</a>"}), ok);
        EXPECT_EQ(ok, c.Qualifies);
        if (c.Qualifies) {
            EXPECT_EQ(urls,
                      (Urls{"http://127.0.0.1:8080/comic/x.html", "http://127.0.0.1:8080/comic/y.html"}));
        } else {
            EXPECT_TRUE(urls.empty());
        }
    }
}

TEST(TopPageParser, WhichHeadingsCount)
{
    bool ok = true;
    EXPECT_TRUE(
        Parse(Page({kHeadingFullWidthParens, "<a href=\"a.html\">", "<a href=\"b.html\">"}), ok).empty());
    EXPECT_FALSE(ok);

    // A heading and its link on one line do not count: the link must follow.
    EXPECT_TRUE(Parse(Page({kHeading + "<a href=\"a.html\">", "text", "more"}), ok).empty());
    EXPECT_FALSE(ok);

    // The heading bytes right after a lead byte start on a trail byte: no heading.
    EXPECT_TRUE(Parse(Page({"\x81" + kHeading, "<a href=\"a.html\">", "<a href=\"b.html\">"}), ok).empty());
    EXPECT_FALSE(ok);

    // Text and tags around the heading are fine.
    EXPECT_EQ(Parse(Page({"<p><b>\x81\xA1" + kHeading + "</b> (new)</p>", "<a href=\"a.html\">", "<br>"}), ok)
                  .size(),
              2u);
    EXPECT_TRUE(ok);
}

TEST(TopPageParser, ScanGoesOnPastAHeadingWithoutLinks)
{
    bool ok = false;
    const Urls urls =
        Parse(Page({kHeading, "coming soon", kHeading, "<a href=\"a.html\">", "<a href=\"b.html\">"}), ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(urls, (Urls{"http://127.0.0.1:8080/comic/a.html", "http://127.0.0.1:8080/comic/b.html"}));
}

TEST(TopPageParser, OnlyTheFirstQualifyingHeadingIsUsed)
{
    bool ok = false;
    const Urls urls = Parse(Page({kHeading, "<a href=\"a.html\">", "<a href=\"b.html\">", kHeading,
                                  "<a href=\"c.html\">", "<a href=\"d.html\">"}),
                            ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(urls, (Urls{"http://127.0.0.1:8080/comic/a.html", "http://127.0.0.1:8080/comic/b.html"}));
}

TEST(TopPageParser, SecondLineIsTakenWhateverItHolds)
{
    bool ok = false;
    // A line without href is cut down as ExtractHrefValue does: "<td" here.
    EXPECT_EQ(Parse(Page({kHeading, "<a href=\"a.html\">", "<td>next</td>"}), ok),
              (Urls{"http://127.0.0.1:8080/comic/a.html", "http://127.0.0.1:8080/comic/<td"}));
    EXPECT_TRUE(ok);
    // An empty line and an empty href add nothing, and the result stays true.
    EXPECT_EQ(Parse(Page({kHeading, "<a href=\"a.html\">", ""}), ok),
              (Urls{"http://127.0.0.1:8080/comic/a.html"}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Parse(Page({kHeading, "<a href=\"\">", "<a href=\"b.html\">"}), ok),
              (Urls{"http://127.0.0.1:8080/comic/b.html"}));
    EXPECT_TRUE(ok);
}

TEST(TopPageParser, MissingLinesAtTheEndOfThePage)
{
    bool ok = true;
    // The heading on the last line: nothing to read after it.
    EXPECT_NO_THROW(EXPECT_TRUE(Parse(Page({"<p>", kHeading}), ok).empty()));
    EXPECT_FALSE(ok);
    // Without a final line break either.
    EXPECT_NO_THROW(EXPECT_TRUE(Parse("<p>\r\n" + kHeading, ok).empty()));
    EXPECT_FALSE(ok);
    // The link line is the last line: only its own link.
    EXPECT_NO_THROW(EXPECT_EQ(Parse(Page({kHeading, "<a href=\"a.html\">"}), ok),
                              (Urls{"http://127.0.0.1:8080/comic/a.html"})));
    EXPECT_TRUE(ok);
    // An empty page.
    EXPECT_TRUE(Parse("", ok).empty());
    EXPECT_FALSE(ok);
}

TEST(TopPageParser, LineEndingsOfEveryKind)
{
    for (const std::string& eol : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
        bool ok = false;
        const std::string text = kHeading + eol + "<a href=\"a.html\">" + eol + "<a href=\"b.html\">" + eol;
        EXPECT_EQ(Parse(text, ok).size(), 2u);
        EXPECT_TRUE(ok);
    }
}

TEST(TopPageParser, ParsingAgainEmptiesTheListAndKeepsDuplicates)
{
    TBookDataInportOption option;
    option.SourceURL = kSource;
    ASSERT_TRUE(option.ParseTopPage(Page({kHeading, "<a href=\"a.html\">", "<a href=\"a.html\">"})));
    EXPECT_EQ(option.TablePageURLs,
              (Urls{"http://127.0.0.1:8080/comic/a.html", "http://127.0.0.1:8080/comic/a.html"}));
    EXPECT_FALSE(option.ParseTopPage("no heading here"));
    EXPECT_TRUE(option.TablePageURLs.empty());
}

TEST(TopPageParser, LinkTextIsNotDecoded)
{
    TBookDataInportOption option;
    option.SourceURL = kSource;
    std::vector<std::string> list;
    // A CP932 file name (リスト) and an entity stay as they are.
    option.AddTablePageURL(list, "<a href=\"\x83\x8A\x83\x58\x83\x67&amp;.html\">");
    EXPECT_EQ(list, (Urls{"http://127.0.0.1:8080/comic/\x83\x8A\x83\x58\x83\x67&amp;.html"}));
}

}  // namespace
}  // namespace tembrook
