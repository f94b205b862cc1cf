#include "Thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tembrook::platform {

namespace {

// Held by a worker while it queues its hand-over and by the hand-over before
// it reads what the worker captured. Qt's queue already orders the two, but
// through futex-based locks that race detectors cannot follow; this makes the
// order explicit to them and costs one uncontended lock per transfer.
std::mutex gHandOverLock;

}  // namespace

// The life of one resumed thread, shared by the object, its worker and the
// hand-over event queued on the user-interface thread. The event may outlive
// the object (StopAll releases objects whose event is still queued), so it
// reaches the object only through Owner and only while State allows it.
struct TThread::TControl {
    enum class EState {
        Created,   // not resumed
        Running,   // worker in Execute
        Posted,    // hand-over queued, worker waiting
        Handling,  // completion handler running on the user-interface thread
        Handled,   // handler returned, worker may leave
        Released,  // object deleted or about to be
    };

    std::mutex Lock;
    std::condition_variable Changed;
    EState State = EState::Created;
    bool StopRequested = false;
    TThread* Owner = nullptr;
    QObject* Application = nullptr;  // where the hand-over is queued

    // Receiver binding; touched on the user-interface thread only.
    bool HasReceiver = false;
    QPointer<QObject> Receiver;

    std::mutex JoinLock;
};

// Every resumed thread that has not been released yet.
struct TThreadRegistry {
    std::mutex Lock;
    std::vector<TThread*> Threads;
    QCoreApplication* HookedApplication = nullptr;
    TThread::THandlerExceptionHandler ExceptionHandler;

    static TThreadRegistry& Get()
    {
        // Never destroyed: workers may still consult it while static
        // destructors run at exit.
        static auto* registry = new TThreadRegistry;
        return *registry;
    }

    void Add(TThread* thread)
    {
        std::lock_guard lock(Lock);
        Threads.push_back(thread);
        auto* app = QCoreApplication::instance();
        if (app != HookedApplication) {
            // Post routines run first thing in ~QCoreApplication, while the
            // application object can still take queued events. Qt forgets
            // them once run, so a later application object hooks again.
            qAddPostRoutine(&StopAllAtExit);
            HookedApplication = app;
        }
    }

    static void StopAllAtExit()
    {
        {
            auto& registry = Get();
            std::lock_guard lock(registry.Lock);
            registry.HookedApplication = nullptr;
        }
        TThread::StopAll();
    }

    void Remove(TThread* thread)
    {
        std::lock_guard lock(Lock);
        Threads.erase(std::remove(Threads.begin(), Threads.end(), thread), Threads.end());
    }

    std::vector<TThread*> Snapshot()
    {
        std::lock_guard lock(Lock);
        return Threads;
    }

    void ReportHandlerException(std::exception_ptr error)
    {
        TThread::THandlerExceptionHandler handler;
        {
            std::lock_guard lock(Lock);
            handler = ExceptionHandler;
        }
        if (handler) {
            try {
                handler(error);
                return;
            } catch (...) {
                // fall through to the log
            }
        }
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            qWarning("Unhandled exception in a thread completion handler: %s", e.what());
        } catch (...) {
            qWarning("Unhandled exception in a thread completion handler");
        }
    }
};

// Carries the hand-over to the user-interface thread. If the queued event is
// discarded without running (the application object went away first), the
// waiting worker is let go instead of waiting forever.
class TThread::THandOver {
public:
    explicit THandOver(std::shared_ptr<TControl> control) : FControl(std::move(control)) {}
    THandOver(const THandOver&) = delete;
    THandOver& operator=(const THandOver&) = delete;
    ~THandOver()
    {
        if (FDelivered)
            return;
        {
            std::lock_guard lock(FControl->Lock);
            if (FControl->State == TControl::EState::Posted)
                FControl->StopRequested = true;  // StopAll releases the object
        }
        FControl->Changed.notify_all();
    }

    std::shared_ptr<TControl> Take()
    {
        FDelivered = true;
        return FControl;
    }

private:
    std::shared_ptr<TControl> FControl;
    bool FDelivered = false;
};

TThread::TThread() : FControl(std::make_shared<TControl>())
{
    FControl->Owner = this;
}

TThread::~TThread()
{
    // Only reached with a live worker if someone deleted a resumed thread
    // behind the thread layer's back; do not leave it running on freed memory.
    if (FThread.joinable()) {
        RequestStop();
        Join();
    }
    TThreadRegistry::Get().Remove(this);
}

void TThread::Resume()
{
    auto* app = QCoreApplication::instance();
    if (app == nullptr)
        throw std::logic_error("TThread::Resume needs a QCoreApplication");
    {
        std::lock_guard lock(FControl->Lock);
        if (FControl->State != TControl::EState::Created)
            throw std::logic_error("TThread::Resume called twice");
        FControl->State = TControl::EState::Running;
        FControl->Application = app;
    }
    TThreadRegistry::Get().Add(this);
    try {
        std::lock_guard lock(FControl->JoinLock);
        FThread = std::thread(&TThread::Run, this);
    } catch (const std::system_error&) {
        // No thread to be had: the work has failed, but the completion is
        // still raised so that its handler sees the failure.
        FFatalException = std::current_exception();
        FTerminated.store(true, std::memory_order_release);
        RaiseCompletion(false);
    }
}

void TThread::Terminate()
{
    FTerminated.store(true, std::memory_order_release);
    WakeUp();
}

void TThread::BindReceiver(QObject* receiver)
{
    FControl->HasReceiver = true;
    FControl->Receiver = receiver;
}

void TThread::Run()
{
    try {
        Execute();
    } catch (...) {
        // A body that threw has not done its work: end as a failure.
        FFatalException = std::current_exception();
        FTerminated.store(true, std::memory_order_release);
    }
    RaiseCompletion(true);
}

void TThread::RaiseCompletion(bool workerWaits)
{
    std::shared_ptr<TControl> control = FControl;
    {
        std::lock_guard lock(control->Lock);
        if (control->StopRequested)
            return;  // being stopped: StopAll joins and releases the object
        control->State = TControl::EState::Posted;
    }
    std::unique_lock queueing(gHandOverLock);
    auto handOver = std::make_shared<THandOver>(control);
    QMetaObject::invokeMethod(
        control->Application,
        [handOver]() {
            {
                std::lock_guard ordered(gHandOverLock);
            }
            std::shared_ptr<TControl> control = handOver->Take();
            TThread* self = nullptr;
            {
                std::lock_guard lock(control->Lock);
                if (control->State != TControl::EState::Posted)
                    return;  // released by StopAll meanwhile
                control->State = TControl::EState::Handling;
                self = control->Owner;
            }
            const bool deliver = !control->HasReceiver || !control->Receiver.isNull();
            if (deliver) {
                try {
                    self->DoTerminate();
                } catch (...) {
                    TThreadRegistry::Get().ReportHandlerException(std::current_exception());
                }
            }
            {
                std::lock_guard lock(control->Lock);
                control->State = TControl::EState::Handled;
            }
            control->Changed.notify_all();
            self->Join();
            TThreadRegistry::Get().Remove(self);
            {
                std::lock_guard lock(control->Lock);
                control->State = TControl::EState::Released;
            }
            delete self;
        },
        Qt::QueuedConnection);
    queueing.unlock();

    // Without a worker (Resume could not start one) there is nobody to wait.
    if (!workerWaits)
        return;
    std::unique_lock lock(control->Lock);
    control->Changed.wait(lock, [&] {
        return control->State == TControl::EState::Handled || control->State == TControl::EState::Released ||
            control->StopRequested;
    });
}

void TThread::RequestStop()
{
    FTerminated.store(true, std::memory_order_release);
    {
        std::lock_guard lock(FControl->Lock);
        FControl->StopRequested = true;
    }
    FControl->Changed.notify_all();
    WakeUp();
}

void TThread::Join()
{
    std::lock_guard lock(FControl->JoinLock);
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id())
        FThread.join();
}

void TThread::StopAll()
{
    auto& registry = TThreadRegistry::Get();
    // A stopped thread cannot start another, but a completion handler still
    // running further up this stack may have; go round until nothing is left
    // but threads whose handler is running (they release themselves).
    for (int round = 0; round < 16; ++round) {
        std::vector<TThread*> threads = registry.Snapshot();
        std::vector<TThread*> releasable;
        for (TThread* thread : threads) {
            std::lock_guard lock(thread->FControl->Lock);
            if (thread->FControl->State != TControl::EState::Handling)
                releasable.push_back(thread);
        }
        if (releasable.empty())
            break;
        for (TThread* thread : threads)
            thread->RequestStop();
        for (TThread* thread : threads)
            thread->Join();
        for (TThread* thread : releasable) {
            {
                std::lock_guard lock(thread->FControl->Lock);
                thread->FControl->State = TControl::EState::Released;
            }
            registry.Remove(thread);
            delete thread;
        }
    }
}

std::size_t TThread::RunningCount()
{
    return TThreadRegistry::Get().Snapshot().size();
}

void TThread::SetHandlerExceptionHandler(THandlerExceptionHandler handler)
{
    auto& registry = TThreadRegistry::Get();
    std::lock_guard lock(registry.Lock);
    registry.ExceptionHandler = std::move(handler);
}

}  // namespace tembrook::platform
