#pragma once
// Deterministic inputs for the benchmarks, in CP932 with CR LF line ends, laid
// out the way the publisher's pages are:
//
// - a table page: a page head, a header row above the first row marker, then
//   one release per row, five cells a row, one cell a line (release date,
//   publisher, title, author, price), rows separated by blank lines (now and
//   then two, or a line of blanks), some titles and authors spread over two
//   lines, titles with full-width spaces, letters, digits and the completed
//   marker, a few without a volume or a price, then "</table>" and the foot;
// - a top page: news lines with links (and the heading's first words without
//   its ending) as filler, then the heading, the two table-page links and the
//   foot;
// - one large table cell mixing tags, character references, full-width
//   letters and digits, kana and kanji.
//
// The same arguments give the same bytes on every machine and every run.
// Every row of a table page parses into a record (no row is dropped, unless
// asked for), so a page of N rows must give N records; the benchmarks check
// that.

#include <cstddef>
#include <string>
#include <vector>

namespace tembrook::bench {

// A table page of `rows` releases. firstRow numbers the rows (it chooses
// titles, authors and dates), so pages with different firstRow values hold
// different releases. With badEvery > 0, every badEvery-th row lacks its
// price cell, so the import drops it.
std::string MakeTablePage(int rows, int firstRow = 0, int badEvery = 0);

// A top page of about fillerBytes bytes of news lines, then the heading line
// and one line per link (at most two are used by the import), then the foot.
std::string MakeTopPage(std::size_t fillerBytes, const std::vector<std::string>& links);

// One table cell of about `bytes` bytes: "<td ...>" + text + "</td>".
std::string MakeLargeCell(std::size_t bytes);

}  // namespace tembrook::bench
