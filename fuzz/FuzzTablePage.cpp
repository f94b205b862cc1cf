// Fuzzes ParseTablePage (and with it every record's ParseCells): the whole
// input is the downloaded table page. The input is also cut into lines that
// are handed to a record as its cells directly, so that the cell grammar
// (dates, titles with volumes, prices) is reached without a table around it.
//
// Properties besides the sanitizers: no exception leaves the parser (a bad
// row is dropped, never fatal); a page whose table is not laid out one cell
// per line gives no record; every record has at least the five cells it was
// parsed from, none of them empty; a record renders both its lines and its
// copy renders the same; the list's comparison is antisymmetric; parsing the
// page again without clearing appends the same records once more.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BookDataInportOptionUnit.h"
#include "BookDataListUnit.h"
#include "BookSaleCompare.h"
#include "Clock.h"
#include "Errors.h"
#include "FuzzChecks.h"
#include "LocaleSettings.h"
#include "SjisString.h"

namespace {

// "Today" decides the year of every date and the day of an unknown one; a
// few awkward days (a leap day, month ends) are chosen by the input's size
// so that a run stays reproducible.
constexpr tembrook::platform::TLocalDate kTodays[] = {
    {2024, 2, 29}, {2023, 2, 28}, {2024, 12, 31}, {2025, 4, 30}, {2024, 1, 31}, {2025, 6, 15},
};

void CheckRecord(const tembrook::THtmlBookSaleData& record)
{
    TEMBROOK_FUZZ_CHECK(record.Cells().size() >= 5);
    for (const std::string& cell : record.Cells())
        TEMBROOK_FUZZ_CHECK(!cell.empty());
    const std::string line = record.TextLine();
    const std::string html = record.HTMLLine();
    TEMBROOK_FUZZ_CHECK(!line.empty());
    TEMBROOK_FUZZ_CHECK(html.size() >= record.Title().size() + 1);

    tembrook::THtmlBookSaleData copy;
    copy.Assign(&record);
    TEMBROOK_FUZZ_CHECK(copy.TextLine() == line);
    TEMBROOK_FUZZ_CHECK(copy.HTMLLine() == html);
}

void CheckOrder(const tembrook::THtmlBookSaleData& a, const tembrook::THtmlBookSaleData& b)
{
    for (std::int32_t column = tembrook::scCheck; column <= tembrook::scPublisher; ++column) {
        for (const bool descending : {false, true}) {
            const int ab = tembrook::CompareBookSaleRows({&a, false}, {&b, true}, column, descending);
            const int ba = tembrook::CompareBookSaleRows({&b, true}, {&a, false}, column, descending);
            TEMBROOK_FUZZ_CHECK(ab == -ba);
            TEMBROOK_FUZZ_CHECK(tembrook::CompareBookSaleRows({&a, false}, {&a, false}, column, descending) ==
                                0);
        }
    }
}

void ParseCellsDirectly(std::string_view input)
{
    tembrook::THtmlBookSaleData record;
    record.Cells() = tembrook::SplitLines(input);
    try {
        record.ParseCells();
    } catch (const tembrook::ETembrookError&) {
        return;  // a bad cell is reported as the runtime's error; anything else escapes and fails
    }
    (void)record.TextLine();
    (void)record.HTMLLine();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    const tembrook::platform::TScopedToday today(kTodays[size % std::size(kTodays)]);
    const tembrook::platform::TScopedLocaleSeparators separators({"/", ","});

    tembrook::TBookDataInportOption option;
    const bool readable = option.ParseTablePage(page, true);
    const std::int32_t records = option.BookSaleList.Count();
    const std::size_t dropped = option.DroppedRows().size();
    if (!readable) {
        TEMBROOK_FUZZ_CHECK(records == 0);
        TEMBROOK_FUZZ_CHECK(dropped == 0);
    }

    std::vector<const tembrook::THtmlBookSaleData*> parsed;
    for (std::int32_t i = 0; i < records; ++i) {
        const auto* record = dynamic_cast<const tembrook::THtmlBookSaleData*>(option.BookSaleList.Items(i));
        TEMBROOK_FUZZ_CHECK(record != nullptr);
        CheckRecord(*record);
        parsed.push_back(record);
    }
    for (std::size_t i = 0; i + 1 < parsed.size() && i < 8; ++i)
        CheckOrder(*parsed[i], *parsed[i + 1]);
    for (const tembrook::TDroppedRow& row : option.DroppedRows()) {
        TEMBROOK_FUZZ_CHECK(row.RowNumber >= 1);
        TEMBROOK_FUZZ_CHECK(row.LineNumber >= 1);
        TEMBROOK_FUZZ_CHECK(!row.Message.empty());
    }

    // The same page once more, appended: the parse does not depend on what the
    // list already holds.
    TEMBROOK_FUZZ_CHECK(option.ParseTablePage(page, false) == readable);
    TEMBROOK_FUZZ_CHECK(option.BookSaleList.Count() == 2 * records);
    TEMBROOK_FUZZ_CHECK(option.DroppedRows().size() == 2 * dropped);

    ParseCellsDirectly(page);
    return 0;
}
