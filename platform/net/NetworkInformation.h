#pragma once
// What the connection state and the network-information module agree on.
//
// Qt's network information (QNetworkInformation) lives in Qt Network, and
// linking that library makes every program map it, and the libraries behind
// it, before main(), though most runs never load a backend: without a system
// D-Bus there is none to load. The part that asks it is therefore a module of
// its own (NetworkInformationModule.cpp, built as kModuleFileName), opened
// with dlopen only when a backend may load. The module has one C entry point,
// kLoadSymbol, of type TLoadFunction.

#include <functional>

namespace tembrook::platform::netinfo {

// The same values as QNetworkInformation::Reachability (the module checks it).
enum class TReachability : int { Unknown = 0, Disconnected = 1, Local = 2, Site = 3, Online = 4 };

// Receives the reachability once when the backend loads, then at every change.
// Called on the application's thread.
using TReport = std::function<void(TReachability)>;

// Loads the backend named `backend` (empty: Qt's default) on the calling
// thread, which must be the application's. When it loads and reports
// reachability, calls `report` with the current value, keeps a copy of it for
// the changes and returns true; otherwise returns false and never calls it.
using TLoadFunction = bool (*)(const char* backend, const TReport* report);

inline constexpr const char* kModuleFileName = "libtembrook_netinfo.so";
inline constexpr const char* kLoadSymbol = "tembrook_netinfo_load";

}  // namespace tembrook::platform::netinfo
