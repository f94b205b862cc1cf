#include "BookSaleCompare.h"

#include <algorithm>
#include <bit>
#include <cstddef>

#include "SjisString.h"

namespace tembrook {

namespace {

constexpr int Sign(std::int64_t value) noexcept
{
    return (value > 0) - (value < 0);
}

}  // namespace

int CompareBookSalePrices(TCurrency price1, TCurrency price2) noexcept
{
    const std::int64_t a = price1.Raw();
    const std::int64_t b = price2.Raw();
    // The distance in raw units, taken in unsigned arithmetic so that even the
    // extremes of the 64-bit range cannot overflow.
    const bool aLarger = a >= b;
    const std::uint64_t distance = aLarger ? static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b)
                                           : static_cast<std::uint64_t>(b) - static_cast<std::uint64_t>(a);
    if (distance < static_cast<std::uint64_t>(TCurrency::kScale))
        return 0;  // less than one whole unit apart
    return aLarger ? 1 : -1;
}

namespace {

// What one column compares of a row: a number (the check state, the arrival
// order), a price, or a text. The one place that says which field each
// column reads; the row comparison and the sort keys both take it from here.
enum class TSortKind { skNone, skNumber, skPrice, skText };

struct TSortValue {
    TSortKind Kind = TSortKind::skNone;
    std::int64_t Number = 0;  // skNumber, or skPrice's raw value
    std::string_view Text;    // skText
};

TSortValue SortValue(const TBookSaleRowRef& row, std::int32_t sortColumn) noexcept
{
    const THtmlBookSaleData* record = row.Record;
    if (record == nullptr)
        return {};
    switch (sortColumn) {
    case scCheck:
        return {TSortKind::skNumber, row.Checked ? 1 : 0, {}};
    case scDate:
        return {TSortKind::skNumber, record->RowIndex(), {}};
    case scPrice:
        return {TSortKind::skPrice, record->Price().Raw(), {}};
    case scTitle:
        return {TSortKind::skText, 0, record->Title()};
    case scAuthor:
        return {TSortKind::skText, 0, record->Author()};
    case scPublisher:
        return {TSortKind::skText, 0, record->Publisher()};
    default:
        return {};
    }
}

// The order of two values of one column; texts through compareTexts, which
// is CompareTextIgnoreAsciiCase or a faster equivalent.
template <class TCompareTexts>
int CompareSortValues(TSortKind kind, std::int64_t number1, std::int64_t number2,
                      TCompareTexts&& compareTexts, bool sortDescending) noexcept
{
    int result = 0;
    switch (kind) {
    case TSortKind::skNumber:
        result = Sign(number1 - number2);
        break;
    case TSortKind::skPrice:
        result = CompareBookSalePrices(TCurrency::FromRaw(number1), TCurrency::FromRaw(number2));
        break;
    case TSortKind::skText:
        result = compareTexts();
        break;
    case TSortKind::skNone:
        break;
    }
    return sortDescending ? -result : result;
}

}  // namespace

int CompareBookSaleRows(const TBookSaleRowRef& item1, const TBookSaleRowRef& item2, std::int32_t sortColumn,
                        bool sortDescending) noexcept
{
    const TSortValue v1 = SortValue(item1, sortColumn);
    const TSortValue v2 = SortValue(item2, sortColumn);
    if (v1.Kind != v2.Kind)
        return 0;  // a row without a record
    return CompareSortValues(
        v1.Kind, v1.Number, v2.Number, [&] { return CompareTextIgnoreAsciiCase(v1.Text, v2.Text); },
        sortDescending);
}

namespace {

// CompareTextIgnoreAsciiCase of two texts whose folded heads are known.
int CompareFoldedTexts(const TBookSaleSortKey& key1, const TBookSaleSortKey& key2) noexcept
{
    const std::size_t length1 = key1.Text.size();
    const std::size_t length2 = key2.Text.size();
    const std::size_t common = std::min(length1, length2);
    const int byLength = (length1 > length2) - (length1 < length2);
    if (key1.Head[0] != key2.Head[0] || key1.Head[1] != key2.Head[1]) {
        // The first byte in which the heads differ decides, unless one text has
        // already ended there: then the texts agree up to the shorter one's end.
        const int word = key1.Head[0] != key2.Head[0] ? 0 : 1;
        const std::size_t at =
            static_cast<std::size_t>(word * 8 + std::countl_zero(key1.Head[word] ^ key2.Head[word]) / 8);
        if (at < common)
            return key1.Head[word] < key2.Head[word] ? -1 : 1;
        return byLength;
    }
    // Equal heads: the texts agree on their first min(common, 16) bytes.
    if (common <= 16)
        return byLength;
    return CompareTextIgnoreAsciiCase(key1.Text, key2.Text);
}

}  // namespace

TBookSaleSortKey MakeBookSaleSortKey(const TBookSaleRowRef& row, std::int32_t sortColumn) noexcept
{
    const TSortValue value = SortValue(row, sortColumn);
    TBookSaleSortKey key;
    key.Kind = static_cast<std::uint8_t>(value.Kind);
    key.Number = value.Number;
    key.Text = value.Text;
    if (value.Kind != TSortKind::skText)
        return key;
    TUpperFoldingReader reader(key.Text);
    for (int i = 0; i < 16 && !reader.AtEnd(); ++i)
        key.Head[i / 8] |= static_cast<std::uint64_t>(reader.Next()) << (8 * (7 - i % 8));
    return key;
}

int CompareBookSaleSortKeys(const TBookSaleSortKey& key1, const TBookSaleSortKey& key2,
                            bool sortDescending) noexcept
{
    if (key1.Kind != key2.Kind)
        return 0;  // a row without a record
    return CompareSortValues(
        static_cast<TSortKind>(key1.Kind), key1.Number, key2.Number,
        [&] { return CompareFoldedTexts(key1, key2); }, sortDescending);
}

}  // namespace tembrook
