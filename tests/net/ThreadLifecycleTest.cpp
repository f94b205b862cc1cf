// The thread base and the life of transfers: completions on the
// user-interface thread one at a time, release after the handler, receivers
// that go away, stopping everything at shutdown, exceptions kept off the
// event loop.
#include "NetTestSupport.h"
#include "TestHttpServer.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QProcess>

#include <stdexcept>

namespace tembrook::test {
namespace {

using namespace std::chrono_literals;
using platform::TThread;

class ThreadLifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("no_proxy", "127.0.0.1,localhost", 1); }
    void TearDown() override
    {
        FServer.ReleaseStalls();
        EXPECT_TRUE(WaitUntil([] { return TThread::RunningCount() == 0; }));
        TThread::SetHandlerExceptionHandler({});
    }

    std::shared_ptr<FakeConnectionState> FState = std::make_shared<FakeConnectionState>();
    platform::TScopedConnectionState FScoped{FState};
    TestHttpServer FServer;
};

// A bare thread whose body and completion the test observes.
class ProbeThread : public TThread {
public:
    std::function<void()> Body;
    std::function<void()> Completion;
    std::atomic<bool>* Destroyed = nullptr;
    ~ProbeThread() override
    {
        if (Destroyed != nullptr)
            *Destroyed = true;
    }

protected:
    void Execute() override
    {
        if (Body)
            Body();
    }
    void DoTerminate() override
    {
        if (Completion)
            Completion();
    }
};

TEST_F(ThreadLifecycleTest, CompletionRunsOnTheMainThreadAfterTheBodyAndReleasesTheObject)
{
    std::atomic<bool> bodyDone{false};
    std::atomic<bool> destroyed{false};
    bool completionSawBody = false;
    bool completionOnMain = false;
    std::thread::id bodyThread;
    auto* thread = new ProbeThread;
    thread->Destroyed = &destroyed;
    thread->Body = [&] {
        bodyThread = std::this_thread::get_id();
        std::this_thread::sleep_for(20ms);
        bodyDone = true;
    };
    thread->Completion = [&] {
        completionSawBody = bodyDone.load();
        completionOnMain = QThread::currentThread() == QCoreApplication::instance()->thread();
        EXPECT_FALSE(destroyed.load());
    };
    EXPECT_EQ(TThread::RunningCount(), 0u);
    thread->Resume();
    EXPECT_EQ(TThread::RunningCount(), 1u);

    ASSERT_TRUE(WaitUntil([&] { return destroyed.load(); }));
    EXPECT_TRUE(completionSawBody);
    EXPECT_TRUE(completionOnMain);
    EXPECT_NE(bodyThread, std::this_thread::get_id());
    EXPECT_EQ(TThread::RunningCount(), 0u);
}

TEST_F(ThreadLifecycleTest, ResumingTwiceIsRefused)
{
    std::atomic<bool> destroyed{false};
    auto* thread = new ProbeThread;
    thread->Destroyed = &destroyed;
    std::atomic<bool> release{false};
    thread->Body = [&] {
        while (!release)
            std::this_thread::sleep_for(1ms);
    };
    thread->Resume();
    EXPECT_THROW(thread->Resume(), std::logic_error);
    release = true;
    EXPECT_TRUE(WaitUntil([&] { return destroyed.load(); }));
}

TEST_F(ThreadLifecycleTest, UnresumedThreadIsFreedByItsCreator)
{
    std::atomic<bool> destroyed{false};
    auto* thread = new ProbeThread;
    thread->Destroyed = &destroyed;
    EXPECT_FALSE(thread->Terminated());
    delete thread;
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(TThread::RunningCount(), 0u);
}

TEST_F(ThreadLifecycleTest, BodyThatThrowsEndsTerminatedAndStillCompletes)
{
    bool completed = false, terminated = false;
    std::string message;
    auto* thread = new ProbeThread;
    thread->Body = [] { throw std::runtime_error("body failed"); };
    thread->Completion = [&] {
        completed = true;
        terminated = thread->Terminated();
        try {
            std::rethrow_exception(thread->FatalException());
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
    };
    thread->Resume();
    ASSERT_TRUE(WaitUntil([&] { return completed; }));
    EXPECT_TRUE(terminated);
    EXPECT_EQ(message, "body failed");
}

TEST_F(ThreadLifecycleTest, HandlerExceptionGoesToTheHookAndTheObjectIsStillReleased)
{
    std::vector<std::string> caught;
    TThread::SetHandlerExceptionHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            caught.push_back(e.what());
        }
    });
    std::atomic<bool> destroyed{false};
    auto* thread = new ProbeThread;
    thread->Destroyed = &destroyed;
    thread->Completion = [] { throw std::runtime_error("List index out of bounds (3)"); };
    thread->Resume();
    ASSERT_TRUE(WaitUntil([&] { return destroyed.load(); }));
    EXPECT_EQ(caught, std::vector<std::string>{"List index out of bounds (3)"});
}

TEST_F(ThreadLifecycleTest, ProgressHandlerThatThrowsFailsTheTransferAfterClosingIt)
{
    FServer.ServeBody("/p.html", std::string(5000, 'p'));
    auto record = std::make_shared<TransferRecord>();
    THTTPDataTransfer* transfer = MakeTransfer(FServer.Url("/p.html"), record);
    auto recordProgress = transfer->OnProgress;
    transfer->OnProgress = [recordProgress](THTTPDataTransfer* sender, std::int32_t kind, std::int32_t stage,
                                            std::int32_t value) {
        recordProgress(sender, kind, stage, value);
        if (stage == 3)
            throw std::runtime_error("progress failed");
    };
    transfer->Resume();
    ASSERT_TRUE(WaitUntil([&] { return record->IsCompleted(); }));
    EXPECT_TRUE(record->Terminated);
    EXPECT_TRUE(record->Text.empty());
    EXPECT_TRUE(record->Fatal != nullptr);
    EXPECT_EQ(record->Stages(), (std::vector<std::int32_t>{1, 2, 3}));
}

// --- many at once ----------------------------------------------------------

TEST_F(ThreadLifecycleTest, FiftyTransfersAtOnceEachGetTheirOwnBodyAndCompleteOneAtATime)
{
    constexpr int Count = 50;
    std::vector<std::string> bodies;
    for (int i = 0; i < Count; ++i) {
        std::string body = "<html>page " + std::to_string(i) + "</html>";
        body += std::string(static_cast<std::size_t>(i) * 997, static_cast<char>('a' + i % 26));
        bodies.push_back(body);
        FServer.ServeInPieces("/p" + std::to_string(i), body, 700, 1ms);
    }
    std::vector<std::shared_ptr<TransferRecord>> records;
    std::atomic<int> inHandler{0};
    std::atomic<int> overlaps{0};
    for (int i = 0; i < Count; ++i) {
        auto record = std::make_shared<TransferRecord>();
        THTTPDataTransfer* transfer = MakeTransfer(FServer.Url("/p" + std::to_string(i)), record);
        auto recordCompletion = transfer->OnTerminate;
        transfer->OnTerminate = [&, recordCompletion](THTTPDataTransfer* sender) {
            if (inHandler.fetch_add(1) != 0)
                ++overlaps;
            std::this_thread::sleep_for(2ms);  // widen the window for an overlap
            recordCompletion(sender);
            inHandler.fetch_sub(1);
        };
        records.push_back(record);
        transfer->Resume();
    }
    ASSERT_TRUE(WaitUntil([&] {
        return std::all_of(records.begin(), records.end(), [](const auto& r) { return r->IsCompleted(); });
    }));
    EXPECT_EQ(overlaps.load(), 0);
    for (int i = 0; i < Count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(records[i]->Terminated);
        EXPECT_TRUE(records[i]->OnMainThread);
        EXPECT_TRUE(records[i]->Text == bodies[i]);
        EXPECT_EQ(records[i]->ReportsAfterCompletion, 0);
    }
}

// --- receivers and shutdown ------------------------------------------------

TEST_F(ThreadLifecycleTest, CompletionIsSkippedWhenItsReceiverIsGone)
{
    FServer.ServeBody("/r.html", "receiver");
    auto kept = std::make_shared<TransferRecord>();
    auto dropped = std::make_shared<TransferRecord>();
    auto* receiver = new QObject;
    QObject alive;
    THTTPDataTransfer* first = MakeTransfer(FServer.Url("/r.html"), dropped);
    first->BindReceiver(receiver);
    THTTPDataTransfer* second = MakeTransfer(FServer.Url("/r.html"), kept);
    second->BindReceiver(&alive);
    first->Resume();
    second->Resume();
    delete receiver;  // before any event is processed

    ASSERT_TRUE(WaitUntil([&] { return kept->IsCompleted() && TThread::RunningCount() == 0; }));
    EXPECT_FALSE(dropped->IsCompleted());
    EXPECT_EQ(kept->Text, "receiver");
    const std::vector<std::int32_t> stages = dropped->Stages();
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(stages.back(), 4);  // the download itself ran
}

TEST_F(ThreadLifecycleTest, StopAllEndsStalledTransfersPromptlyWithoutTheirHandlers)
{
    FServer.ServeStall("/stall.html", "<html>", 100000);
    RawSocketServer silent("", RawSocketServer::Ending::Hold);
    UnresponsiveListener unresponsive;
    std::vector<std::shared_ptr<TransferRecord>> records;
    for (int i = 0; i < 6; ++i) {
        auto record = std::make_shared<TransferRecord>();
        const std::string url = i < 4 ? FServer.Url("/stall.html")
            : i == 4                  ? silent.Url("/")
                                      : unresponsive.Url("/");
        MakeTransfer(url, record)->Resume();
        records.push_back(record);
    }
    ASSERT_TRUE(WaitUntil([&] { return FServer.StalledCount() == 4 && silent.Connections() == 1; }));
    EXPECT_EQ(TThread::RunningCount(), 6u);

    const auto started = std::chrono::steady_clock::now();
    StopAllTransfers();
    const auto took = std::chrono::steady_clock::now() - started;

    EXPECT_LT(took, kPromptly);
    EXPECT_EQ(TThread::RunningCount(), 0u);
    PumpEvents(50ms);
    for (const auto& record : records)
        EXPECT_FALSE(record->IsCompleted());
}

TEST_F(ThreadLifecycleTest, StopAllReleasesTransfersWhoseCompletionIsQueued)
{
    FServer.ServeBody("/q.html", "queued");
    std::vector<std::shared_ptr<TransferRecord>> records;
    for (int i = 0; i < 5; ++i) {
        auto record = std::make_shared<TransferRecord>();
        MakeTransfer(FServer.Url("/q.html"), record)->Resume();
        records.push_back(record);
    }
    // Let the workers finish without running the event loop: their
    // completions wait in the queue.
    const auto deadline = std::chrono::steady_clock::now() + kGuard;
    while (std::chrono::steady_clock::now() < deadline &&
           !std::all_of(records.begin(), records.end(), [](const auto& r) {
               const auto stages = r->Stages();
               return !stages.empty() && stages.back() == 4;
           }))
        std::this_thread::sleep_for(5ms);
    StopAllTransfers();
    EXPECT_EQ(TThread::RunningCount(), 0u);
    PumpEvents(50ms);  // the queued hand-overs find nothing to deliver
    for (const auto& record : records)
        EXPECT_FALSE(record->IsCompleted());
}

TEST_F(ThreadLifecycleTest, StopAllFromInsideACompletionHandler)
{
    FServer.ServeBody("/first.html", "first");
    FServer.ServeStall("/stall.html", "", 1000);
    auto stalled = std::make_shared<TransferRecord>();
    MakeTransfer(FServer.Url("/stall.html"), stalled)->Resume();
    ASSERT_TRUE(WaitUntil([&] { return FServer.StalledCount() == 1; }));

    auto first = std::make_shared<TransferRecord>();
    THTTPDataTransfer* transfer = MakeTransfer(FServer.Url("/first.html"), first);
    auto recordCompletion = transfer->OnTerminate;
    std::size_t runningInside = 99;
    transfer->OnTerminate = [&, recordCompletion](THTTPDataTransfer* sender) {
        StopAllTransfers();  // the window closing from a handler
        runningInside = TThread::RunningCount();
        recordCompletion(sender);  // the sender is still alive here
    };
    transfer->Resume();
    ASSERT_TRUE(WaitUntil([&] { return first->IsCompleted(); }));
    EXPECT_EQ(runningInside, 1u);  // only the one whose handler runs
    EXPECT_EQ(first->Text, "first");
    EXPECT_TRUE(WaitUntil([] { return TThread::RunningCount() == 0; }));
    EXPECT_FALSE(stalled->IsCompleted());
}

TEST_F(ThreadLifecycleTest, TerminateFromOutsideEndsTheTransferAsAFailure)
{
    FServer.ServeStall("/stall.html", "<html>partial", 100000);
    auto record = std::make_shared<TransferRecord>();
    THTTPDataTransfer* transfer = MakeTransfer(FServer.Url("/stall.html"), record);
    transfer->Resume();
    // The object stays alive until its completion has been processed here.
    ASSERT_TRUE(WaitUntil([&] { return FServer.StalledCount() == 1; }));
    const auto started = std::chrono::steady_clock::now();
    transfer->Terminate();
    ASSERT_TRUE(WaitUntil([&] { return record->IsCompleted(); }));
    EXPECT_LT(std::chrono::steady_clock::now() - started, kPromptly);
    EXPECT_TRUE(record->Terminated);
    EXPECT_TRUE(record->Text.empty());
    // Stopped while its first read waited for a full piece: a failed read,
    // and neither the closing report nor the end.
    EXPECT_EQ(record->Stages(), (std::vector<std::int32_t>{1, 2, -1}));
}

// The program quits promptly with transfers hanging, whether
// main() stops them or leaves that to the application object's destruction,
// and no completion handler runs on the way out.
TEST(ProgramExitTest, QuitsPromptlyWithTransfersHanging)
{
    for (const char* mode : {"explicit", "implicit"}) {
        SCOPED_TRACE(mode);
        QProcess probe;
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(QString::fromUtf8(TEMBROOK_NET_EXIT_PROBE), {QString::fromUtf8(mode)});
        ASSERT_TRUE(probe.waitForStarted(60000));
        QByteArray output;
        while (!output.contains("started") && probe.state() != QProcess::NotRunning &&
               probe.waitForReadyRead(120000))
            output += probe.readAllStandardOutput();
        ASSERT_TRUE(output.contains("started 5")) << output.toStdString();
        const auto quitting = std::chrono::steady_clock::now();
        ASSERT_TRUE(probe.waitForFinished(120000));
        const auto took = std::chrono::steady_clock::now() - quitting;
        output += probe.readAllStandardOutput();

        EXPECT_LT(took, kPromptly);
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_TRUE(output.contains("left 0")) << output.toStdString();
        EXPECT_FALSE(output.contains("handler")) << output.toStdString();
    }
}

}  // namespace
}  // namespace tembrook::test
