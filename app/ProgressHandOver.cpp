#include "ProgressHandOver.h"

#include <QMetaObject>
#include <utility>

namespace tembrook {

namespace {

// Held while a worker queues an update and, briefly, by the update before it
// reads what the worker captured. Qt's event queue already orders the two,
// but through futex-based locks that ThreadSanitizer cannot follow; this makes
// the order explicit to it and costs one uncontended lock per update.
std::mutex gQueueLock;

}  // namespace

TProgressHandOver::TProgressHandOver(QObject* receiver, std::function<void(std::int64_t)> update)
    : FReceiver(receiver), FUpdate(std::move(update))
{
}

void TProgressHandOver::Report(std::int64_t receivedBytes)
{
    FLatest.store(receivedBytes, std::memory_order_release);
    if (FQueued.exchange(true, std::memory_order_acq_rel))
        return;  // the queued update will read this count
    std::lock_guard<std::mutex> guard(FLock);
    if (FReceiver == nullptr)
        return;
    // Posting to the receiver is safe here: Detach, which runs before the
    // receiver is destroyed, waits for this lock. Once the receiver is gone
    // Qt discards the queued call.
    const std::lock_guard<std::mutex> queueing(gQueueLock);
    QMetaObject::invokeMethod(
        FReceiver,
        [weak = weak_from_this()] {
            {
                const std::lock_guard<std::mutex> ordered(gQueueLock);
            }
            if (const auto self = weak.lock())
                self->Deliver();
        },
        Qt::QueuedConnection);
}

void TProgressHandOver::Deliver()
{
    {
        std::lock_guard<std::mutex> guard(FLock);
        if (FReceiver == nullptr)
            return;
    }
    // Clear the mark before reading, so a report that comes in meanwhile
    // queues the next update.
    FQueued.store(false, std::memory_order_release);
    FUpdate(FLatest.load(std::memory_order_acquire));
}

void TProgressHandOver::Detach()
{
    std::lock_guard<std::mutex> guard(FLock);
    FReceiver = nullptr;
}

}  // namespace tembrook
