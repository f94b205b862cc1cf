#include "ShellLaunch.h"

#include <gtest/gtest.h>

namespace tembrook::test {

using namespace tembrook::platform;
namespace {

struct UrlCase {
    const char* address;
    const char* url;  // the URL as QUrl::toString gives it; "" for none
};

class ShellLaunchUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(ShellLaunchUrlTest, MapsTheAddressToTheUrlTheDesktopOpens)
{
    const UrlCase& c = GetParam();
    const QUrl url = ShellLaunchUrl(QString::fromUtf8(c.address));
    EXPECT_EQ(url.toString().toStdString(), c.url);
    EXPECT_EQ(url.isEmpty(), *c.url == '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ShellLaunchUrlTest,
    ::testing::Values(UrlCase{"http://www.example.org/tembrook/", "http://www.example.org/tembrook/"},
                      UrlCase{"https://example.org/a?b=c#d", "https://example.org/a?b=c#d"},
                      // A mail address keeps its scheme (not user "MailTo" at host example.org).
                      UrlCase{"MailTo:someone@example.org", "mailto:someone@example.org"},
                      UrlCase{"mailto:someone@example.org", "mailto:someone@example.org"},
                      // Without a scheme the address is read as a user means it.
                      UrlCase{"www.example.org", "http://www.example.org"},
                      UrlCase{"www.example.org:8080/x", "http://www.example.org:8080/x"},
                      UrlCase{"  http://example.org/  ", "http://example.org/"}, UrlCase{"", ""},
                      UrlCase{"   ", ""}));

class TRecorder final : public TShellLauncher {
public:
    void Open(const QString& address) override { Opened.append(address); }
    QStringList Opened;
};

TEST(ShellLauncherTest, ReplacedLauncherReceivesTheTextAsGivenAndDefaultComesBack)
{
    ASSERT_NE(dynamic_cast<TDesktopShellLauncher*>(&CurrentShellLauncher()), nullptr);

    TRecorder recorder;
    TShellLauncher* const previous = SetShellLauncher(&recorder);
    EXPECT_NE(dynamic_cast<TDesktopShellLauncher*>(previous), nullptr);
    EXPECT_EQ(&CurrentShellLauncher(), &recorder);

    ShellOpen(QStringLiteral("MailTo:someone@example.org"));
    ShellOpen(QStringLiteral(" untrimmed "));
    EXPECT_EQ(recorder.Opened,
              QStringList({QStringLiteral("MailTo:someone@example.org"), QStringLiteral(" untrimmed ")}));

    EXPECT_EQ(SetShellLauncher(nullptr), &recorder);
    EXPECT_EQ(&CurrentShellLauncher(), previous);
}

TEST(LaunchBufferTextTest, LaunchBufferKeeps255BytesWithoutSplittingACharacter)
{
    const QString a254(254, QLatin1Char('a'));
    struct Case {
        QString text;
        QString kept;
    };
    const Case cases[] = {
        {QStringLiteral("http://www.example.org/"), QStringLiteral("http://www.example.org/")},
        {QString(255, QLatin1Char('a')), QString(255, QLatin1Char('a'))},
        {QString(256, QLatin1Char('a')), QString(255, QLatin1Char('a'))},
        {QString(1000, QLatin1Char('a')), QString(255, QLatin1Char('a'))},
        {QString(253, QLatin1Char('a')) + QStringLiteral("é"),  // 255 bytes: all of it
         QString(253, QLatin1Char('a')) + QStringLiteral("é")},
        {a254 + QStringLiteral("é"), a254},  // é would be split
        {QString(253, QLatin1Char('a')) + QStringLiteral("あ"), QString(253, QLatin1Char('a'))},
        {QString(252, QLatin1Char('a')) + QStringLiteral("あい"),
         QString(252, QLatin1Char('a')) + QStringLiteral("あ")},
        {a254 + QStringLiteral("😀"), a254},  // 4 bytes, one character
        {QString(85, QChar(u'あ')) + QStringLiteral("b"), QString(85, QChar(u'あ'))},
        {QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd"), QStringLiteral("ab")},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        const QString kept = LaunchBufferText(c.text);
        EXPECT_EQ(kept, c.kept) << c.text.size() << " characters";
        EXPECT_LE(kept.toUtf8().size(), 255);
        EXPECT_TRUE(c.text.startsWith(kept));
    }
}

}  // namespace
}  // namespace tembrook::test
