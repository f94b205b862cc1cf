#pragma once
// TBookDataInportOption turns the downloaded pages of one import into data:
// the release top page into the list of table-page URLs (ParseTopPage), and
// each table page into release records (ParseTablePage). The import road
// (ImportRoad.h) owns one and calls it from its completion handlers; nothing
// else needs to call the parsers directly.
//
//   TBookDataInportOption option;
//   option.SourceURL = url;                 // the top page's address, as typed
//   option.ParseTopPage(topPageText);       // fills TablePageURLs
//   option.ParseTablePage(pageText, true);  // BookSaleList := the page's records
//   for (const TDroppedRow& row : option.DroppedRows()) log(row.Message);
//
// All text is CP932 bytes. The parsers work on the lines of a page, not on an
// HTML tree, and take time linear in the size of the page.
//
// A table row whose cells do not parse is dropped, not fatal: its record
// never joins BookSaleList, the row is listed in DroppedRows() with the
// runtime's message, and the rows after it are still read.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BookDataListUnit.h"
#include "BookDataUnit.h"

namespace tembrook {

// One table row that did not become a record.
struct TDroppedRow {
    std::int32_t RowNumber = 0;   // 1-based among the table's rows (lines above the first row not counted)
    std::int32_t LineNumber = 0;  // 1-based page line on which the row starts
    std::string Message;          // the error's text (CP932), e.g. "List index out of bounds (4)"
};

// One line of a table page while it is being parsed, with the page line it
// started on (joined cells keep the number of their first line) and the
// markers it holds, found in one scan when the working list is made.
struct TTableLine {
    enum : std::uint8_t {
        tmRowMarker = 1,  // "<tr><td width=50 bgcolor=#efefef"
        tmTableEnd = 2,   // "</table>"
        tmCellStart = 4,  // "<td"
        tmCellEnd = 8,    // "</td>"
    };
    std::string Text;
    std::int32_t PageLine = 0;
    std::uint8_t Marks = 0;  // tm* bits, each searched ignoring ASCII case on character boundaries
};
using TTableLines = std::vector<TTableLine>;

class TBookDataInportOption : public TPersistent {
public:
    TBookDataInportOption();
    // Releases the records still in BookSaleList.
    ~TBookDataInportOption() override;

    std::string ClassName() const override;

    // URL of the top page; links on it are resolved against it.
    std::string SourceURL;
    // Absolute table-page URLs found by the last ParseTopPage, in page order
    // (duplicates kept).
    std::vector<std::string> TablePageURLs;
    // Records of the last parsed table page (owned; released by the next
    // ParseTablePage with clearList, or by the destructor).
    TBookSaleList BookSaleList;

    // Empties TablePageURLs, then looks for the first line holding the heading
    // "発売日順(テーブル表示)" whose next line holds "<a href=" (any ASCII
    // case) and adds the links of that line and the one after it. True when
    // such a heading was found. A heading on the last line does not count; a
    // link line that is the last line gives its own link only.
    bool ParseTopPage(std::string_view text);

    // Appends the link of one HTML line (ExtractHrefValue) to list, resolved
    // against SourceURL by ResolveLink (LinkResolution.h). An empty link adds
    // nothing.
    void AddTablePageURL(std::vector<std::string>& list, std::string_view line);

    // Turns the release table of one page into records appended to
    // BookSaleList (emptied first when clearList). False when the table's
    // lines are not laid out one cell per line (no record is made then); true
    // otherwise, also when the page has no table. Rows that fail to parse are
    // listed in DroppedRows().
    bool ParseTablePage(std::string_view text, bool clearList);

    // Rows dropped by ParseTablePage since the list was last cleared (cleared
    // together with BookSaleList).
    const std::vector<TDroppedRow>& DroppedRows() const noexcept { return FDroppedRows; }

private:
    // Trims every line, joins each cell spread over several lines into one;
    // false when a non-empty line has no "<td" or a cell is never closed.
    bool NormalizeTableLines(TTableLines& lines);
    // Drops the lines above the first row marker (all lines when none has it).
    void DropLinesBeforeFirstRow(TTableLines& lines);
    // Drops the first "</table>" line and everything after it.
    void DropLinesFromTableEnd(TTableLines& lines);
    // Makes one record of the runLength lines before lines[endIndex].
    void AddRecordFromLines(TTableLines& lines, std::int64_t endIndex, std::int64_t runLength);

    std::vector<TDroppedRow> FDroppedRows;
    std::int32_t FRowNumber = 0;  // rows seen so far in the page being parsed
};

}  // namespace tembrook
