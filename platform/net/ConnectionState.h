#pragma once
// Whether the machine is online, as the transfers' connection check asks it.
//
// The process has one current TConnectionState. By default it is
// TQtConnectionState, which follows QNetworkInformation's reachability where
// a backend loads (NetworkManager on a Linux desktop) and counts as connected
// where none does. Qt's network information is asked through a module opened
// at run time (NetworkInformation.h), so that the programs do not link Qt
// Network. Tests install their own state with SetConnectionState or
// TScopedConnectionState.

#include "ScopedOverride.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace tembrook::platform {

class TConnectionState {
public:
    virtual ~TConnectionState() = default;
    // The user switched the system to offline mode. Called on worker threads.
    virtual bool IsOfflineByUser() = 0;
    // A network connection exists. Called on worker threads.
    virtual bool IsConnected() = 0;
    // Dials or otherwise brings up a connection; true when one is available.
    virtual bool AttemptConnect() = 0;
};

// QNetworkInformation-backed state. Create it on the user-interface thread
// (or anywhere: the backend is then loaded there through the event loop,
// and until it has loaded the state counts as connected).
class TQtConnectionState : public TConnectionState {
public:
    // An empty backend name loads Qt's default backend.
    explicit TQtConnectionState(const std::string& backend = {});
    ~TQtConnectionState() override;

    bool IsOfflineByUser() override { return false; }  // no such mode on this platform
    bool IsConnected() override;
    bool AttemptConnect() override { return true; }  // nothing to dial
    // A backend was loaded and reports reachability.
    bool HasBackend() const noexcept;

private:
    struct TLink;
    std::shared_ptr<TLink> FLink;
};

// Whether a system D-Bus may be reachable: the address variable's value
// (DBUS_SYSTEM_BUS_ADDRESS) is set, or a socket file stands at one of the
// standard paths. Without one, Qt's default backend on Linux (NetworkManager,
// asked over the system bus) cannot load, and TQtConnectionState does not try:
// finding that out through Qt loads every network-information plugin and the
// D-Bus and GLib libraries behind them, for the same answer (no backend).
bool SystemBusMayExist(const char* addressVariable, std::initializer_list<const char*> socketPaths);

// Where the network-information module is looked for, in order: in
// `relativeDirectory` under the program's folder (where the build and the
// install both lay it, bin/ and lib/<arch>/tembrook/ side by side), then by
// its bare name on the dynamic loader's search path. An empty folder (the
// program's own could not be found) leaves only the bare name.
std::vector<std::string> NetworkInformationModuleCandidates(const std::string& programDirectory,
                                                            const std::string& relativeDirectory);
// Opens the module (once per process; later calls give the first answer) and
// says whether it and its entry point were found; error says why not.
bool NetworkInformationModuleLoads(std::string& error);

// The current state (created on first use). Thread-safe.
std::shared_ptr<TConnectionState> CurrentConnectionState();
// Installs `state` (null restores the default) and returns the previous one.
std::shared_ptr<TConnectionState> SetConnectionState(std::shared_ptr<TConnectionState> state);

// Installs a state for the lifetime of the object (tests).
using TScopedConnectionState = TScopedOverride<std::shared_ptr<TConnectionState>, &SetConnectionState>;

}  // namespace tembrook::platform
