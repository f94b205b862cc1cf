// The network-information module (see NetworkInformation.h): Qt's backend
// for reachability, behind one C entry point that the connection state finds
// with dlsym.
#include "NetworkInformation.h"

#include <QNetworkInformation>
#include <QObject>
#include <QString>

#include <type_traits>

namespace netinfo = tembrook::platform::netinfo;

namespace {

constexpr bool SameValue(netinfo::TReachability ours, QNetworkInformation::Reachability qts)
{
    return static_cast<int>(ours) == static_cast<int>(qts);
}
static_assert(SameValue(netinfo::TReachability::Unknown, QNetworkInformation::Reachability::Unknown));
static_assert(SameValue(netinfo::TReachability::Disconnected,
                        QNetworkInformation::Reachability::Disconnected));
static_assert(SameValue(netinfo::TReachability::Local, QNetworkInformation::Reachability::Local));
static_assert(SameValue(netinfo::TReachability::Site, QNetworkInformation::Reachability::Site));
static_assert(SameValue(netinfo::TReachability::Online, QNetworkInformation::Reachability::Online));

netinfo::TReachability FromQt(QNetworkInformation::Reachability reachability)
{
    return static_cast<netinfo::TReachability>(static_cast<int>(reachability));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool tembrook_netinfo_load(const char* backend,
                                                                             const netinfo::TReport* report)
{
    if (report == nullptr || !*report)
        return false;
    const bool loaded = backend == nullptr || *backend == '\0'
        ? QNetworkInformation::loadDefaultBackend()
        : QNetworkInformation::loadBackendByName(QString::fromUtf8(backend));
    QNetworkInformation* info = QNetworkInformation::instance();
    if (!loaded || info == nullptr || !info->supports(QNetworkInformation::Feature::Reachability))
        return false;
    (*report)(FromQt(info->reachability()));
    QObject::connect(
        info, &QNetworkInformation::reachabilityChanged, info,
        [report = *report](QNetworkInformation::Reachability reachability) { report(FromQt(reachability)); });
    return true;
}

// The entry point's type is the one the connection state expects.
static_assert(std::is_same_v<decltype(&tembrook_netinfo_load), netinfo::TLoadFunction>);
