// Fuzzes what a saved list the user hands in goes through before it ticks
// rows ("前回の保存リストからチェック…" and --tick-from): the choice between a
// list in UTF-8 and one in CP932 with the conversion (SavedListTextFromBytes),
// the index of its marked lines (TSavedListTicks) and the matching of a few
// records against it. The file may be anything: binary, cut in the middle of
// a character, a list with millions of marks.
//
// Properties besides the sanitizers: no more marked lines than lines; a list
// without a marked line ticks nothing; a record with an empty title is never
// ticked; and whatever comes before it, a marked line written as Save writes
// it ticks that line's series.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "BookDataListUnit.h"
#include "FuzzChecks.h"
#include "ListFile.h"
#include "SavedListFile.h"

namespace {

struct TFollowed {
    const char* Title;
    const char* Author;
};
constexpr TFollowed kRecords[] = {
    {"T", "A"},
    {"SKY BLUE", "A B"},
    {"\x83\x65\x83\x58\x83\x67", "\x92\x98\x8E\xD2"},  // テスト 著者
    {"", "A"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text =
        tembrook::SavedListTextFromBytes(std::string(reinterpret_cast<const char*>(data), size));
    const tembrook::TSavedListTicks ticks(text);
    std::size_t lines = 1;
    for (const char c : text)
        lines += c == '\n' ? 1 : 0;
    TEMBROOK_FUZZ_CHECK(ticks.MarkedLineCount() <= lines);
    tembrook::THtmlBookSaleData record;
    for (const TFollowed& followed : kRecords) {
        record.SetTitle(followed.Title);
        record.SetAuthor(followed.Author);
        const bool ticked = ticks.Matches(record);
        TEMBROOK_FUZZ_CHECK(!ticked || ticks.MarkedLineCount() > 0);
        TEMBROOK_FUZZ_CHECK(!ticked || !record.Title().empty());
    }

    const std::string followed = text + "\r\n" + std::string(tembrook::kSavedListMark) +
        "03/14 \x83\x65\x83\x58\x83\x67(2) \x92\x98\x8E\xD2 580 P\r\n";
    record.SetTitle(kRecords[2].Title);
    record.SetAuthor(kRecords[2].Author);
    TEMBROOK_FUZZ_CHECK(tembrook::TSavedListTicks(followed).Matches(record));
    return 0;
}
