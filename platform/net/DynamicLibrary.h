#pragma once
// Libraries opened at run time (dlopen) instead of linked, so that the
// dynamic loader does not map them before main(): libcurl (CurlLibrary.h)
// and the network-information module (NetworkInformation.h).

#include <string>

namespace tembrook::platform {

// Opens the library `path` (a file path, or a name the loader searches for),
// resolving its symbols now and keeping them to itself. Null when it cannot,
// with `error` saying why.
void* OpenLibrary(const std::string& path, std::string& error);

// The address of the symbol `name` in `library`. Null when it has none, with
// `error` saying "<libraryName> has no <name>".
void* FindSymbol(void* library, const char* name, const std::string& libraryName, std::string& error);

}  // namespace tembrook::platform
