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

int CompareBookSaleRows(const TBookSaleRowRef& item1, const TBookSaleRowRef& item2, std::int32_t sortColumn,
                        bool sortDescending) noexcept
{
    const THtmlBookSaleData* r1 = item1.Record;
    const THtmlBookSaleData* r2 = item2.Record;
    if (r1 == nullptr || r2 == nullptr)
        return 0;

    int result = 0;
    switch (sortColumn) {
    case scCheck:
        result = Sign(static_cast<int>(item1.Checked) - static_cast<int>(item2.Checked));
        break;
    case scDate:
        result = Sign(static_cast<std::int64_t>(r1->RowIndex()) - r2->RowIndex());
        break;
    case scTitle:
        result = CompareTextIgnoreAsciiCase(r1->Title(), r2->Title());
        break;
    case scAuthor:
        result = CompareTextIgnoreAsciiCase(r1->Author(), r2->Author());
        break;
    case scPrice:
        result = CompareBookSalePrices(r1->Price(), r2->Price());
        break;
    case scPublisher:
        result = CompareTextIgnoreAsciiCase(r1->Publisher(), r2->Publisher());
        break;
    default:
        result = 0;
        break;
    }
    return sortDescending ? -result : result;
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
    TBookSaleSortKey key;
    const THtmlBookSaleData* record = row.Record;
    if (record == nullptr)
        return key;
    key.HasRecord = true;
    switch (sortColumn) {
    case scCheck:
        key.Number = row.Checked ? 1 : 0;
        return key;
    case scDate:
        key.Number = record->RowIndex();
        return key;
    case scPrice:
        key.Number = record->Price().Raw();
        return key;
    case scTitle:
        key.Text = record->Title();
        break;
    case scAuthor:
        key.Text = record->Author();
        break;
    case scPublisher:
        key.Text = record->Publisher();
        break;
    default:
        return key;
    }
    TUpperFoldingReader reader(key.Text);
    for (int i = 0; i < 16 && !reader.AtEnd(); ++i)
        key.Head[i / 8] |= static_cast<std::uint64_t>(reader.Next()) << (8 * (7 - i % 8));
    return key;
}

int CompareBookSaleSortKeys(const TBookSaleSortKey& key1, const TBookSaleSortKey& key2,
                            std::int32_t sortColumn, bool sortDescending) noexcept
{
    if (!key1.HasRecord || !key2.HasRecord)
        return 0;
    int result = 0;
    switch (sortColumn) {
    case scCheck:
    case scDate:
        result = Sign(key1.Number - key2.Number);
        break;
    case scPrice:
        result = CompareBookSalePrices(TCurrency::FromRaw(key1.Number), TCurrency::FromRaw(key2.Number));
        break;
    case scTitle:
    case scAuthor:
    case scPublisher:
        result = CompareFoldedTexts(key1, key2);
        break;
    default:
        result = 0;
        break;
    }
    return sortDescending ? -result : result;
}

}  // namespace tembrook
