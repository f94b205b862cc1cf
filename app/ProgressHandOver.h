#pragma once
// TProgressHandOver carries download progress from the transfers' worker
// threads to the user-interface thread without ever making a worker wait.
//
// A worker's Report only stores the latest byte count and, when no update is
// queued yet, queues one on the receiver's thread; the update then reads
// whatever count is latest by then. A burst of reports therefore costs one
// update, and the display still ends on the last report. Updates queued
// before a completion event run before it (the event queue keeps its
// order), so a completion that clears the display is not overwritten by an
// older report.
//
// The owner calls Detach before the receiver goes away; reports after that
// queue nothing. Create it with std::make_shared: a queued update
// holds it only weakly and does nothing once it is gone.

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace tembrook {

class TProgressHandOver : public std::enable_shared_from_this<TProgressHandOver> {
public:
    // update runs on receiver's thread with the latest byte count.
    TProgressHandOver(QObject* receiver, std::function<void(std::int64_t)> update);
    TProgressHandOver(const TProgressHandOver&) = delete;
    TProgressHandOver& operator=(const TProgressHandOver&) = delete;

    // Any thread; returns at once.
    void Report(std::int64_t receivedBytes);
    // Receiver's thread. No update is queued or run afterwards.
    void Detach();

private:
    void Deliver();

    std::atomic<std::int64_t> FLatest{0};
    std::atomic<bool> FQueued{false};
    std::mutex FLock;    // guards FReceiver against Detach
    QObject* FReceiver;  // null once detached
    std::function<void(std::int64_t)> FUpdate;
};

}  // namespace tembrook
