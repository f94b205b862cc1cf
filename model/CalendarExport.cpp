#include "CalendarExport.h"

#include <cstdint>
#include <cstdio>
#include <unordered_set>

#include "BookSaleTexts.h"
#include "Clock.h"
#include "Hash.h"
#include "LocaleSettings.h"
#include "Utf8Text.h"

namespace tembrook {

namespace {

constexpr std::size_t kFoldOctets = 75;

std::string DateValue(const TCivilDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.Year, date.Month, date.Day);
    return text;
}

}  // namespace

TCalendarSettings CurrentCalendarSettings()
{
    const platform::TLocalDate today = platform::Today();
    const platform::TUtcDateTime now = platform::UtcNow();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02dT%02d%02d%02dZ", now.Year, now.Month, now.Day, now.Hour,
                  now.Minute, now.Second);
    return {{today.Year, today.Month, today.Day}, stamp, platform::ThousandsSeparator()};
}

std::optional<TCalendarDays> CalendarDays(const TBookSaleRootData& record, const TCivilDate& today)
{
    const TCivilDate date = DecodeDate(record.SaleDate());
    if (record.DateKind() == TSaleDateKind::dkUnknown || date.Year == 0)
        return std::nullopt;
    const int year = today.Month - date.Month > 3 ? date.Year + 1 : date.Year;
    int first = date.Day;
    int last = date.Day;
    switch (record.DateKind()) {
    case TSaleDateKind::dkEarlyMonth:
        first = 1;
        last = 10;
        break;
    case TSaleDateKind::dkMidMonth:
        first = 11;
        last = 20;
        break;
    case TSaleDateKind::dkLateMonth:
        first = 21;
        last = DaysInMonth(year, date.Month);
        break;
    default:
        break;
    }
    TDateTime firstValue = 0;
    TDateTime lastValue = 0;
    // A 29 February moved into a year that has none does not exist.
    if (!TryEncodeDate(year, date.Month, first, firstValue) ||
        !TryEncodeDate(year, date.Month, last, lastValue))
        return std::nullopt;
    return TCalendarDays{DecodeDate(firstValue), DecodeDate(lastValue + 1)};
}

std::string CalendarUid(const THtmlBookSaleData& record)
{
    // The three fields, each followed by a separator that the texts do not hold.
    std::uint64_t hash = kFnv1aStart;
    const auto add = [&hash](std::string_view text) { hash = Fnv1aStep(Fnv1a(text, hash), '\x1F'); };
    add(record.Publisher());
    add(record.Title());
    add(record.Volume() > 0 ? std::to_string(record.Volume()) : std::string());
    char uid[40];
    std::snprintf(uid, sizeof uid, "%016llx@tembrook", static_cast<unsigned long long>(hash));
    return uid;
}

std::string EscapeCalendarText(std::string_view utf8)
{
    std::string text;
    text.reserve(utf8.size() + 8);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '\\':
        case ';':
        case ',':
            text += '\\';
            text += c;
            break;
        case '\r':
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                break;  // CR LF is one line break
            [[fallthrough]];
        case '\n':
            text += "\\n";
            break;
        default:
            if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t')
                text += c;
            break;
        }
    }
    return text;
}

std::string FoldCalendarLine(std::string_view line)
{
    std::string folded;
    folded.reserve(line.size() + line.size() / 64 * 3 + 2);
    std::size_t at = 0;
    std::size_t room = kFoldOctets;
    while (line.size() - at > room) {
        std::size_t cut = at + room;
        while (cut > at + 1 && IsUtf8ContinuationByte(line[cut]))
            --cut;
        folded.append(line, at, cut - at);
        folded += "\r\n ";
        at = cut;
        room = kFoldOctets - 1;  // the blank that starts a continuation counts
    }
    folded.append(line, at);
    folded += "\r\n";
    return folded;
}

TCalendarFile BuildCalendarFile(const std::vector<const THtmlBookSaleData*>& records,
                                const TUtf8Converter& toUtf8, const TCalendarSettings& settings)
{
    const auto text = [&toUtf8](std::string_view cp932) {
        return EscapeCalendarText(ToValidUtf8(toUtf8(cp932)));
    };
    TCalendarFile file;
    std::string& out = file.Text;
    out += "BEGIN:VCALENDAR\r\n"
           "VERSION:2.0\r\n"
           "PRODID:-//Tembrook//Tembrook release list//JA\r\n"
           "CALSCALE:GREGORIAN\r\n";
    std::unordered_set<std::string> uids;
    for (const THtmlBookSaleData* record : records) {
        if (record == nullptr)
            continue;
        const std::optional<TCalendarDays> days = CalendarDays(*record, settings.Today);
        if (!days) {
            ++file.Undated;
            continue;
        }
        std::string uid = CalendarUid(*record);
        if (!uids.insert(uid).second) {
            ++file.Repeated;
            continue;
        }
        const std::string summary = text(ListTitleText(*record));
        std::string description;
        const auto addField = [&description](std::string_view label, const std::string& value) {
            if (value.empty())
                return;
            if (!description.empty())
                description += "\\n";
            description += label;
            description += value;
        };
        addField("著者名: ", text(record->Author()));
        addField("価格: ", text(ListPriceText(*record, settings.ThousandsSeparator)));
        addField("出版社: ", text(record->Publisher()));

        out += "BEGIN:VEVENT\r\n";
        out += FoldCalendarLine("UID:" + uid);
        out += FoldCalendarLine("DTSTAMP:" + settings.Stamp);
        out += FoldCalendarLine("DTSTART;VALUE=DATE:" + DateValue(days->First));
        out += FoldCalendarLine("DTEND;VALUE=DATE:" + DateValue(days->End));
        out += FoldCalendarLine("SUMMARY:" + summary);
        if (!description.empty())
            out += FoldCalendarLine("DESCRIPTION:" + description);
        out += "TRANSP:TRANSPARENT\r\n"
               "END:VEVENT\r\n";
        ++file.Events;
    }
    out += "END:VCALENDAR\r\n";
    return file;
}

}  // namespace tembrook
