#pragma once
// The order of the release list: the one comparison that the list view's
// compare handler (InportBookListViewCompare in the main window) and the
// command-line exporter's --sort both use, so a column sorts the same way in
// both.
//
// The window calls it with the two rows' records and check states and its
// sort state, and uses only the sign of the result:
//
//   int c = CompareBookSaleRows({record1, checked1}, {record2, checked2},
//                               FSortColumn, FSortDescending);
//   // c < 0: row 1 goes first; c > 0: row 2 goes first; 0: equal
//
// Every function returns -1, 0 or 1, so negating a result is always safe.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "BookDataListUnit.h"
#include "SjisString.h"

namespace tembrook {

// The sort columns of the list view.
enum TSortColumn : std::int32_t {
    scCheck = 0,  // the check box: unchecked rows first
    scDate = 1,   // release date: the order of arrival (RowIndex), not the dates
    scTitle = 2,  // title text (CompareTextIgnoreAsciiCase); the volume plays no part
    scAuthor = 3,
    scPrice = 4,  // an unknown price (-1) before every known one
    scPublisher = 5,
};

// One row as the comparison sees it. A row without a record compares equal
// to every row.
struct TBookSaleRowRef {
    const THtmlBookSaleData* Record = nullptr;
    bool Checked = false;
};

// Prices in whole units: equal when less than one unit apart, otherwise the
// sign of their difference (computed without overflow).
int CompareBookSalePrices(TCurrency price1, TCurrency price2) noexcept;

// The list view's comparison of two rows for sortColumn (TSortColumn; any
// other value gives 0), reversed when sortDescending.
int CompareBookSaleRows(const TBookSaleRowRef& item1, const TBookSaleRowRef& item2, std::int32_t sortColumn,
                        bool sortDescending) noexcept;

// What CompareBookSaleRows reads of one row for one column, taken out once,
// so that sorting many rows compares keys that lie side by side instead of
// reaching into two records for every comparison. For the text columns the
// first 16 bytes are kept as the comparison sees them (a-z folded in
// single-byte characters), which decides most comparisons without reading
// the text itself. Both come from one table of what each column reads, so
// they cannot disagree.
struct TBookSaleSortKey {
    std::string_view Text;           // title, author or publisher; the record must outlive the key
    std::uint64_t Head[2] = {0, 0};  // Text's first 16 folded bytes, big-endian, zero after its end
    std::int64_t Number = 0;         // check state (0/1), RowIndex or the price's raw value
    std::uint8_t Kind = 0;           // how the column compares; 0 for a row without a record

    bool HasRecord() const noexcept { return Kind != 0; }
};

TBookSaleSortKey MakeBookSaleSortKey(const TBookSaleRowRef& row, std::int32_t sortColumn) noexcept;

// The same result as CompareBookSaleRows of the two rows the keys were made
// from, for the column they were made for.
int CompareBookSaleSortKeys(const TBookSaleSortKey& key1, const TBookSaleSortKey& key2,
                            bool sortDescending) noexcept;

// The one sort of the release list, for the list window and the exporter
// alike: the order of `count` rows (rowAt(i) gives row i as a
// TBookSaleRowRef) under sortColumn, stable, as the indexes of the rows in
// their new order. The keys are made once a row.
//
//   const std::vector<std::size_t> order =
//       SortBookSaleRows(rows.size(), [&](std::size_t i) { return TBookSaleRowRef{rows[i].get()}; }, column, false);
template <class TRowAt>
std::vector<std::size_t> SortBookSaleRows(std::size_t count, TRowAt&& rowAt, std::int32_t sortColumn,
                                          bool sortDescending)
{
    struct TEntry {
        TBookSaleSortKey Key;
        std::size_t Index;
    };
    std::vector<TEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        entries.push_back({MakeBookSaleSortKey(rowAt(i), sortColumn), i});
    std::stable_sort(entries.begin(), entries.end(), [sortDescending](const TEntry& a, const TEntry& b) {
        return CompareBookSaleSortKeys(a.Key, b.Key, sortDescending) < 0;
    });
    std::vector<std::size_t> order;
    order.reserve(count);
    for (const TEntry& entry : entries)
        order.push_back(entry.Index);
    return order;
}

}  // namespace tembrook
