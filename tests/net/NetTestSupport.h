#pragma once
// Helpers shared by the transfer tests: an event-loop wait, a connection
// state the tests control, and a recorder that runs one transfer and keeps
// everything it reported.

#include "ConnectionState.h"
#include "HTTPTransferThreadUnit.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tembrook::test {

// How long a test waits for an event before it gives up: a guard against a
// hang, never reached by a passing run, however loaded the machine.
inline constexpr std::chrono::seconds kGuard{300};
// A shortened stall limit: far above the few milliseconds a loopback reply
// head takes, well below the real limit of a minute.
inline constexpr long kStallSeconds = 3;
// How long stopping hanging transfers may take: far above what cancelling
// needs, far below the limits that would end them otherwise.
inline constexpr std::chrono::seconds kPromptly{20};

// Runs the Qt event loop of this (the user-interface) thread until `done`
// holds or `timeout` passes. Returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = kGuard)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs the event loop for `period` regardless.
inline void PumpEvents(std::chrono::milliseconds period)
{
    WaitUntil([] { return false; }, period);
}

class FakeConnectionState : public platform::TConnectionState {
public:
    std::atomic<bool> OfflineByUser{false};
    std::atomic<bool> Connected{true};
    std::atomic<bool> AttemptSucceeds{true};
    std::atomic<int> Checks{0};

    bool IsOfflineByUser() override
    {
        ++Checks;
        return OfflineByUser.load();
    }
    bool IsConnected() override
    {
        ++Checks;
        return Connected.load();
    }
    bool AttemptConnect() override
    {
        ++Checks;
        return AttemptSucceeds.load();
    }
};

struct ProgressReport {
    std::int32_t Kind;
    std::int32_t Stage;
    std::int32_t Value;
    bool operator==(const ProgressReport&) const = default;
};

// Everything one transfer reported. Written by its worker (progress) and by
// the user-interface thread (completion); read by the test after completion.
struct TransferRecord {
    std::mutex Lock;
    std::vector<ProgressReport> Reports;
    int ReportsAfterCompletion = 0;
    bool Completed = false;
    bool Terminated = false;
    bool OnMainThread = false;
    std::string Text;
    std::string Error;
    std::exception_ptr Fatal;

    std::vector<std::int32_t> Stages()
    {
        std::lock_guard lock(Lock);
        std::vector<std::int32_t> stages;
        for (const ProgressReport& report : Reports)
            stages.push_back(report.Stage);
        return stages;
    }
    std::vector<std::int32_t> ValuesOfStage(std::int32_t stage)
    {
        std::lock_guard lock(Lock);
        std::vector<std::int32_t> values;
        for (const ProgressReport& report : Reports)
            if (report.Stage == stage)
                values.push_back(report.Value);
        return values;
    }
    bool IsCompleted()
    {
        std::lock_guard lock(Lock);
        return Completed;
    }
};

// Creates a transfer wired to `record`; `configure` may adjust it before the
// caller resumes it.
inline THTTPDataTransfer* MakeTransfer(const std::string& url, const std::shared_ptr<TransferRecord>& record)
{
    auto* transfer = new THTTPDataTransfer();
    transfer->URL = url;
    transfer->OnProgress = [record](THTTPDataTransfer*, std::int32_t kind, std::int32_t stage,
                                    std::int32_t value) {
        std::lock_guard lock(record->Lock);
        if (record->Completed)
            ++record->ReportsAfterCompletion;
        record->Reports.push_back({kind, stage, value});
    };
    transfer->OnTerminate = [record](THTTPDataTransfer* sender) {
        std::lock_guard lock(record->Lock);
        record->Completed = true;
        record->Terminated = sender->Terminated();
        record->OnMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        record->Text = sender->ReceivedText();
        record->Error = sender->ErrorMessage();
        record->Fatal = sender->FatalException();
    };
    return transfer;
}

// Runs one transfer to its completion (or gives up after `timeout`).
inline std::shared_ptr<TransferRecord> Fetch(const std::string& url,
                                             const std::function<void(THTTPDataTransfer&)>& configure = {},
                                             std::chrono::milliseconds timeout = kGuard)
{
    auto record = std::make_shared<TransferRecord>();
    THTTPDataTransfer* transfer = MakeTransfer(url, record);
    if (configure)
        configure(*transfer);
    transfer->Resume();
    WaitUntil([&] { return record->IsCompleted(); }, timeout);
    return record;
}

}  // namespace tembrook::test
