#pragma once
// Helpers for the main-window tests: records built field by field, a release
// list that frees its records, an event-loop wait, a recorder for the
// message boxes the window would show, and the window's parts found by their
// object names (WindowParts.h).

#include <QApplication>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "BookDataListUnit.h"
#include "BookDataUnit.h"
#include "DateUtils.h"
#include "MessageBoxes.h"
#include "WindowParts.h"

namespace tembrook::test {

struct RecordFields {
    std::string Title = {};
    std::int32_t Volume = -1;
    std::string Author = {};
    std::int64_t Price = -1;  // whole units
    std::string Publisher = {};
    TSaleDateKind Kind = TSaleDateKind::dkExactDay;
    int Month = 3;
    int Day = 14;
};

// A record with exactly these fields (the title stored as given).
inline THtmlBookSaleData* MakeRecord(const RecordFields& fields)
{
    auto* record = new THtmlBookSaleData();
    record->SetDateKind(fields.Kind);
    record->SetSaleDate(EncodeDate(2026, fields.Month, fields.Day));
    // SetTitle parses volumes out of full-width spaces; the rows use none,
    // so the title is stored as it stands.
    record->SetTitle(fields.Title);
    record->SetVolume(fields.Volume);
    record->SetAuthor(fields.Author);
    record->SetPrice(TCurrency::FromUnits(fields.Price));
    record->SetPublisher(fields.Publisher);
    return record;
}

// A TBookSaleList that releases its records when it goes.
class OwnedBookSaleList {
public:
    OwnedBookSaleList() = default;
    explicit OwnedBookSaleList(const std::vector<RecordFields>& rows)
    {
        for (const RecordFields& fields : rows)
            List.Add(MakeRecord(fields));
    }
    ~OwnedBookSaleList() { List.DeleteAll(); }
    OwnedBookSaleList(const OwnedBookSaleList&) = delete;
    OwnedBookSaleList& operator=(const OwnedBookSaleList&) = delete;

    TBookSaleList List;
};

// How long a test waits for an event before it gives up: a guard against a
// hang, never reached by a passing run, however loaded the machine.
inline constexpr std::chrono::seconds kGuard{300};

// Runs the event loop until done() holds or the timeout passes; returns done().
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = kGuard)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline void PumpEvents(std::chrono::milliseconds period)
{
    WaitUntil([] { return false; }, period);
}

// Records every message box instead of showing it.
class MessageRecorder {
public:
    MessageRecorder() : FHook([this](const TShownMessage& message) { Messages.push_back(message); }) {}
    std::vector<TShownMessage> Messages;

private:
    TScopedMessageHook FHook;
};

}  // namespace tembrook::test
