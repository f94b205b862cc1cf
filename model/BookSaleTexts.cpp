#include "BookSaleTexts.h"

#include <charconv>

#include "NumberFormat.h"

namespace tembrook {

namespace {

// CP932 texts of the parts of a month and of an unknown date.
constexpr std::string_view kEarlyMonth = "\x8F\xE3\x8F\x7B";   // 上旬
constexpr std::string_view kMidMonth = "\x92\x86\x8F\x7B";     // 中旬
constexpr std::string_view kLateMonth = "\x89\xBA\x8F\x7B";    // 下旬
constexpr std::string_view kUnknownDate = "\x95\x73\x96\xBE";  // 不明

std::string_view PartOfMonth(TSaleDateKind kind) noexcept
{
    switch (kind) {
    case TSaleDateKind::dkEarlyMonth:
        return kEarlyMonth;
    case TSaleDateKind::dkMidMonth:
        return kMidMonth;
    case TSaleDateKind::dkLateMonth:
        return kLateMonth;
    default:
        return {};
    }
}

}  // namespace

void AppendLineDateText(std::string& out, const TBookSaleRootData& record, std::string_view dateSeparator)
{
    const std::string_view part = PartOfMonth(record.DateKind());
    if (part.empty()) {
        out += FormatMonthDay(record.SaleDate(), dateSeparator);
        return;
    }
    out += FormatMonth(record.SaleDate());
    out += part;
}

std::string ListDateText(const TBookSaleRootData& record, std::string_view dateSeparator)
{
    if (record.DateKind() == TSaleDateKind::dkUnknown)
        return std::string(kUnknownDate);
    std::string text;
    AppendLineDateText(text, record, dateSeparator);
    return text;
}

std::string ListTitleText(const TBookSaleRootData& record)
{
    std::string text = record.Title();
    if (record.Volume() > 0) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, record.Volume()).ptr;
        text += " (";
        text.append(digits, end);
        text += ')';
    }
    return text;
}

std::string ListPriceText(const TBookSaleRootData& record, std::string_view thousandsSeparator)
{
    if (record.Price().Raw() <= 0)
        return {};
    return FormatFloatN0(record.PriceUnits(), thousandsSeparator);
}

}  // namespace tembrook
