// tembrook-export: run in-process against the fixture site on a loopback
// server and checked byte for byte, plus one run of the real binary.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Clock.h"
#include "ExportCommand.h"
#include "HTTPTransferThreadUnit.h"
#include "LocaleSettings.h"
#include "ProcessMemory.h"
#include "TestHttpServer.h"
#include "Thread.h"

namespace tembrook::cli {
namespace {

const std::string kData = TEMBROOK_FIXTURE_DIR;

QByteArray ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    const std::string bytes = content.str();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray Expected(const char* name)
{
    return ReadFile(kData + "/expected/" + name);
}

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// The error stream, calling back after each write with all written so far.
class TWatchedBuffer : public QBuffer {
public:
    std::function<void(const QByteArray&)> OnWrite;

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        const qint64 written = QBuffer::writeData(data, length);
        if (OnWrite)
            OnWrite(buffer());
        return written;
    }
};

struct TRun {
    int Status = -1;
    QByteArray Out;
    QString Err;  // decoded from UTF-8
};

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeTransfers();
        FServer.ServeFiles("/comic/", kData + "/site");
    }

    TRun Run(QStringList args, const QByteArray& errEncoding = "UTF-8")
    {
        args.prepend(QStringLiteral("tembrook-export"));
        QBuffer out;
        TWatchedBuffer err;
        err.OnWrite = FOnErr;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        TRun run;
        run.Status = RunExport(args, out, err, errEncoding);
        run.Out = out.data();
        run.Err = QString::fromUtf8(err.data());
        FErrBytes = err.data();
        return run;
    }

    QString SiteUrl() const { return QString::fromStdString(FServer.Url("/comic/index.html")); }

    platform::TScopedToday FToday{platform::TLocalDate{2026, 3, 20}};
    platform::TScopedLocaleSeparators FSeparators{platform::TLocaleSeparators{"/", ","}};
    test::TestHttpServer FServer;
    QByteArray FErrBytes;
    std::function<void(const QByteArray&)> FOnErr;  // sees the error stream as it grows
};

TEST_F(ExportCommand, TheFixtureSiteInEveryOrder)
{
    struct Case {
        QStringList Args;
        const char* ExpectedFile;
    };
    const Case cases[] = {
        {{}, "site_date.txt"},
        {{QStringLiteral("--sort"), QStringLiteral("date")}, "site_date.txt"},
        {{QStringLiteral("--sort=date"), QStringLiteral("--descending")}, "site_date_descending.txt"},
        {{QStringLiteral("--sort"), QStringLiteral("check")}, "site_date.txt"},
        {{QStringLiteral("--sort"), QStringLiteral("check"), QStringLiteral("--descending")},
         "site_date.txt"},
        {{QStringLiteral("--sort"), QStringLiteral("title")}, "site_title.txt"},
        {{QStringLiteral("--sort"), QStringLiteral("author")}, "site_author.txt"},
        {{QStringLiteral("--sort"), QStringLiteral("publisher")}, "site_publisher.txt"},
        {{QStringLiteral("--sort"), QStringLiteral("price"), QStringLiteral("--descending")},
         "site_price_descending.txt"},
        {{QStringLiteral("--html")}, "site_html.txt"},
        {{QStringLiteral("--html"), QStringLiteral("--utf8")}, "site_html_utf8.txt"},
        {{QStringLiteral("--utf8")}, "site_date_utf8.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args.join(QLatin1Char(' ')).toStdString());
        QStringList args = c.Args;
        args.append(SiteUrl());
        const TRun run = Run(args);
        EXPECT_EQ(run.Out, Expected(c.ExpectedFile));
        // The site has two bad rows: everything else is written, and the status says so.
        EXPECT_EQ(run.Status, ecFailed);
    }
}

TEST_F(ExportCommand, TheLogOnStandardError)
{
    const TRun run = Run({SiteUrl()});
    const QStringList lines = run.Err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], Utf8("Topページ取得成功"));
    EXPECT_EQ(lines[1],
              Utf8("リスト取り込み : ") + QString::fromStdString(FServer.Url("/comic/table1.html")));
    EXPECT_EQ(lines[2],
              Utf8("リスト取り込み : ") + QString::fromStdString(FServer.Url("/comic/table2.html")));
    EXPECT_EQ(lines.count(Utf8("‥‥リスト取得成功")), 2);
    // One line per bad row, as the fixture lists them.
    const QStringList dropped =
        QString::fromUtf8(Expected("site_dropped.tsv")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(dropped.size(), 2);
    for (const QString& entry : dropped) {
        const QStringList f = entry.split(QLatin1Char('\t'));
        const QString line = Utf8("‥‥行を読み飛ばしました : ") +
            QString::fromStdString(FServer.Url("/comic/")) + f[0] + Utf8(" 表の") + f[1] +
            Utf8("行目 (ページ") + f[2] + Utf8("行目) : ") + f[3];
        EXPECT_EQ(lines.count(line), 1) << line.toStdString();
    }
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("tembrook-export: ")));
}

TEST_F(ExportCommand, TheLogInTheTerminalsEncoding)
{
    const TRun run = Run({SiteUrl()}, "EUC-JP");
    QStringEncoder euc("EUC-JP");
    ASSERT_TRUE(euc.isValid());
    const QByteArray line = euc.encode(Utf8("Topページ取得成功\n"));
    EXPECT_TRUE(FErrBytes.startsWith(line)) << FErrBytes.left(40).toHex().toStdString();
}

TEST_F(ExportCommand, PagesAreHandedOverInLinkOrder)
{
    // The first page is answered only once the second has been handed over.
    FServer.ServeGated("/comic/table1.html", ReadFile(kData + "/site/table1.html").toStdString());
    FOnErr = [this](const QByteArray& err) {
        if (err.contains(Utf8("table2.html 表の").toUtf8()))
            FServer.OpenGates();
    };
    const TRun run = Run({SiteUrl()});
    EXPECT_EQ(run.Out, Expected("site_date.txt"));
    const int first = run.Err.indexOf(Utf8("table1.html 表の"));
    const int second = run.Err.indexOf(Utf8("table2.html 表の"));
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_LT(second, first) << "the slow page should have arrived last";
}

TEST_F(ExportCommand, ACleanSiteExitsWithZero)
{
    test::TestHttpServer server;
    QStringEncoder cp932("windows-31j");
    const QByteArray top =
        cp932.encode(Utf8("<p>発売日順(テーブル表示)</p>\r\n<a href=\"t.html\">t</a>\r\n\r\n"));
    server.ServeBody("/i.html", top.toStdString());
    server.ServeBody("/t.html",
                     "<table>\r\n<tr><td width=50 bgcolor=#efefef>05/01</td>\r\n<td>P</td>\r\n"
                     "<td>Title</td>\r\n<td>A</td>\r\n<td>580</td></tr>\r\n</table>\r\n");
    const TRun run = Run({QString::fromStdString(server.Url("/i.html"))});
    EXPECT_EQ(run.Status, ecOk) << run.Err.toStdString();
    EXPECT_EQ(run.Out, QByteArray("05/01 Title A 580 P\r\n"));
}

TEST_F(ExportCommand, ASiteInAFolderWithABlank)
{
    // The address as typed, blank included; table1.html inherits the folder,
    // table2.html is linked by its absolute path.
    FServer.ServeFiles("/my comics/", kData + "/site");
    const QString top = QString::fromStdString(FServer.Url("/my comics/index.html"));
    const TRun run = Run({top});
    EXPECT_EQ(run.Out, Expected("site_date.txt")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(Utf8("リスト取り込み : ") +
                                 QString::fromStdString(FServer.Url("/my comics/table1.html"))));
    std::vector<std::string> targets;
    for (const test::TestRequest& request : FServer.Requests())
        targets.push_back(request.Target);
    std::sort(targets.begin(), targets.end());
    EXPECT_EQ(targets,
              (std::vector<std::string>{"/comic/table2.html", "/my%20comics/index.html",
                                        "/my%20comics/table1.html"}));
}

TEST_F(ExportCommand, ATopPageWithoutLinksIsAFailure)
{
    test::TestHttpServer server;
    server.ServeBody("/i.html", "<html><body>nothing announced</body></html>\r\n");
    const TRun run = Run({QString::fromStdString(server.Url("/i.html"))});
    EXPECT_EQ(run.Status, ecFailed);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.Err.contains(QStringLiteral("no links"))) << run.Err.toStdString();
}

// How one variant of the fixture site is written and declared.
struct TSiteForm {
    const char* Name;
    const char* Encoding;     // the pages' bytes (a Qt/ICU name)
    std::string ContentType;  // the header, for every page
    QString Meta;             // in place of the top page's Shift_JIS meta and before each table page
    bool Bom = false;
};

// The fixture site, each page read from CP932 and written as `form` says.
void ServeSiteAs(test::TestHttpServer& server, const TSiteForm& form)
{
    const QString sjisMeta =
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">");
    for (const char* name : {"index.html", "table1.html", "table2.html", "table3.html"}) {
        QStringDecoder fromCp932("windows-31j");
        QString page = fromCp932.decode(ReadFile(kData + "/site/" + name));
        if (page.contains(sjisMeta))
            page.replace(sjisMeta, form.Meta);
        else
            page.prepend(form.Meta);
        QStringEncoder encoder(form.Encoding,
                               form.Bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        const QByteArray bytes = encoder.encode(page);
        server.ServeBody(std::string("/comic/") + name, bytes.toStdString(), form.ContentType);
    }
}

// The site in every encoding and declaration a browser reads gives, in every
// format, what the Shift_JIS site gives.
TEST_F(ExportCommand, TheSiteInEveryEncodingGivesTheShiftJisSitesOutputs)
{
    const QString metaUtf8 = QStringLiteral("<meta charset=\"utf-8\">");
    const TSiteForm forms[] = {
        {"header utf-8", "UTF-8", "text/html; charset=UTF-8", {}},
        {"meta charset", "UTF-8", "text/html", metaUtf8},
        {"meta http-equiv", "UTF-8", "text/html",
         QStringLiteral("<META HTTP-EQUIV=content-type CONTENT='text/html;charset=utf8'>")},
        {"byte-order mark", "UTF-8", "text/html", {}, true},
        {"UTF-16 with its mark", "UTF-16LE", "text/html", {}, true},
        {"undeclared utf-8", "UTF-8", "text/html", {}},
        {"undeclared shift_jis", "windows-31j", "text/html", {}},
        {"header shift_jis", "windows-31j", "text/html; charset=\"x-sjis\"", {}},
        {"euc-jp", "EUC-JP", "text/html; charset=EUC-JP", {}},
        {"iso-2022-jp in the meta", "ISO-2022-JP", "text/html",
         QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-2022-JP\">")},
        {"unknown label, then the meta", "UTF-8", "text/html; charset=x-bogus", metaUtf8},
        {"header against the meta", "UTF-8", "text/html; charset=utf-8",
         QStringLiteral("<meta charset=\"Shift_JIS\">")},
    };
    const char* formats[] = {"text", "html", "saved", "csv", "json", "ics"};
    std::map<std::string, QByteArray> shiftJis;
    for (const char* format : formats)
        shiftJis[format] = Run({QStringLiteral("--format"), Utf8(format), SiteUrl()}).Out;
    ASSERT_EQ(shiftJis["text"], Expected("site_date.txt"));
    for (const TSiteForm& form : forms) {
        SCOPED_TRACE(form.Name);
        ServeSiteAs(FServer, form);
        for (const char* format : formats) {
            SCOPED_TRACE(format);
            const TRun run = Run({QStringLiteral("--format"), Utf8(format), SiteUrl()});
            EXPECT_EQ(run.Out, shiftJis[format]);
            EXPECT_EQ(run.Status, ecFailed);  // the site's two bad rows
        }
        const TRun run = Run({SiteUrl()});
        const QString unread = Utf8("Topページの文字コード x-bogus は読めません : ") + SiteUrl();
        EXPECT_EQ(run.Err.contains(unread), std::string(form.Name).find("unknown") == 0)
            << run.Err.toStdString();
    }
}

// Characters of a UTF-8 page: what CP932 has, or has a twin of, is written
// in CP932; anything else as a reference, which csv reads back.
TEST_F(ExportCommand, APageInUtf8KeepsEveryCharacter)
{
    test::TestHttpServer server;
    server.ServeBody("/i.html",
                     Utf8("<p>発売日順(テーブル表示)</p>\r\n<a href=\"t.html\">t</a>\r\n").toStdString(),
                     "text/html; charset=utf-8");
    server.ServeBody(
        "/t.html",
        "<table>\r\n<tr><td width=50 bgcolor=#efefef>05/01</td>\r\n<td>P</td>\r\n<td>T</td>\r\n"
        "<td>\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92\xC2\xA2\xC2\xA3\xC2\xAC\xE2\x80\x94\xC2\xA6"
        "\xE2\x99\xA5\xC2\xA5\xF0\x9F\x98\x80\xC2\x85\xFF</td>\r\n<td>580</td></tr>\r\n</table>\r\n",
        "text/html; charset=utf-8");
    const QString url = QString::fromStdString(server.Url("/i.html"));
    const TRun text = Run({url});
    EXPECT_EQ(text.Status, ecOk) << text.Err.toStdString();
    EXPECT_EQ(text.Out,
              QByteArray("05/01 T \x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C\xFA\x55"
                         "&#9829;&#165;&#128512;&#65533;&#65533; 580 P\r\n"));
    const TRun csv = Run({QStringLiteral("--format=csv"), url});
    EXPECT_TRUE(QString::fromUtf8(csv.Out).contains(Utf8("～∥－￠￡￢―￤♥¥😀\uFFFD\uFFFD")))
        << csv.Out.toStdString();
}

// An error status fails the page it answers: the top page fetches nothing,
// a table page's error page gives no row even when it carries table rows.
TEST_F(ExportCommand, PagesAnsweredWithAnErrorStatusAreFailures)
{
    const QByteArray table1 = ReadFile(kData + "/site/table1.html");
    struct Case {
        const char* Path;
        int Status;
        QString Log;
        const char* Message;
        int Lines;  // of the text output
    } cases[] = {
        {"/comic/index.html", 503, Utf8("Topページ取得失敗 : %1 (HTTP 503)"),
         "the top page answered HTTP 503", 0},
        {"/comic/index.html", 404, Utf8("Topページ取得失敗 : %1 (HTTP 404)"),
         "the top page answered HTTP 404", 0},
        {"/comic/table2.html", 500, Utf8("‥‥リスト取得失敗 : %1 (HTTP 500)"),
         "answered with an HTTP error (the first HTTP 500)", 5},
        {"/comic/table2.html", 404, Utf8("‥‥リスト取得失敗 : %1 (HTTP 404)"), "(the first HTTP 404)", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Status);
        test::TestHttpServer server;
        server.ServeFiles("/comic/", kData + "/site");
        // The error page is a release page in disguise: nothing of it may reach the output.
        server.ServeBody(c.Path, table1.toStdString(), "text/html", c.Status);
        const TRun run = Run({QString::fromStdString(server.Url("/comic/index.html"))});
        EXPECT_EQ(run.Status, ecFailed);
        EXPECT_TRUE(run.Err.contains(c.Log.arg(QString::fromStdString(server.Url(c.Path)))))
            << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(Utf8(c.Message))) << run.Err.toStdString();
        EXPECT_FALSE(run.Err.contains(QStringLiteral("the output holds what arrived")) && c.Lines == 0);
        EXPECT_EQ(run.Out.count("\r\n"), c.Lines);
        EXPECT_TRUE(Expected("site_date.txt").startsWith(run.Out));
    }
}

TEST_F(ExportCommand, ADeadServer)
{
    QString url;
    {
        test::TestHttpServer gone;
        url = QString::fromStdString(gone.Url("/comic/index.html"));
    }
    const TRun run = Run({url});
    EXPECT_EQ(run.Status, ecFailed);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.Err.contains(Utf8("Topページ受信エラー : ") + url)) << run.Err.toStdString();
}

TEST_F(ExportCommand, AFailedTablePage)
{
    // A table page cut short is logged, the other page's rows still come out.
    const QByteArray page2 = ReadFile(kData + "/site/table2.html");
    FServer.ServeTruncated("/comic/table2.html", page2.toStdString(), 100);
    const TRun run = Run({SiteUrl()});
    EXPECT_EQ(run.Status, ecFailed);
    EXPECT_TRUE(run.Err.contains(Utf8("‥‥リスト受信エラー : ") +
                                 QString::fromStdString(FServer.Url("/comic/table2.html"))))
        << run.Err.toStdString();
    EXPECT_TRUE(Expected("site_date.txt").startsWith(run.Out));
    EXPECT_EQ(run.Out.count("\r\n"), 5);
}

TEST_F(ExportCommand, OutputFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(
            "an older, longer file that must be replaced as a whole\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    }
    const TRun run = Run({QStringLiteral("--output"), path, SiteUrl()});
    EXPECT_EQ(run.Status, ecFailed);
    EXPECT_TRUE(run.Out.isEmpty());
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), Expected("site_date.txt"));
}

TEST_F(ExportCommand, AnOutputFileThatCannotBeCreatedFailsBeforeAnyDownload)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/list.txt"));
    const TRun run = Run({QStringLiteral("--output"), path, SiteUrl()});
    EXPECT_EQ(run.Status, ecFailed);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("cannot create file"))) << run.Err.toStdString();
    EXPECT_EQ(FServer.RequestCount("/comic/index.html"), 0u);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ExportCommand, AnOutputDeviceIsWrittenDirectly)
{
    // A device is not replaced by a renamed file, and its failure is reported.
    if (!QFileInfo(QStringLiteral("/dev/full")).exists())
        GTEST_SKIP() << "no /dev/full here";
    const TRun run = Run({QStringLiteral("--output"), QStringLiteral("/dev/full"), SiteUrl()});
    EXPECT_EQ(run.Status, ecFailed);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("cannot write the output"))) << run.Err.toStdString();
    const QFileInfo device(QStringLiteral("/dev/full"));
    EXPECT_FALSE(device.isFile());
    EXPECT_FALSE(device.isDir());
}

const QString kTryHelp = QStringLiteral("Try 'tembrook-export --help' for more information.");

TEST_F(ExportCommand, BadUsage)
{
    // Bad usage gives exactly two lines on stderr: what was wrong, then the
    // pointer to --help; never the whole usage text, never a download.
    struct Case {
        QStringList Args;
        QString Reason;
    };
    const Case cases[] = {
        {{}, QStringLiteral("no URL given")},
        {{SiteUrl(), SiteUrl()}, QStringLiteral("only one URL may be given")},
        {{QStringLiteral("--sort"), QStringLiteral("isbn"), SiteUrl()},
         QStringLiteral("unknown sort column 'isbn'")},
        {{QStringLiteral("--sort"), QStringLiteral("Title"), SiteUrl()},
         QStringLiteral("unknown sort column 'Title'")},
        {{QStringLiteral("--sort")}, QStringLiteral("'--sort'")},
        {{QStringLiteral("--sort"), QStringLiteral("date"), QStringLiteral("--sort"), QStringLiteral("title"),
          SiteUrl()},
         QStringLiteral("--sort given more than once")},
        {{QStringLiteral("--output"), SiteUrl()}, QStringLiteral("no URL given")},
        {{QStringLiteral("--output="), SiteUrl()}, QStringLiteral("--output needs a file name")},
        {{QStringLiteral("--output=a"), QStringLiteral("--output=b"), SiteUrl()},
         QStringLiteral("--output given more than once")},
        {{QStringLiteral("--tick-from="), SiteUrl()}, QStringLiteral("--tick-from needs a file name")},
        {{QStringLiteral("--tick-from=a"), QStringLiteral("--tick-from=b"), SiteUrl()},
         QStringLiteral("--tick-from given more than once")},
        {{QStringLiteral("--colour"), SiteUrl()}, QStringLiteral("'colour'")},
        {{QStringLiteral("-x"), SiteUrl()}, QStringLiteral("'x'")},
        {{QString()}, QStringLiteral("the URL is empty")},
        {{Utf8("http://127.0.0.1/\U0001F600")},  // no Shift-JIS form
         QStringLiteral("the URL has characters that Shift-JIS cannot hold")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args.join(QLatin1Char(' ')).toStdString());
        const TRun run = Run(c.Args);
        EXPECT_EQ(run.Status, ecUsage);
        EXPECT_TRUE(run.Out.isEmpty());
        const QStringList lines = run.Err.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 3) << run.Err.toStdString();  // two lines, each ended by a line break
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("tembrook-export: "))) << run.Err.toStdString();
        EXPECT_TRUE(lines[0].contains(c.Reason)) << run.Err.toStdString();
        EXPECT_EQ(lines[1], kTryHelp);
        EXPECT_TRUE(lines[2].isEmpty());
    }
    EXPECT_EQ(FServer.Requests().size(), 0u);
}

TEST_F(ExportCommand, HelpAndVersion)
{
    TRun run = Run({QStringLiteral("--help")});
    EXPECT_EQ(run.Status, ecOk);
    EXPECT_TRUE(run.Out.startsWith(
        "Usage: tembrook-export [--sort COLUMN] [--descending] [--format FORMAT] [--tick-from FILE]\n"));
    EXPECT_TRUE(run.Err.isEmpty());
    run = Run({QStringLiteral("--version")});
    EXPECT_EQ(run.Status, ecOk);
    EXPECT_EQ(run.Out, QByteArray("tembrook-export 0.10.10\n"));
    // --help wins over a missing URL.
    EXPECT_EQ(Run({QStringLiteral("--html"), QStringLiteral("--help")}).Status, ecOk);
}

TEST_F(ExportCommand, TheRealBinary)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("no_proxy"), QStringLiteral("127.0.0.1"));
    env.insert(QStringLiteral("NO_PROXY"), QStringLiteral("127.0.0.1"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TEMBROOK_EXPORT_BINARY),
                  {QStringLiteral("--html"), QStringLiteral("--utf8"), SiteUrl()});
    ASSERT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), ecFailed);
    EXPECT_EQ(process.readAllStandardOutput(), Expected("site_html_utf8.txt"));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    // Under the C locale the log falls back to UTF-8.
    EXPECT_TRUE(err.startsWith(Utf8("Topページ取得成功\n"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("tembrook-export: ")));

    // Bad usage through main(): status 2, nothing on stdout, two lines on stderr.
    process.start(QStringLiteral(TEMBROOK_EXPORT_BINARY), {QStringLiteral("--colour"), SiteUrl()});
    ASSERT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), ecUsage);
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              QStringLiteral("tembrook-export: Unknown option 'colour'.\n") + kTryHelp + QLatin1Char('\n'));
}

// The exporter's road, run back to back in one process: every run writes
// the same file, no transfer is left running, memory stays level once the
// first runs have warmed up.
TEST_F(ExportCommand, ThreeHundredRunsInOneProcessStayLevel)
{
    constexpr int kRuns = 300;
    constexpr int kWarmUp = 30;
    const QByteArray expected = Expected("site_date.txt");
    std::uint64_t warm = 0;
    for (int i = 1; i <= kRuns; ++i) {
        const TRun run = Run({SiteUrl()});
        ASSERT_EQ(run.Out, expected) << "run " << i;
        ASSERT_EQ(platform::TThread::RunningCount(), 0u) << "run " << i;
        if (i == kWarmUp)
            warm = test::ResidentBytes();
    }
    EXPECT_EQ(FServer.RequestCount("/comic/table2.html"), static_cast<std::size_t>(kRuns));
    const std::uint64_t last = test::ResidentBytes();
    std::printf("resident after %d runs: %llu KiB, after %d: %llu KiB\n", kWarmUp,
                static_cast<unsigned long long>(warm / 1024), kRuns,
                static_cast<unsigned long long>(last / 1024));
    if (!test::kResidentSizeIsMeaningful)
        GTEST_SKIP() << "resident size not compared: AddressSanitizer's quarantine holds freed memory";
    ASSERT_GT(warm, 0u);
    EXPECT_LE(last, warm + warm / 10);
}

}  // namespace
}  // namespace tembrook::cli
