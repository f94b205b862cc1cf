#include "ConnectionState.h"

#include "DynamicLibrary.h"
#include "NetworkInformation.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace tembrook::platform {

// What the worker threads read; written on the user-interface thread by the
// backend's change signal. Shared so that a late signal or a queued load
// finds it even after the state object is gone.
struct TQtConnectionState::TLink : std::enable_shared_from_this<TLink> {
    std::atomic<bool> HasBackend{false};
    std::atomic<netinfo::TReachability> Reachability{netinfo::TReachability::Unknown};

    // On the user-interface thread.
    void Load(const std::string& backend);
};

TQtConnectionState::TQtConnectionState(const std::string& backend) : FLink(std::make_shared<TLink>())
{
    auto* app = QCoreApplication::instance();
    if (app == nullptr)
        return;  // no event loop to report changes: count as connected
    if (QThread::currentThread() == app->thread()) {
        FLink->Load(backend);
    } else {
        // QNetworkInformation belongs to the user-interface thread; load it
        // there without waiting for it (that thread may be waiting for us).
        std::weak_ptr<TLink> weak = FLink;
        QMetaObject::invokeMethod(
            app,
            [weak, backend]() {
                if (auto link = weak.lock())
                    link->Load(backend);
            },
            Qt::QueuedConnection);
    }
}

TQtConnectionState::~TQtConnectionState() = default;

bool TQtConnectionState::HasBackend() const noexcept
{
    return FLink->HasBackend.load(std::memory_order_acquire);
}

bool TQtConnectionState::IsConnected()
{
    if (!HasBackend())
        return true;
    // Unknown and a local network only count as connected: the pages may be
    // on the local network, and an unsure backend must not block a download.
    return FLink->Reachability.load(std::memory_order_acquire) != netinfo::TReachability::Disconnected;
}

namespace {

// Qt 6.4 picks NetworkManager's backend by default on Linux; it answers only
// over the system D-Bus.
bool DefaultBackendMayLoad()
{
#if defined(Q_OS_LINUX) && QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    return SystemBusMayExist(std::getenv("DBUS_SYSTEM_BUS_ADDRESS"),
                             {"/var/run/dbus/system_bus_socket", "/run/dbus/system_bus_socket"});
#else
    return true;
#endif
}

}  // namespace

bool SystemBusMayExist(const char* addressVariable, std::initializer_list<const char*> socketPaths)
{
    if (addressVariable != nullptr && *addressVariable != '\0')
        return true;
    for (const char* path : socketPaths) {
        struct stat info {};
        if (::stat(path, &info) == 0)
            return true;
    }
    return false;
}

namespace {

// The program-relative folder the build and the install lay the module in
// (set by the build).
constexpr const char* kModuleRelativeDirectory = TEMBROOK_NETINFO_RELDIR;

struct TModule {
    netinfo::TLoadFunction Load = nullptr;
    std::string Error;
};

TModule OpenModule()
{
    TModule module;
    auto* app = QCoreApplication::instance();
    const std::string programDirectory =
        app != nullptr ? app->applicationDirPath().toStdString() : std::string();
    for (const std::string& candidate :
         NetworkInformationModuleCandidates(programDirectory, kModuleRelativeDirectory)) {
        void* library = OpenLibrary(candidate, module.Error);
        if (library == nullptr)
            continue;
        void* symbol = FindSymbol(library, netinfo::kLoadSymbol, candidate, module.Error);
        if (symbol == nullptr) {
            dlclose(library);
            continue;
        }
        module.Load = reinterpret_cast<netinfo::TLoadFunction>(symbol);
        module.Error.clear();
        break;  // stays loaded for the life of the process
    }
    return module;
}

// The process's one module, opened on first use.
const TModule& Module()
{
    static const TModule module = OpenModule();
    return module;
}

}  // namespace

std::vector<std::string> NetworkInformationModuleCandidates(const std::string& programDirectory,
                                                            const std::string& relativeDirectory)
{
    std::vector<std::string> candidates;
    if (!programDirectory.empty()) {
        std::string path = programDirectory;
        if (!relativeDirectory.empty())
            path += "/" + relativeDirectory;
        candidates.push_back(path + "/" + netinfo::kModuleFileName);
    }
    candidates.emplace_back(netinfo::kModuleFileName);
    return candidates;
}

bool NetworkInformationModuleLoads(std::string& error)
{
    const TModule& module = Module();
    error = module.Error;
    return module.Load != nullptr;
}

void TQtConnectionState::TLink::Load(const std::string& backend)
{
    if (backend.empty() && !DefaultBackendMayLoad())
        return;  // no backend could load: counts as connected, as when one fails
    const netinfo::TLoadFunction load = Module().Load;
    if (load == nullptr)
        return;  // no module, no backend: counts as connected
    std::weak_ptr<TLink> weak = weak_from_this();
    const netinfo::TReport report = [weak](netinfo::TReachability reachability) {
        if (auto link = weak.lock())
            link->Reachability.store(reachability, std::memory_order_release);
    };
    if (load(backend.c_str(), &report))
        HasBackend.store(true, std::memory_order_release);
}

namespace {

std::mutex gStateLock;
std::shared_ptr<TConnectionState> gState;

}  // namespace

std::shared_ptr<TConnectionState> CurrentConnectionState()
{
    std::lock_guard lock(gStateLock);
    if (!gState)
        gState = std::make_shared<TQtConnectionState>();
    return gState;
}

std::shared_ptr<TConnectionState> SetConnectionState(std::shared_ptr<TConnectionState> state)
{
    std::lock_guard lock(gStateLock);
    std::shared_ptr<TConnectionState> previous = std::move(gState);
    gState = std::move(state);
    return previous;
}

}  // namespace tembrook::platform
