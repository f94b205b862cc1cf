#include "LocaleSettings.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>

namespace tembrook::platform {

namespace {

std::mutex& OverrideMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::optional<TLocaleSeparators>& Override()
{
    static std::optional<TLocaleSeparators> value;
    return value;
}

// The locale name the environment gives one category, by the POSIX order of
// precedence: LC_ALL, the category's own variable, LANG.
std::string EnvLocaleName(const char* categoryVariable)
{
    for (const char* name : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return {};
}

// nl_langinfo_l(item) of the named locale for one category; nullopt when the
// locale is not installed.
std::optional<std::string> LangInfo(int categoryMask, const std::string& localeName, nl_item item)
{
    locale_t locale = newlocale(categoryMask, localeName.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return std::nullopt;
    const char* value = nl_langinfo_l(item, locale);
    std::string result = value != nullptr ? value : "";
    freelocale(locale);
    return result;
}

bool IsAsciiPunctuation(unsigned char c) noexcept
{
    return c > 0x20 && c < 0x7F && !(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'z') &&
        !(c >= 'A' && c <= 'Z');
}

TLocaleSeparators ComputeSystemSeparators()
{
    TLocaleSeparators result;  // the C locale's "/" and ","
    const std::string timeName = EnvLocaleName("LC_TIME");
    if (!detail::IsCLocaleName(timeName)) {
        if (const auto format = LangInfo(LC_TIME_MASK, timeName, D_FMT)) {
            result.DateSeparator = detail::DateSeparatorFromFormat(*format);
        }
    }
    const std::string numericName = EnvLocaleName("LC_NUMERIC");
    if (!detail::IsCLocaleName(numericName)) {
        if (const auto separator = LangInfo(LC_NUMERIC_MASK, numericName, THOUSEP)) {
            result.ThousandsSeparator = detail::NormalizeThousandsSeparator(*separator);
        }
    }
    return result;
}

}  // namespace

namespace detail {

std::string DateSeparatorFromFormat(std::string_view format)
{
    // Skip the first conversion ("%m", "%Ey", "%-d", ...), then take what
    // stands before the next "%".
    const std::size_t percent = format.find('%');
    if (percent == std::string_view::npos)
        return "/";
    std::size_t i = percent + 1;
    while (i < format.size() &&
           std::string_view("EO_-0^#123456789").find(format[i]) != std::string_view::npos) {
        ++i;
    }
    if (i >= format.size())
        return "/";
    ++i;  // the conversion letter
    const std::size_t next = format.find('%', i);
    const std::string_view between =
        format.substr(i, next == std::string_view::npos ? std::string_view::npos : next - i);
    if (between.size() == 1 && IsAsciiPunctuation(static_cast<unsigned char>(between[0]))) {
        return std::string(between);
    }
    return "/";
}

std::string NormalizeThousandsSeparator(std::string_view separator)
{
    for (const char c : separator) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return " ";
    }
    return std::string(separator);
}

bool IsCLocaleName(std::string_view name)
{
    return name.empty() || name == "C" || name == "POSIX" || name.substr(0, 2) == "C.";
}

TLocaleSeparators ReadEnvironmentSeparators()
{
    return ComputeSystemSeparators();
}

}  // namespace detail

TLocaleSeparators SystemLocaleSeparators()
{
    static const TLocaleSeparators separators = detail::ReadEnvironmentSeparators();
    return separators;
}

TLocaleSeparators LocaleSeparators()
{
    {
        std::lock_guard lock(OverrideMutex());
        if (Override())
            return *Override();
    }
    return SystemLocaleSeparators();
}

std::string ThousandsSeparator()
{
    return LocaleSeparators().ThousandsSeparator;
}

void SetLocaleSeparatorsForTesting(const TLocaleSeparators& separators)
{
    std::lock_guard lock(OverrideMutex());
    Override() = separators;
}

void ResetLocaleSeparatorsForTesting()
{
    std::lock_guard lock(OverrideMutex());
    Override().reset();
}

std::optional<TLocaleSeparators>
detail::ExchangeLocaleSeparatorsOverride(std::optional<TLocaleSeparators> separators)
{
    std::lock_guard lock(OverrideMutex());
    return std::exchange(Override(), std::move(separators));
}

}  // namespace tembrook::platform
