#include "BookDataInportOptionUnit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "Errors.h"
#include "LineScan.h"
#include "LinkResolution.h"
#include "RoadTexts.h"
#include "SjisString.h"
#include "TextHelpers.h"

namespace tembrook {

namespace {

// The heading above the table-page links, its length known at compile time.
constexpr std::string_view kTopPageHeading = roadtext::kTopPageHeading;

const TAsciiNeedle& CellEnd()
{
    static const TAsciiNeedle needle("</td>");
    return needle;
}
const TAsciiNeedle& LinkStart()
{
    static const TAsciiNeedle needle("<a href=");
    return needle;
}

// The four table markers a line holds. Every marker starts with "<" and is
// ASCII, so an occurrence that starts on a character boundary lies on
// single-byte characters only and can be compared byte by byte. A "<" is on
// a boundary unless the run of lead-value bytes right before it is odd; the
// runs before successive "<" bytes do not overlap, so counting them costs at
// most one look at every byte, and the "<" bytes are found with memchr.
// Lines hold no NUL (the text was cut there).
std::uint8_t TableMarks(std::string_view line) noexcept
{
    std::uint8_t marks = 0;
    for (std::size_t pos = line.find('<'); pos != std::string_view::npos; pos = line.find('<', pos + 1)) {
        std::size_t run = 0;
        while (run < pos && IsLeadByteValue(static_cast<unsigned char>(line[pos - run - 1])))
            ++run;
        if (run % 2 == 1)
            continue;  // the trail byte of a double-byte character
        if (StartsWithIgnoreAsciiCase(line.substr(pos), "<td"))
            marks |= TTableLine::tmCellStart;
        if (StartsWithIgnoreAsciiCase(line.substr(pos), "</td>"))
            marks |= TTableLine::tmCellEnd;
        if (StartsWithIgnoreAsciiCase(line.substr(pos), "</table>"))
            marks |= TTableLine::tmTableEnd;
        if (StartsWithIgnoreAsciiCase(line.substr(pos), "<tr><td width=50 bgcolor=#efefef"))
            marks |= TTableLine::tmRowMarker;
    }
    return marks;
}

}  // namespace

TBookDataInportOption::TBookDataInportOption() = default;

TBookDataInportOption::~TBookDataInportOption()
{
    // The list's own destructor frees only the list; the records are ours.
    try {
        BookSaleList.DeleteAll();
    } catch (...) {
    }
}

std::string TBookDataInportOption::ClassName() const
{
    return "TBookDataInportOption";
}

bool TBookDataInportOption::ParseTopPage(std::string_view text)
{
    TablePageURLs.clear();
    std::vector<std::string_view> lines;
    TLineScan(text).ForEach([&lines](std::string_view line) { lines.push_back(line); });
    const std::size_t count = lines.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (AnsiPos(kTopPageHeading, lines[i]) == 0)
            continue;
        // The links must stand on the line after the heading; a heading on the
        // last line has none.
        if (i + 1 >= count)
            break;
        if (!LinkStart().FoundIn(lines[i + 1]))
            continue;
        AddTablePageURL(TablePageURLs, lines[i + 1]);
        if (i + 2 < count)
            AddTablePageURL(TablePageURLs, lines[i + 2]);
        return true;
    }
    return false;
}

void TBookDataInportOption::AddTablePageURL(std::vector<std::string>& list, std::string_view line)
{
    const std::string link = ExtractHrefValue(line);
    if (!link.empty())
        list.push_back(ResolveLink(SourceURL, link));
}

bool TBookDataInportOption::ParseTablePage(std::string_view text, bool clearList)
{
    if (clearList) {
        BookSaleList.DeleteAll();
        FDroppedRows.clear();
    }
    FRowNumber = 0;

    TTableLines lines;
    {
        // Pages end their lines with LF or CR LF, so the LF count is the line
        // count (a CR-only page just lets the list grow).
        const TLineScan scan(text);
        const std::string_view body = scan.Text();
        lines.reserve(static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n')) + 2);
        std::int32_t pageLine = 0;
        // Each line is kept trimmed: the normalisation trims every line it
        // keeps, and trimming first spares copying the indentation. Trimming
        // removes bytes 0x20 and below, which no marker holds and which start
        // no double-byte character, so the marks found in the whole line hold.
        scan.ForEach([&lines, &pageLine](std::string_view line) {
            lines.push_back(TTableLine{std::string(TrimView(line)), ++pageLine, TableMarks(line)});
        });
    }

    if (!NormalizeTableLines(lines))
        return false;

    // One more empty line closes the last run like the others.
    lines.push_back(TTableLine{std::string(), 0, 0});
    std::int64_t run = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].Text.empty()) {
            ++run;
        } else {
            AddRecordFromLines(lines, static_cast<std::int64_t>(i), run);
            run = 0;
        }
    }
    return true;
}

bool TBookDataInportOption::NormalizeTableLines(TTableLines& lines)
{
    DropLinesBeforeFirstRow(lines);
    DropLinesFromTableEnd(lines);

    // One pass: lines are trimmed and cells spread over several lines are
    // joined into the first of them, compacting the list as it goes (a joined
    // line takes the lines after it with it).
    std::size_t write = 0;
    const std::size_t count = lines.size();
    for (std::size_t read = 0; read < count; ++read) {
        // The line is worked on where it stands and moved only once an earlier
        // join has opened a gap in front of it.
        TTableLine& line = lines[read];
        TrimInPlace(line.Text);
        if (!line.Text.empty()) {
            // Trimming removes bytes 0x20 and below, which no marker holds and
            // which start no double-byte character, so the marks still hold.
            if ((line.Marks & TTableLine::tmCellStart) == 0)
                return false;
            if ((line.Marks & TTableLine::tmCellEnd) == 0) {
                // The cell goes on: "</td>" is looked for in the joined line, which
                // grows piece by piece, so the scan state runs on across the pieces
                // instead of rescanning the whole line after every join.
                TAsciiNeedle::TState cellEnd;
                CellEnd().Feed(cellEnd, line.Text);
                while (!cellEnd.Found) {
                    if (read + 1 >= count)
                        return false;
                    ++read;
                    const std::string_view next = TrimView(lines[read].Text);
                    CellEnd().Feed(cellEnd, next);
                    line.Text.append(next);
                }
                line.Marks |= TTableLine::tmCellEnd;
            }
        }
        if (&line != &lines[write])
            lines[write] = std::move(line);
        ++write;
    }
    lines.resize(write);
    return true;
}

void TBookDataInportOption::DropLinesBeforeFirstRow(TTableLines& lines)
{
    const auto first = std::find_if(lines.begin(), lines.end(), [](const TTableLine& line) {
        return (line.Marks & TTableLine::tmRowMarker) != 0;
    });
    lines.erase(lines.begin(), first);  // one erase: linear in the number of lines
}

void TBookDataInportOption::DropLinesFromTableEnd(TTableLines& lines)
{
    const auto end = std::find_if(lines.begin(), lines.end(), [](const TTableLine& line) {
        return (line.Marks & TTableLine::tmTableEnd) != 0;
    });
    lines.erase(end, lines.end());
}

void TBookDataInportOption::AddRecordFromLines(TTableLines& lines, std::int64_t endIndex,
                                               std::int64_t runLength)
{
    if (runLength <= 0 || endIndex - runLength < 0)
        return;
    ++FRowNumber;
    const auto first = static_cast<std::size_t>(endIndex - runLength);
    const auto last = static_cast<std::size_t>(endIndex);

    auto record = std::make_unique<THtmlBookSaleData>();
    record->Cells().clear();
    record->Cells().reserve(last - first);
    // The working lines are already trimmed and are discarded after the parse,
    // so the cells take them over.
    for (std::size_t i = first; i < last; ++i)
        record->Cells().push_back(std::move(lines[i].Text));
    try {
        record->ParseCells();
    } catch (const ETembrookError& error) {
        // A bad row costs only itself: its record goes, the page goes on. The
        // record joins the list only once it has parsed, because taking it out
        // again (Delete) looks through the whole list for other entries holding
        // it, which made a page of many bad rows take quadratic time.
        FDroppedRows.push_back(TDroppedRow{FRowNumber, lines[first].PageLine, error.what()});
        return;
    }
    BookSaleList.Add(record.get());
    record.release();  // the list owns it now
}

}  // namespace tembrook
