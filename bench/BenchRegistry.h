#pragma once
// The benchmarks of tembrook_bench, their names (the summary looks the
// results up by them) and the pieces they share.

#include <QObject>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tembrook {
class TTembrookMainForm;
}

namespace tembrook::bench {

// Names; the size in rows follows the ones that end in "/".
inline const std::string kParseTablePage = "parse_table_page/";
inline const std::string kSplitLinesFloor = "split_lines_floor/";
inline const std::string kParseReplacing = "parse_table_page_replacing/";
inline const std::string kParseHalfBad = "parse_table_page_half_dropped/";
inline const char* const kParseTopPage = "parse_top_page/1MB";
inline const char* const kRemoveHTMLTags = "remove_html_tags/1MB";
inline const char* const kFullToHalfWidth = "full_to_half_width/1MB";
inline const std::string kListAddDateSort = "list_add_date_sort/";
inline const std::string kListAddTitleSort = "list_add_title_sort/";
inline const char* const kListAddSmallPages = "list_add_title_sort_1000_row_pages/100000";
inline const std::string kHeaderClick = "header_click_";  // + column word + "/100000"
inline const char* const kWholeImport = "whole_import/50000";
inline const char* const kWholeImportUtf8 = "whole_import_utf8/50000";  // the same site in UTF-8
inline const char* const kListMemory = "list_memory/100000";
inline const char* const kTickFromSavedList = "tick_from_saved_list/100000";

// The records reach the list a table page at a time, with the event loop
// running between pages, as in an import. An import brings at most two
// table pages (the top page's two link lines), so each size of the list
// benchmarks arrives as two hand-overs of half its rows, and the sizes differ
// only in the number of rows. One run of 100,000 rows in pages of 1,000
// shows what many pages would cost (each page a relayout and a repaint of
// the view). The memory probe uses pages of 1,000 rows, so that the parser's
// working copy of one page stays small beside the list.
constexpr int kListPages = 2;
constexpr int kSmallPageRows = 1000;

void RegisterParseBenchmarks();
void RegisterListBenchmarks();
void RegisterImportBenchmarks();

// The real main window, shown (offscreen), made on first use; destroyed by
// ReleaseBenchWindow before the application object goes.
TTembrookMainForm& BenchWindow();
void ReleaseBenchWindow();
// The one object of BenchWindow() named name; null when there is none or
// more than one.
QObject* FindBenchWindowChild(const char* name);
// The same as T; a missing one ends the run.
template <class T>
T& BenchWindowChild(const char* name)
{
    T* child = qobject_cast<T*>(FindBenchWindowChild(name));
    if (child == nullptr) {
        std::fprintf(stderr, "the main window has no %s\n", name);
        std::abort();
    }
    return *child;
}

// Runs the event loop until nothing is left to do right now.
void DrainEvents();

// The memory measurement runs in a child process of its own (the same
// binary), so that the peak resident size is that of an empty program
// filled with rows and nothing else. Returns the process exit code.
int RunMemoryProbe(int rows);

}  // namespace tembrook::bench
