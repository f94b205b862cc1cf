#include "OutputFormats.h"

#include <algorithm>
#include <array>

namespace tembrook {

namespace {

using enum TOutputEncoding;
using enum TOutputRowChoice;

constexpr std::array<TOutputFormat, 6> kFormats = {{
    {"text", "every row as one line (the default)", oeCp932, orAllRows, false, false, BuildTextOutput},
    {"html",
     "one line: title and author of every row, or of\n"
     "the ticked rows with --tick-from, joined by \" / \"",
     oeCp932, orTickedWhenTicking, true, false, BuildHtmlOutput},
    {"saved",
     "the list as the window's Save writes it: the\n"
     "ticked rows marked with three stars, two empty\n"
     "lines, every row",
     oeCp932, orAllRows, false, false, BuildSavedOutput},
    {"csv", "RFC 4180 in UTF-8 with a header row", oeUtf8, orAllRows, false, true, BuildCsvOutput},
    {"json", "an array of objects in UTF-8", oeUtf8, orAllRows, false, false, BuildJsonOutput},
    {"ics",
     "an iCalendar file with an all-day event per\n"
     "release of known date (the ticked rows with\n"
     "--tick-from)",
     oeUtf8, orTickedWhenTicking, false, false, BuildIcsOutput},
}};

}  // namespace

std::span<const TOutputFormat> OutputFormats() noexcept
{
    return kFormats;
}

const TOutputFormat* FindOutputFormat(std::string_view name) noexcept
{
    const auto found = std::find_if(kFormats.begin(), kFormats.end(),
                                    [&](const TOutputFormat& f) { return f.Name == name; });
    return found == kFormats.end() ? nullptr : &*found;
}

TOutputSettings CurrentOutputSettings()
{
    return {false, CurrentCalendarSettings()};
}

}  // namespace tembrook
