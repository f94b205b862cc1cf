#include "ConnectionState.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QNetworkInformation>
#include <QString>
#include <QThread>

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
    std::atomic<int> Reachability{static_cast<int>(QNetworkInformation::Reachability::Unknown)};

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
    const auto reachability =
        static_cast<QNetworkInformation::Reachability>(FLink->Reachability.load(std::memory_order_acquire));
    return reachability != QNetworkInformation::Reachability::Disconnected;
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

void TQtConnectionState::TLink::Load(const std::string& backend)
{
    if (backend.empty() && !DefaultBackendMayLoad())
        return;  // no backend could load: counts as connected, as when one fails
    const bool loaded = backend.empty()
        ? QNetworkInformation::loadDefaultBackend()
        : QNetworkInformation::loadBackendByName(QString::fromStdString(backend));
    QNetworkInformation* info = QNetworkInformation::instance();
    if (!loaded || info == nullptr || !info->supports(QNetworkInformation::Feature::Reachability))
        return;
    Reachability.store(static_cast<int>(info->reachability()), std::memory_order_release);
    std::weak_ptr<TLink> weak = weak_from_this();
    QObject::connect(info, &QNetworkInformation::reachabilityChanged, info,
                     [weak](QNetworkInformation::Reachability reachability) {
                         if (auto l = weak.lock())
                             l->Reachability.store(static_cast<int>(reachability), std::memory_order_release);
                     });
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
