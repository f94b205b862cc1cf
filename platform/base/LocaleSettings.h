#pragma once
// The user's locale settings the program formats with: the date separator of
// "mm/dd" and the thousands separator of "%.0n". Under the C or POSIX locale
// (or when the environment names none) they are "/" and ","; otherwise they
// come from the locale the environment names (LC_ALL, then LC_TIME or
// LC_NUMERIC, then LANG). The separators are ASCII so they fit into CP932
// text: a date format whose separator is not a single ASCII punctuation byte
// gives "/", and a non-ASCII thousands separator (a no-break space) gives " ".
// Read once per process; tests override with TScopedLocaleSeparators.

#include "ScopedOverride.h"

#include <optional>
#include <string>
#include <string_view>

namespace tembrook::platform {

struct TLocaleSeparators {
    std::string DateSeparator = "/";
    std::string ThousandsSeparator = ",";
    friend bool operator==(const TLocaleSeparators&, const TLocaleSeparators&) = default;
};

// The separators in effect (the override if one is set).
TLocaleSeparators LocaleSeparators();
std::string ThousandsSeparator();

// The separators the environment's locale gives, ignoring any override.
TLocaleSeparators SystemLocaleSeparators();

// Sets (or, with reset, removes) the override.
void SetLocaleSeparatorsForTesting(const TLocaleSeparators& separators);
void ResetLocaleSeparatorsForTesting();

namespace detail {
// Installs the override (nothing: the environment's separators) and returns
// the one it replaces.
std::optional<TLocaleSeparators>
ExchangeLocaleSeparatorsOverride(std::optional<TLocaleSeparators> separators);
}  // namespace detail

// Overrides the separators for the lifetime of the object and restores the
// previous setting when it ends.
class TScopedLocaleSeparators
    : public TScopedOverride<std::optional<TLocaleSeparators>, &detail::ExchangeLocaleSeparatorsOverride> {
public:
    explicit TScopedLocaleSeparators(TLocaleSeparators separators) : TScopedOverride(std::move(separators)) {}
};

namespace detail {
// The separator between the first two conversions of a date format such as
// "%m/%d/%y" or "%d.%m.%Y"; "/" unless it is one ASCII punctuation byte.
std::string DateSeparatorFromFormat(std::string_view dateFormat);
// The thousands separator as the program uses it: ASCII kept as it is, a
// non-ASCII one (such as a UTF-8 no-break space) becomes " ".
std::string NormalizeThousandsSeparator(std::string_view separator);
// True for the names of the C locale ("", "C", "POSIX", "C.UTF-8", ...).
bool IsCLocaleName(std::string_view name);
// Reads the separators from the environment now (SystemLocaleSeparators keeps
// the first answer for the whole run).
TLocaleSeparators ReadEnvironmentSeparators();
}  // namespace detail

}  // namespace tembrook::platform
