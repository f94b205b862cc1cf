// The locale seam: the C locale's separators, what is taken from other
// locales, and the test overrides.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "LocaleSettings.h"

namespace {

using tembrook::platform::TLocaleSeparators;

// Sets environment variables for one test and puts the old values back.
class TScopedEnvironment {
public:
    void Set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        FSaved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~TScopedEnvironment()
    {
        for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
            if (it->second) {
                setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                unsetenv(it->first.c_str());
            }
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

void SetLocaleEnvironment(TScopedEnvironment& env, const char* all, const char* time, const char* numeric,
                          const char* lang)
{
    env.Set("LC_ALL", all);
    env.Set("LC_TIME", time);
    env.Set("LC_NUMERIC", numeric);
    env.Set("LANG", lang);
}

TEST(LocaleSettings, CLocaleGivesSlashAndComma)
{
    const TLocaleSeparators expected{"/", ","};
    for (const char* name : {"C", "POSIX", "C.UTF-8", "C.utf8", ""}) {
        TScopedEnvironment env;
        SetLocaleEnvironment(env, nullptr, nullptr, nullptr, name);
        EXPECT_EQ(tembrook::platform::detail::ReadEnvironmentSeparators(), expected) << name;
    }
    TScopedEnvironment env;
    SetLocaleEnvironment(env, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(tembrook::platform::detail::ReadEnvironmentSeparators(), expected);
}

TEST(LocaleSettings, AMissingLocaleFallsBackToTheCDefaults)
{
    TScopedEnvironment env;
    SetLocaleEnvironment(env, "xx_NOWHERE.UTF-8", nullptr, nullptr, nullptr);
    EXPECT_EQ(tembrook::platform::detail::ReadEnvironmentSeparators(), (TLocaleSeparators{"/", ","}));
}

TEST(LocaleSettings, LcAllWinsOverTheCategoryAndLang)
{
    // With LC_ALL=C the named (and here missing) category locales are not read.
    TScopedEnvironment env;
    SetLocaleEnvironment(env, "C", "xx_NOWHERE", "xx_NOWHERE", "xx_NOWHERE");
    EXPECT_EQ(tembrook::platform::detail::ReadEnvironmentSeparators(), (TLocaleSeparators{"/", ","}));
}

TEST(LocaleSettings, DateSeparatorFromTheDateFormat)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"%m/%d/%y", "/"},
        {"%d.%m.%Y", "."},
        {"%Y-%m-%d", "-"},
        {"%d/%m/%Y", "/"},
        {"%Ey.%m.%d", "."},
        {"%-d.%-m.%Y", "."},
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "/"},  // 年 月 日 (UTF-8): not one ASCII byte
        {"%F", "/"},
        {"", "/"},
        {"%d %b %Y", "/"},
        {"%d. %m. %Y", "/"},
        {"%", "/"},
        {"%d", "/"},
    };
    for (const auto& [format, separator] : cases) {
        EXPECT_EQ(tembrook::platform::detail::DateSeparatorFromFormat(format), separator) << format;
    }
}

TEST(LocaleSettings, ThousandsSeparatorIsKeptAsciiForCp932Text)
{
    using tembrook::platform::detail::NormalizeThousandsSeparator;
    EXPECT_EQ(NormalizeThousandsSeparator(","), ",");
    EXPECT_EQ(NormalizeThousandsSeparator("."), ".");
    EXPECT_EQ(NormalizeThousandsSeparator("'"), "'");
    EXPECT_EQ(NormalizeThousandsSeparator(""), "");
    EXPECT_EQ(NormalizeThousandsSeparator("\xE2\x80\xAF"), " ");  // narrow no-break space
    EXPECT_EQ(NormalizeThousandsSeparator("\xC2\xA0"), " ");      // no-break space
}

TEST(LocaleSettings, CLocaleNames)
{
    using tembrook::platform::detail::IsCLocaleName;
    for (const char* name : {"", "C", "POSIX", "C.UTF-8", "C.utf8"})
        EXPECT_TRUE(IsCLocaleName(name)) << name;
    for (const char* name : {"ja_JP.UTF-8", "de_DE", "Ca", "en_US.UTF-8"})
        EXPECT_FALSE(IsCLocaleName(name)) << name;
}

TEST(LocaleSettings, OverridesNestAndRestore)
{
    const TLocaleSeparators system = tembrook::platform::SystemLocaleSeparators();
    EXPECT_EQ(tembrook::platform::LocaleSeparators(), system);
    {
        tembrook::platform::TScopedLocaleSeparators outer({".", " "});
        EXPECT_EQ(tembrook::platform::LocaleSeparators().DateSeparator, ".");
        EXPECT_EQ(tembrook::platform::ThousandsSeparator(), " ");
        {
            tembrook::platform::TScopedLocaleSeparators inner({"-", "'"});
            EXPECT_EQ(tembrook::platform::LocaleSeparators(), (TLocaleSeparators{"-", "'"}));
        }
        EXPECT_EQ(tembrook::platform::LocaleSeparators(), (TLocaleSeparators{".", " "}));
    }
    EXPECT_EQ(tembrook::platform::LocaleSeparators(), system);
    tembrook::platform::SetLocaleSeparatorsForTesting({"x", "y"});
    EXPECT_EQ(tembrook::platform::LocaleSeparators().DateSeparator, "x");
    tembrook::platform::ResetLocaleSeparatorsForTesting();
    EXPECT_EQ(tembrook::platform::LocaleSeparators(), system);
}

}  // namespace
