#include "Clock.h"

#include <ctime>
#include <mutex>
#include <utility>

namespace tembrook::platform {

namespace {

std::mutex& ProviderMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::function<TLocalDate()>& Provider()
{
    static std::function<TLocalDate()> provider;
    return provider;
}

}  // namespace

std::function<TLocalDate()> detail::ExchangeTodayProvider(std::function<TLocalDate()> next)
{
    std::lock_guard lock(ProviderMutex());
    return std::exchange(Provider(), std::move(next));
}

TLocalDate SystemToday()
{
    const std::time_t now = std::time(nullptr);
    // The conversion to local time looks up the time zone, which costs more
    // than parsing a table row; every row of a page asks, within the same
    // second, so the answer of the current second is kept.
    static std::mutex cacheLock;
    static std::time_t cachedSecond = static_cast<std::time_t>(-1);
    static TLocalDate cachedDate;
    {
        std::lock_guard lock(cacheLock);
        if (now == cachedSecond)
            return cachedDate;
    }
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        // No usable local time zone: the UTC date is the best remaining answer.
        gmtime_r(&now, &local);
    }
    const TLocalDate date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    std::lock_guard lock(cacheLock);
    cachedSecond = now;
    cachedDate = date;
    return date;
}

TLocalDate Today()
{
    std::function<TLocalDate()> provider;
    {
        std::lock_guard lock(ProviderMutex());
        provider = Provider();
    }
    return provider ? provider() : SystemToday();
}

TUtcDateTime UtcNow()
{
    std::function<TLocalDate()> provider;
    {
        std::lock_guard lock(ProviderMutex());
        provider = Provider();
    }
    if (provider) {
        const TLocalDate today = provider();
        return {today.Year, today.Month, today.Day, 0, 0, 0};
    }
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
}

void SetTodayForTesting(std::optional<TLocalDate> date)
{
    if (date) {
        const TLocalDate fixed = *date;
        detail::ExchangeTodayProvider([fixed] { return fixed; });
    } else {
        detail::ExchangeTodayProvider({});
    }
}

void SetTodayProviderForTesting(std::function<TLocalDate()> provider)
{
    detail::ExchangeTodayProvider(std::move(provider));
}

}  // namespace tembrook::platform
