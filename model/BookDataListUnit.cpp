#include "BookDataListUnit.h"

#include <algorithm>
#include <charconv>

#include "BookSaleTexts.h"
#include "Clock.h"
#include "Errors.h"
#include "LocaleSettings.h"
#include "NumberFormat.h"
#include "SjisString.h"
#include "StrToInt.h"
#include "TextHelpers.h"

namespace tembrook {

namespace {

// CP932 texts of the record.
constexpr std::string_view kFullWidthSpace = "\x81\x40";     // 　 (full-width space)
constexpr std::string_view kCompletedMarker = "(\x8A\xAE)";  // (完)
constexpr std::string_view kEarly = "\x8F\xE3";              // 上
constexpr std::string_view kMiddle = "\x92\x86";             // 中
constexpr std::string_view kLate = "\x89\xBA";               // 下

constexpr int kEarlyMonthDay = 10;
constexpr int kMidMonthDay = 15;

}  // namespace

THtmlBookSaleData::THtmlBookSaleData() : FRowIndex(-1) {}

THtmlBookSaleData::~THtmlBookSaleData() = default;

std::string THtmlBookSaleData::ClassName() const
{
    return "THtmlBookSaleData";
}

void THtmlBookSaleData::ParseCells()
{
    const auto cell = [this](std::size_t index) {
        if (index >= FCells.size())
            throw EListError(static_cast<std::int64_t>(index));
        return RemoveHTMLTags(FCells[index]);
    };
    ParseSaleDate(cell(0));
    FPublisher = cell(1);
    SetTitle(cell(2));
    SetAuthor(cell(3));
    const std::string price = cell(4);
    SetPrice(price.empty() ? TCurrency::FromUnits(-1) : TCurrency::FromUnits(StrToInt(price)));
}

void THtmlBookSaleData::ParseSaleDate(std::string_view text)
{
    const platform::TLocalDate today = platform::Today();

    if (text.size() < 4 || ByteType(text, 4) == TByteType::mbSingleByte) {
        // "mm/dd": the separator at position 3 is not looked at.
        SetDateKind(TSaleDateKind::dkExactDay);
        const int month = StrToInt(Copy(text, 1, 2));
        const int day = StrToInt(Copy(text, 4, 2));
        SetSaleDate(EncodeDate(today.Year, month, day));
        return;
    }

    // "mm/" followed by a double-byte text: bytes 4-5 must be exactly one of
    // the three characters; anything else (also a lone byte) is unknown.
    const std::string part = Copy(text, 4, 2);
    TSaleDateKind kind = TSaleDateKind::dkUnknown;
    int day = today.Day;
    if (part == kEarly) {
        kind = TSaleDateKind::dkEarlyMonth;
        day = kEarlyMonthDay;
    } else if (part == kMiddle) {
        kind = TSaleDateKind::dkMidMonth;
        day = kMidMonthDay;
    } else if (part == kLate) {
        kind = TSaleDateKind::dkLateMonth;
    }
    SetDateKind(kind);
    const int month = StrToInt(Copy(text, 1, 2));
    if (kind == TSaleDateKind::dkLateMonth) {
        SetSaleDate(LastDayOfMonth(EncodeDate(today.Year, month, 1)));
        return;
    }
    if (kind == TSaleDateKind::dkUnknown) {
        // Today's day may not exist in that month (the 31st and month 04): the
        // month's last day stands in. An invalid month still fails below.
        day = std::min(day, DaysInMonth(today.Year, month));
    }
    SetSaleDate(EncodeDate(today.Year, month, day));
}

void THtmlBookSaleData::SetTitle(std::string value)
{
    FVolume = -1;
    FTitle.clear();

    std::string s = FullToHalfWidth(TrimView(value));
    if (const std::size_t marker = AnsiPos(kCompletedMarker, s); marker > 0) {
        s.erase(marker - 1, kCompletedMarker.size());
    }
    if (AnsiPos(kFullWidthSpace, s) == 0) {
        FTitle = std::move(s);  // not trimmed again: a blank before a removed marker stays
        return;
    }

    // Every segment before a full-width space joins the title after one blank;
    // the rest after the last one is the volume if it is all digits. One pass
    // over the characters finds the spaces; like every search it ends at a NUL.
    const std::size_t limit = UntilNul(s).size();
    std::string title;  // most titles fit the string's own buffer: no reserve
    std::size_t segment = 0;
    std::size_t i = 0;
    while (i < limit) {
        if (!IsLeadByteValue(static_cast<unsigned char>(s[i])) || i + 1 >= limit) {
            ++i;
            continue;
        }
        if (s[i] == kFullWidthSpace[0] && s[i + 1] == kFullWidthSpace[1]) {
            title += ' ';
            title.append(s, segment, i - segment);
            segment = i + kFullWidthSpace.size();
        }
        i += 2;
    }
    std::int32_t volume = -1;
    const std::string_view rest = std::string_view(s).substr(segment);
    if (!rest.empty()) {
        if (IsAllDigits(rest)) {
            volume = StrToInt(rest);
        } else {
            title += rest;
        }
    }
    TrimInPlace(title);
    FTitle = std::move(title);
    FVolume = volume;
}

void THtmlBookSaleData::SetAuthor(std::string value)
{
    // Searching stops at a NUL, so full-width spaces after one stay.
    const std::size_t limit = UntilNul(value).size();
    std::string author;
    author.reserve(value.size());
    std::size_t i = 0;
    while (i < limit) {
        if (IsLeadByteValue(static_cast<unsigned char>(value[i])) && i + 1 < limit) {
            if (std::string_view(value).substr(i, 2) != kFullWidthSpace)
                author.append(value, i, 2);
            i += 2;
        } else {
            author += value[i];
            ++i;
        }
    }
    author.append(value, limit, std::string::npos);
    FAuthor = std::move(author);
}

void THtmlBookSaleData::Assign(const TPersistent* source)
{
    const auto* record = dynamic_cast<const THtmlBookSaleData*>(source);
    if (record == nullptr) {
        TBookSaleRootData::Assign(source);
        return;
    }
    if (record == this)
        return;
    SetDateKind(record->DateKind());
    SetSaleDate(record->SaleDate());
    FTitle = record->Title();
    SetAuthor(record->Author());
    SetPrice(record->Price());
    SetExtraFlag(record->ExtraFlag());
    FPublisher = record->Publisher();
    SetVolume(record->Volume());
    FCells = record->Cells();
}

void THtmlBookSaleData::AppendTitleWithVolume(std::string& out) const
{
    out += FTitle;
    if (FVolume > 0) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, FVolume).ptr;
        out += '(';
        out.append(digits, end);
        out += ')';
    }
}

std::string THtmlBookSaleData::TextLine() const
{
    const platform::TLocaleSeparators separators = platform::LocaleSeparators();
    return TextLine(separators.DateSeparator, separators.ThousandsSeparator);
}

std::string THtmlBookSaleData::TextLine(std::string_view dateSeparator,
                                        std::string_view thousandsSeparator) const
{
    std::string line;
    // One allocation for the whole line: the date, four separating blanks,
    // "(volume)" and a grouped price take well under 48 bytes.
    line.reserve(48 + FTitle.size() + FAuthor.size() + FPublisher.size());
    AppendLineDateText(line, *this, dateSeparator);
    line += ' ';
    AppendTitleWithVolume(line);
    line += ' ';
    line += FAuthor;
    line += ' ';
    line += FormatFloatN0(FPrice.Units(), thousandsSeparator);
    line += ' ';
    line += FPublisher;
    return line;
}

std::string THtmlBookSaleData::HTMLLine() const
{
    std::string line;
    line.reserve(16 + FTitle.size() + FAuthor.size());
    AppendTitleWithVolume(line);
    line += ' ';
    line += FAuthor;
    return line;
}

}  // namespace tembrook
