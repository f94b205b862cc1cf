#pragma once
// THtmlBookSaleData is the release record made from one row of a
// publisher's HTML release table. The table parser creates it, appends it to
// its TBookSaleList, fills Cells() with the row's trimmed lines (tags still in
// them) and calls ParseCells, which reads the cells in the order release
// date, publisher, title, author, price. The list view copies records with
// Assign and reads the fields; the list export writes TextLine and the HTML
// window joins HTMLLine.
//
// ParseCells stops at the first cell that fails and throws: EListError for a
// missing cell (its 0-based index), EConvertError for a month, day, volume or
// price text that is no integer, or a date that does not exist. Fields set
// before the failing cell keep their values.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "BookDataUnit.h"

namespace tembrook {

class THtmlBookSaleData : public TBookSaleRootData {
public:
    // The base defaults, RowIndex -1, empty Publisher and Cells.
    THtmlBookSaleData();
    ~THtmlBookSaleData() override;

    std::string ClassName() const override;

    std::int32_t RowIndex() const noexcept { return FRowIndex; }
    void SetRowIndex(std::int32_t value) noexcept { FRowIndex = value; }
    const std::string& Publisher() const noexcept { return FPublisher; }
    void SetPublisher(std::string value) { FPublisher = std::move(value); }
    const std::vector<std::string>& Cells() const noexcept { return FCells; }
    std::vector<std::string>& Cells() noexcept { return FCells; }

    // Parses the first five cells into the fields (see the class comment).
    void ParseCells();
    // Sets DateKind and SaleDate from a release-date text: "mm/dd" for an exact
    // day, "mm/" + 上旬 / 中旬 / 下旬 for a part of the month (day 10, day 15,
    // the month's last day), anything else double-byte for unknown (today's
    // day, or the month's last day when it has no such day). The year is
    // today's year.
    void ParseSaleDate(std::string_view text);

    // Title, volume number and completion marker from a title cell: width
    // conversion, the first "(完)" removed, segments between full-width spaces
    // joined by blanks, an all-digit last segment taken as the volume.
    void SetTitle(std::string value) override;
    // Stores the text with every full-width space removed (no trimming).
    void SetAuthor(std::string value) override;

    // From another THtmlBookSaleData: all fields and Cells except RowIndex
    // (the title is copied, not parsed again); otherwise as the base.
    void Assign(const TPersistent* source) override;

    // Date, title with "(volume)", author, price ("%.0n") and publisher
    // joined by single blanks, with the locale's separators from platform/.
    std::string TextLine() const;
    std::string TextLine(std::string_view dateSeparator, std::string_view thousandsSeparator) const;
    // Title with "(volume)", a blank, author.
    std::string HTMLLine() const;

    // The title piece of both lines appended to out: "%s(%d)" when
    // Volume > 0, else Title.
    void AppendTitleWithVolume(std::string& out) const;

private:
    std::int32_t FRowIndex;
    std::string FPublisher;
    std::vector<std::string> FCells;
};

}  // namespace tembrook
