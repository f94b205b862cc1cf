#pragma once
// The C library's allocator, prepared for a short-lived process that builds
// its whole working set at once (the command-line exporter: two pages of
// several megabytes and a record for every row, then exit).
//
// Left as it is, the allocator grows the heap a little at a time and hands
// every large buffer its own fresh mapping, so each 4 KiB page of the working
// set costs a page fault on first touch (BENCHMARKS.md has the figures).

#include <cstddef>

namespace tembrook::platform {

// Makes the heap grow by `reserve` bytes at once (and keep them), serves
// blocks up to 32 MiB from it rather than from mappings of their own, keeps
// every thread on that one heap, and asks the kernel to back the reserve with
// transparent huge pages where it offers them (one fault per 2 MiB). Call it
// first thing in main(), before any thread exists. Returns false where the
// allocator is not the GNU C library's own (another system, or a sanitizer's
// allocator): nothing is changed then. Behaviour is never affected, only the
// cost of first touches.
bool PrepareHeapForBulkWork(std::size_t reserve);

}  // namespace tembrook::platform
