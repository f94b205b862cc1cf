// tembrook-export against the fixture site over HTTPS on loopback: a real TLS
// server with a certificate authority made by the test and trusted through
// the internet client's CA file (never the system's store, never by turning
// verification off).
#include <gtest/gtest.h>

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

#include "Clock.h"
#include "ExportCommand.h"
#include "HTTPTransferThreadUnit.h"
#include "InternetClient.h"
#include "LocaleSettings.h"
#include "TestCertificates.h"
#include "TestHttpServer.h"

namespace tembrook::cli {
namespace {

using test::kDay;
using test::TestCertificateAuthority;
using test::TestHttpServer;

const std::string kData = TEMBROOK_FIXTURE_DIR;

struct TRun {
    int Status = -1;
    QByteArray Out;
    QString Err;
};

class ExportHttps : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        InitializeTransfers();
        FPlain.ServeFiles("/comic/", kData + "/site");
        FTrusted.ServeFiles("/comic/", kData + "/site");
        platform::TInternetLimits limits = FSavedLimits;
        limits.CaFile = FAuthority.CaFile();
        platform::SetDefaultInternetLimits(limits);
    }
    void TearDown() override { platform::SetDefaultInternetLimits(FSavedLimits); }

    static TRun Run(const std::string& url)
    {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        TRun run;
        run.Status =
            RunExport({QStringLiteral("tembrook-export"), QString::fromStdString(url)}, out, err, "UTF-8");
        run.Out = out.data();
        run.Err = QString::fromUtf8(err.data());
        return run;
    }

    platform::TScopedToday FToday{platform::TLocalDate{2026, 3, 20}};
    platform::TScopedLocaleSeparators FSeparators{platform::TLocaleSeparators{"/", ","}};
    const platform::TInternetLimits FSavedLimits = platform::DefaultInternetLimits();
    QTemporaryDir FDir;
    TestCertificateAuthority FAuthority{FDir.path().toStdString()};
    TestHttpServer FPlain;
    TestHttpServer FTrusted{FAuthority.Issue("site", "127.0.0.1")};
};

TEST_F(ExportHttps, ATrustedCertificateImportsTheSiteByteForByte)
{
    const TRun plain = Run(FPlain.Url("/comic/index.html"));
    ASSERT_FALSE(plain.Out.isEmpty()) << plain.Err.toStdString();
    const TRun secure = Run(FTrusted.Url("/comic/index.html"));
    EXPECT_EQ(secure.Out, plain.Out);
    EXPECT_EQ(secure.Status, plain.Status);
    EXPECT_EQ(secure.Err.count(QStringLiteral("リスト取得成功")),
              plain.Err.count(QStringLiteral("リスト取得成功")));
    EXPECT_EQ(FTrusted.RequestCount("/comic/table2.html"), 1u);
}

TEST_F(ExportHttps, ACertificateThatCannotBeTrustedImportsNothingAndSaysWhy)
{
    QTemporaryDir otherDir;
    const TestCertificateAuthority stranger(otherDir.path().toStdString(), "stranger");
    struct Case {
        const char* Name;
        test::TTlsIdentity Identity;
        QString Reason;  // libcurl's words in the log
    };
    const Case cases[] = {
        {"unknown authority", stranger.Issue("stranger-site", "127.0.0.1"),
         QStringLiteral("unable to get local issuer certificate")},
        {"expired", FAuthority.Issue("expired", "127.0.0.1", -2 * kDay, -kDay),
         QStringLiteral("certificate has expired")},
        {"another host name", FAuthority.Issue("elsewhere", "elsewhere.example"),
         QStringLiteral("no alternative certificate subject name matches")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TestHttpServer server(c.Identity);
        server.ServeFiles("/comic/", kData + "/site");
        const std::string url = server.Url("/comic/index.html");
        const TRun run = Run(url);
        EXPECT_EQ(run.Status, 1);
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
        EXPECT_TRUE(run.Err.contains(QStringLiteral("Topページ受信エラー : ") + QString::fromStdString(url)))
            << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains(c.Reason)) << run.Err.toStdString();
        EXPECT_EQ(server.RequestCount("/comic/index.html"), 0u)
            << "no request crosses an untrusted connection";
    }
}

// Redirects keep to the client's rules whatever the scheme they start from:
// to http and https they are followed, to anything else never.
TEST_F(ExportHttps, ARedirectFromHttpsFollowsTheRedirectRules)
{
    const TRun plain = Run(FPlain.Url("/comic/index.html"));
    // The table links are relative to the address given, in the same folder.
    FTrusted.ServeRedirect("/comic/to-http.html", FPlain.Url("/comic/index.html"));
    FTrusted.ServeRedirect("/comic/to-file.html", "file://" + kData + "/site/index.html");
    FPlain.ServeRedirect("/comic/to-https.html", FTrusted.Url("/comic/index.html"));

    struct Case {
        std::string Url;
        TestHttpServer& Target;
    };
    for (const Case& c : {Case{FTrusted.Url("/comic/to-http.html"), FPlain},
                          Case{FPlain.Url("/comic/to-https.html"), FTrusted}}) {
        SCOPED_TRACE(c.Url);
        const std::size_t before = c.Target.RequestCount("/comic/index.html");
        const TRun run = Run(c.Url);
        EXPECT_EQ(run.Out, plain.Out);
        EXPECT_EQ(run.Status, plain.Status);
        EXPECT_EQ(c.Target.RequestCount("/comic/index.html"), before + 1);
    }
    const TRun refused = Run(FTrusted.Url("/comic/to-file.html"));
    EXPECT_EQ(refused.Status, 1);
    EXPECT_TRUE(refused.Out.isEmpty());
    EXPECT_TRUE(refused.Err.contains(QStringLiteral("Topページ受信エラー : "))) << refused.Err.toStdString();
}

// The real exporter takes its certificate authorities from CURL_CA_BUNDLE.
// (It dates the rows by the system's clock, so only the row count is compared.)
TEST_F(ExportHttps, TheRealBinaryTrustsTheAuthorityNamedInItsEnvironment)
{
    const TRun plain = Run(FPlain.Url("/comic/index.html"));
    TestHttpServer expired(FAuthority.Issue("expired", "127.0.0.1", -2 * kDay, -kDay));
    expired.ServeFiles("/comic/", kData + "/site");
    struct Case {
        std::string Url;
        int Status;
        qsizetype Rows;
    };
    for (const Case& c : {Case{FTrusted.Url("/comic/index.html"), plain.Status, plain.Out.count("\r\n")},
                          Case{expired.Url("/comic/index.html"), 1, 0}}) {
        SCOPED_TRACE(c.Url);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CURL_CA_BUNDLE"), QString::fromStdString(FAuthority.CaFile()));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        env.insert(QStringLiteral("no_proxy"), QStringLiteral("127.0.0.1"));
        env.insert(QStringLiteral("NO_PROXY"), QStringLiteral("127.0.0.1"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TEMBROOK_EXPORT_BINARY), {QString::fromStdString(c.Url)});
        ASSERT_TRUE(process.waitForFinished(120000)) << process.errorString().toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.Status);
        EXPECT_EQ(process.readAllStandardOutput().count("\r\n"), c.Rows);
    }
}

}  // namespace
}  // namespace tembrook::cli
