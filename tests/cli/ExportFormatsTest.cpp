// The exporter's --format outputs read back by independent parsers (Python's
// csv and json modules, Debian's python3-icalendar), --tick-from, and the
// usage errors of the new options.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <string>

#include "Clock.h"
#include "ExportCommand.h"
#include "HTTPTransferThreadUnit.h"
#include "ListFile.h"
#include "LocaleSettings.h"
#include "TestHttpServer.h"

namespace tembrook::cli {
namespace {

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

std::string Cp932(const QString& text)
{
    QStringEncoder encoder("windows-31j");
    return QByteArray(encoder.encode(text)).toStdString();
}

struct TCells {
    const char* Date;
    const char* Publisher;
    const char* Title;
    const char* Author;
    const char* Price;
};

// A release site of one table page with these rows (UTF-8 texts, served as CP932).
void ServeSite(test::TestHttpServer& server, const std::vector<TCells>& rows)
{
    server.ServeBody("/i.html", Cp932(Utf8("<p>発売日順(テーブル表示)</p>\r\n<a href=\"t.html\">t</a>\r\n")));
    QString page = QStringLiteral("<table>\r\n");
    for (const TCells& r : rows)
        page += QStringLiteral("<tr><td width=50 bgcolor=#efefef>%1</td>\r\n<td>%2</td>\r\n<td>%3</td>\r\n"
                               "<td>%4</td>\r\n<td>%5</td></tr>\r\n\r\n")
                    .arg(Utf8(r.Date), Utf8(r.Publisher), Utf8(r.Title), Utf8(r.Author), Utf8(r.Price));
    server.ServeBody("/t.html", Cp932(page + QStringLiteral("</table>\r\n")));
}

void WriteFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Runs a Python script (Debian's python3, which has the icalendar module)
// and returns its standard output lines; a failing script fails the test.
QStringList RunPython(const char* script, const QStringList& args)
{
    QProcess python;
    python.start(QStringLiteral(TEMBROOK_PYTHON3), QStringList{QStringLiteral("-c"), Utf8(script)} + args);
    EXPECT_TRUE(python.waitForFinished(60000)) << python.errorString().toStdString();
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class ExportFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeTransfers();
        ASSERT_TRUE(FDir.isValid());
    }

    // Runs the exporter on the site into a file; returns the status.
    int Run(QStringList args, const QString& output)
    {
        args = QStringList{QStringLiteral("tembrook-export"), QStringLiteral("--output"), output} + args;
        args.append(QString::fromStdString(FServer.Url("/i.html")));
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = RunExport(args, out, err, "UTF-8");
        FErr = QString::fromUtf8(err.data());
        return status;
    }
    QString Path(const char* name) const { return FDir.filePath(QLatin1StringView(name)); }

    platform::TScopedLocaleSeparators FSeparators{platform::TLocaleSeparators{"/", ","}};
    test::TestHttpServer FServer;
    QTemporaryDir FDir;
    QString FErr;
};

constexpr const char* kTableScript = R"PY(
import csv, json, sys
fields = ["date", "date_kind", "title", "volume", "author", "price", "publisher", "ticked"]
def text(v):
    return "" if v is None else ("1" if v is True else "0" if v is False else str(v))
with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    reader = csv.DictReader(f)
    assert reader.fieldnames == fields, reader.fieldnames
    for row in reader:
        print("csv:" + "|".join(row[k] for k in fields))
with open(sys.argv[2], encoding="utf-8") as f:
    for o in json.load(f):
        typed = (o["volume"] is None or type(o["volume"]) is int) and type(o["ticked"]) is bool \
            and (o["price"] is None or type(o["price"]) is int)
        print("json:" + "|".join(text(o[k]) for k in fields) + ("" if typed else " (wrong types)"))
)PY";

TEST_F(ExportFormats, CsvAndJsonReadBackByPythonEqualTheRecords)
{
    platform::TScopedToday today({2026, 3, 20});
    ServeSite(FServer,
              {{"03/14", "Pub, Inc.", "Say \"hi\", 世界　３", "作者 A", "580"},
               {"04/上旬", "出版", "Back\\slash;semi", "B", ""},
               {"05/不明", "出版", "謎", "C", "1000"},
               {"05/10", "P&amp;Q", "Tom &amp; Lily &#12354;&copy", "&#61;1+1", "0"}});
    // Last month's list followed the first series (volume 2) and the one
    // whose title holds references, as the page wrote them.
    WriteFile(Path("last.txt"),
              QByteArray::fromStdString(Cp932(Utf8("★★★ 02/14 Say \"hi\", 世界(2) 作者 A 580 Pub, Inc.\r\n"
                                                   "★★★ 02/14 Tom &amp; Lily &#12354;&copy &#61;1+1 0 P\r\n"
                                                   "\r\n\r\n"))));
    // The cron round: the list saved in UTF-8 ticks the same rows next time.
    ASSERT_EQ(Run({QStringLiteral("--tick-from"), Path("last.txt"), QStringLiteral("--format"),
                   QStringLiteral("saved"), QStringLiteral("--utf8")},
                  Path("saved-utf8.txt")),
              ecOk)
        << FErr.toStdString();
    EXPECT_TRUE(FErr.contains(Utf8("保存リストから 2 件をチェックしました"))) << FErr.toStdString();
    EXPECT_TRUE(
        ReadFile(Path("saved-utf8.txt")).contains("05/10 Tom &amp; Lily &#12354;&copy &#61;1+1 0 P&amp;Q"))
        << "the saved list keeps the references";
    const QStringList tickFrom = {QStringLiteral("--tick-from"), Path("saved-utf8.txt")};
    ASSERT_EQ(
        Run(tickFrom + QStringList{QStringLiteral("--format=csv"), QStringLiteral("--excel")}, Path("r.csv")),
        ecOk);
    ASSERT_EQ(Run(tickFrom + QStringList{QStringLiteral("--format"), QStringLiteral("json")}, Path("r.json")),
              ecOk);

    const QByteArray csv = ReadFile(Path("r.csv"));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"
                               "date,date_kind,"))
        << "a byte-order mark with --excel";
    EXPECT_EQ(csv.count("\r\n"), 5);
    const QStringList expected = {
        Utf8("2026-03-14|day|Say \"hi\", 世界|3|作者 A|580|Pub, Inc.|1"),
        Utf8("2026-04-10|early|Back\\slash;semi||B||出版|0"),
        Utf8("2026-05-20|unknown|謎||C|1000|出版|0"),
        // References decoded ("&copy" lacks its ";"); for spreadsheets a
        // formula's "=" is kept from running by an apostrophe.
        Utf8("2026-05-10|day|Tom & Lily あ&copy||'=1+1|0|P&Q|1"),
    };
    QStringList both;
    for (const QString& prefix : {QStringLiteral("csv:"), QStringLiteral("json:")})
        for (const QString& line : expected)
            both.append(prefix +
                        (prefix == QStringLiteral("json:")
                             ? QString(line).replace(QStringLiteral("|'="), QStringLiteral("|="))
                             : line));
    EXPECT_EQ(RunPython(kTableScript, {Path("r.csv"), Path("r.json")}), both);
}

// The exporter's UTF-8 outputs convert as the window shows: a byte that is
// no character reads U+FFFD, a lead byte that lost its trail byte at a cell's
// end too, and every ASCII byte is itself.
TEST_F(ExportFormats, BytesThatAreNoCharacterReadAsReplacementAndAsciiStaysItself)
{
    platform::TScopedToday today({2026, 3, 20});
    FServer.ServeBody("/i.html",
                      Cp932(Utf8("<p>発売日順(テーブル表示)</p>\r\n<a href=\"t.html\">t</a>\r\n")));
    FServer.ServeBody("/t.html",
                      "<table>\r\n<tr><td width=50 bgcolor=#efefef>03/14</td>\r\n<td>P</td>\r\n"
                      "<td>BAD\x80"
                      "BYTE \x82 </td>\r\n<td>A\x1A\x1C\x7F"
                      "B</td>\r\n"
                      "<td>580</td></tr>\r\n\r\n</table>\r\n");
    ASSERT_EQ(Run({QStringLiteral("--utf8")}, Path("r.txt")), ecOk) << FErr.toStdString();
    ASSERT_EQ(Run({QStringLiteral("--format"), QStringLiteral("csv")}, Path("r.csv")), ecOk);
    EXPECT_EQ(QString::fromUtf8(ReadFile(Path("r.txt"))),
              Utf8("03/14 BAD\uFFFDBYTE \uFFFD A\x1A\x1C\x7F"
                   "B 580 P\r\n"));
    EXPECT_TRUE(QString::fromUtf8(ReadFile(Path("r.csv")))
                    .endsWith(Utf8("\r\n2026-03-14,day,BAD\uFFFDBYTE \uFFFD,,A\x1A\x1C\x7F"
                                   "B,580,P,0\r\n")));
}

constexpr const char* kCalendarScript = R"PY(
import icalendar, sys
raw = open(sys.argv[1], "rb").read()
raw.decode("utf-8")
assert raw.endswith(b"\r\n")
for line in raw.split(b"\r\n")[:-1]:
    assert len(line) <= 75 and b"\n" not in line, line
cal = icalendar.Calendar.from_ical(raw)
for ev in cal.walk("VEVENT"):
    print("|".join([str(ev["UID"]), str(ev["SUMMARY"]), ev.decoded("DTSTART").isoformat(),
                    ev.decoded("DTEND").isoformat(), str(ev.get("DESCRIPTION", "")).replace("\n", "/"),
                    ev.decoded("DTSTAMP").strftime("%Y%m%dT%H%M%SZ")]))
)PY";

TEST_F(ExportFormats, IcsReadBackByIcalendarWithTheDaysAndTheYearRule)
{
    // November 2027: months from August back stay in 2027, July and before
    // go into 2028, whose February has 29 days.
    platform::TScopedToday today({2027, 11, 20});
    const QString longTitle =
        QStringLiteral("ABC") + Utf8("長い題名の作品").repeated(12);  // 255 octets in UTF-8
    const std::string longCell = longTitle.toStdString();
    ServeSite(FServer,
              {{"12/01", "P", "冬, 物語;\\完", "A", "500"},
               {"08/上旬", "P", "八月", "B", ""},
               {"07/中旬", "P", "七月　２", "C", "1200"},
               {"02/下旬", "P", longCell.c_str(), "D", ""},
               {"01/31", "P", "一月", "E", ""},
               {"03/不明", "P", "三月", "F", ""},
               {"07/中旬", "P", "七月　２", "C", "1200"},
               {"07/下旬", "P", "七月　３", "C", "1200"},
               {"12/24", "P&amp;Q", "A &lt;B&gt; &#x3042;", "&eacute;", "0"}});
    ASSERT_EQ(Run({QStringLiteral("--format"), QStringLiteral("ics")}, Path("a.ics")), ecOk)
        << FErr.toStdString();
    EXPECT_TRUE(FErr.contains(QStringLiteral("1 release(s) of unknown date"))) << FErr.toStdString();
    EXPECT_TRUE(FErr.contains(QStringLiteral("1 repeated release(s)"))) << FErr.toStdString();

    const QStringList events = RunPython(kCalendarScript, {Path("a.ics")});
    struct TEvent {
        const char* Summary;
        const char* Start;
        const char* End;
        const char* Description;
    };
    const TEvent expected[] = {
        {"冬, 物語;\\完", "2027-12-01", "2027-12-02", "著者名: A/価格: 500/出版社: P"},
        {"八月", "2027-08-01", "2027-08-11", "著者名: B/出版社: P"},
        {"七月 (2)", "2028-07-11", "2028-07-21", "著者名: C/価格: 1,200/出版社: P"},
        {nullptr, "2028-02-21", "2028-03-01", "著者名: D/出版社: P"},
        {"一月", "2028-01-31", "2028-02-01", "著者名: E/出版社: P"},
        {"七月 (3)", "2028-07-21", "2028-08-01", "著者名: C/価格: 1,200/出版社: P"},
        {"A <B> あ", "2027-12-24", "2027-12-25", "著者名: é/出版社: P&Q"},
    };
    ASSERT_EQ(events.size(), std::size(expected)) << events.join(QLatin1Char('\n')).toStdString();
    QStringList uids;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const QStringList f = events[static_cast<qsizetype>(i)].split(QLatin1Char('|'));
        ASSERT_EQ(f.size(), 6) << events[static_cast<qsizetype>(i)].toStdString();
        const TEvent& e = expected[i];
        EXPECT_EQ(f[1], e.Summary ? Utf8(e.Summary) : longTitle) << i;
        EXPECT_EQ(f[2], QLatin1StringView(e.Start)) << i;
        EXPECT_EQ(f[3], QLatin1StringView(e.End)) << i;
        EXPECT_EQ(f[4], Utf8(e.Description)) << i;
        EXPECT_EQ(f[5], QStringLiteral("20271120T000000Z")) << i;
        uids.append(f[0]);
    }
    EXPECT_EQ(QStringList(uids).removeDuplicates(), 0) << "every release its own UID";
    // Another run gives the same UIDs, so a calendar updates instead of doubling.
    ASSERT_EQ(Run({QStringLiteral("--format"), QStringLiteral("ics")}, Path("b.ics")), ecOk);
    QStringList again;
    for (const QString& event : RunPython(kCalendarScript, {Path("b.ics")}))
        again.append(event.section(QLatin1Char('|'), 0, 0));
    EXPECT_EQ(again, uids);
}

TEST_F(ExportFormats, BadUsageOfTheNewOptions)
{
    ServeSite(FServer, {{"03/14", "P", "T", "A", "580"}});
    const QStringList cases[] = {
        {QStringLiteral("--format"), QStringLiteral("xml")},
        {QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("--format"),
         QStringLiteral("json")},
        {QStringLiteral("--html"), QStringLiteral("--format"), QStringLiteral("csv")},
        {QStringLiteral("--excel")},
        {QStringLiteral("--excel"), QStringLiteral("--format"), QStringLiteral("json")},
        {QStringLiteral("--tick-from=")},
        {QStringLiteral("--tick-from"), QStringLiteral("a"), QStringLiteral("--tick-from"),
         QStringLiteral("b")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(Run(args, Path("out.txt")), ecUsage);
        EXPECT_TRUE(FErr.startsWith(QStringLiteral("tembrook-export: "))) << FErr.toStdString();
    }
    // A saved list that cannot be read fails before any download.
    EXPECT_EQ(Run({QStringLiteral("--tick-from"), Path("missing.txt")}, Path("out.txt")), ecFailed);
    EXPECT_TRUE(FErr.contains(QStringLiteral("cannot read the saved list"))) << FErr.toStdString();
    EXPECT_EQ(Run({QStringLiteral("--tick-from"), FDir.path()}, Path("out.txt")), ecFailed);
    QFile huge(Path("huge.txt"));  // sparse: larger than any saved list, yet no disk taken
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kListFileSizeLimit + 1));
    huge.close();
    EXPECT_EQ(Run({QStringLiteral("--tick-from"), Path("huge.txt")}, Path("out.txt")), ecFailed);
    EXPECT_TRUE(FErr.contains(QStringLiteral("larger than 512 MiB"))) << FErr.toStdString();
    EXPECT_TRUE(FServer.Requests().empty());
    EXPECT_FALSE(QFile::exists(Path("out.txt")));
}

}  // namespace
}  // namespace tembrook::cli
