// Progress from worker threads: many reports collapse into one update that
// shows the latest count, and nothing is delivered once detached.

#include <gtest/gtest.h>

#include <QObject>
#include <thread>
#include <vector>

#include "AppTestSupport.h"
#include "ProgressHandOver.h"

namespace tembrook::test {
namespace {

TEST(ProgressHandOver, ABurstOfReportsGivesOneUpdateWithTheLatestCount)
{
    QObject receiver;
    std::vector<std::int64_t> updates;
    const auto relay =
        std::make_shared<TProgressHandOver>(&receiver, [&](std::int64_t bytes) { updates.push_back(bytes); });
    std::thread worker([&] {
        for (std::int64_t bytes = 1; bytes <= 100000; ++bytes)
            relay->Report(bytes);
    });
    worker.join();  // the worker never waited for this thread
    EXPECT_TRUE(updates.empty()) << "updates run on the receiver's thread only";
    PumpEvents(std::chrono::milliseconds(20));
    EXPECT_EQ(updates, std::vector<std::int64_t>{100000});

    // The next report queues the next update.
    relay->Report(7);
    PumpEvents(std::chrono::milliseconds(20));
    EXPECT_EQ(updates, (std::vector<std::int64_t>{100000, 7}));
}

TEST(ProgressHandOver, ReportsFromSeveralWorkersEndOnTheLastOne)
{
    QObject receiver;
    std::vector<std::int64_t> updates;
    const auto relay =
        std::make_shared<TProgressHandOver>(&receiver, [&](std::int64_t bytes) { updates.push_back(bytes); });
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&relay, w] {
            for (int i = 0; i < 10000; ++i)
                relay->Report(w * 10000 + i);
        });
    for (std::thread& worker : workers)
        worker.join();
    relay->Report(-5);
    PumpEvents(std::chrono::milliseconds(20));
    ASSERT_FALSE(updates.empty());
    EXPECT_EQ(updates.back(), -5);
    EXPECT_LE(updates.size(), 2u);
}

TEST(ProgressHandOver, NothingIsDeliveredAfterDetachOrOnceItIsGone)
{
    QObject receiver;
    int updates = 0;
    auto relay = std::make_shared<TProgressHandOver>(&receiver, [&](std::int64_t) { ++updates; });
    relay->Report(1);
    relay->Detach();
    relay->Report(2);
    PumpEvents(std::chrono::milliseconds(20));
    EXPECT_EQ(updates, 0);

    auto gone = std::make_shared<TProgressHandOver>(&receiver, [&](std::int64_t) { ++updates; });
    gone->Report(3);
    gone.reset();  // the queued update finds nothing
    PumpEvents(std::chrono::milliseconds(20));
    EXPECT_EQ(updates, 0);
}

TEST(ProgressHandOver, AQueuedUpdateIsDroppedWithItsReceiver)
{
    int updates = 0;
    auto receiver = std::make_unique<QObject>();
    const auto relay = std::make_shared<TProgressHandOver>(receiver.get(), [&](std::int64_t) { ++updates; });
    relay->Report(1);
    relay->Detach();
    receiver.reset();
    PumpEvents(std::chrono::milliseconds(20));
    EXPECT_EQ(updates, 0);
}

}  // namespace
}  // namespace tembrook::test
