#pragma once
// The worker thread base of the transfers.
//
// A TThread is created suspended; the creator fills in the subclass's fields
// and calls Resume() once. The worker runs Execute(); when Execute returns,
// the completion event (DoTerminate) is raised on the user-interface thread,
// the thread of the QCoreApplication, through its event loop, while the
// worker waits for the handler to return. Afterwards the thread layer joins
// the worker and deletes the object: once resumed, nobody else frees it.
//
// A completion can be bound to a receiver (BindReceiver): when that QObject
// has been destroyed by the time the completion is due, the handler is
// skipped, so it never runs into freed memory. StopAll() ends every running
// thread at shutdown: it sets each one's terminated flag, wakes its blocking
// waits, joins it and deletes it without running its handler. It also runs by
// itself from the QCoreApplication's destructor, so no worker outlives the
// application object.
//
// Exceptions never cross the thread or the event loop: one escaping Execute
// is kept (FatalException) and the completion is raised as usual; one escaping
// the completion handler is passed to the handler set with
// SetHandlerExceptionHandler (by default it is written to the Qt log).

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace tembrook::platform {

class TThread {
public:
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts the worker. Call once, with a QCoreApplication in existence;
    // throws std::logic_error otherwise. The object belongs to the thread
    // layer from here on.
    void Resume();

    // Sets the terminated flag and wakes the worker's blocking waits.
    // Safe from any thread.
    void Terminate();
    bool Terminated() const noexcept { return FTerminated.load(std::memory_order_acquire); }

    // Skips the completion handler when `receiver` is gone by then. Call
    // before Resume(), on the receiver's thread (the user-interface thread).
    void BindReceiver(QObject* receiver);

    // The exception that escaped Execute, if any.
    std::exception_ptr FatalException() const noexcept { return FFatalException; }

    // Ends every resumed thread that has not completed yet; see above. Call on
    // the user-interface thread. Returns when all of them are joined.
    static void StopAll();
    // Number of resumed threads not yet released.
    static std::size_t RunningCount();

    using THandlerExceptionHandler = std::function<void(std::exception_ptr)>;
    // Receives exceptions thrown by completion handlers (on the
    // user-interface thread). An empty function restores the default.
    static void SetHandlerExceptionHandler(THandlerExceptionHandler handler);

protected:
    // The thread body.
    virtual void Execute() = 0;
    // The completion event, raised on the user-interface thread after Execute
    // has returned.
    virtual void DoTerminate() {}
    // Called after the terminated flag has been set, from the thread that set
    // it; subclasses interrupt their blocking waits here. Must be thread-safe.
    virtual void WakeUp() {}

private:
    struct TControl;
    class THandOver;
    friend struct TThreadRegistry;

    void Run();
    void RequestStop();
    void Join();
    void RaiseCompletion(bool workerWaits);

    std::shared_ptr<TControl> FControl;
    std::atomic<bool> FTerminated{false};
    std::exception_ptr FFatalException;
    std::thread FThread;
};

}  // namespace tembrook::platform
