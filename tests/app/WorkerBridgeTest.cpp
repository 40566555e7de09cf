// The blocking hand-over from a worker thread to the window thread, and how
// a window breaks it off.
#include "gui/common/WorkerBridge.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A worker that makes one call and records what came back.
struct OneCall
{
    std::atomic<bool> entering{false};
    std::atomic<bool> returned{false};
    std::atomic<bool> result{true};
    std::atomic<bool> ran{false};
    std::thread thread;

    void start(CWorkerBridge& bridge)
    {
        thread = std::thread([this, &bridge] {
            entering = true;
            result = bridge.call([this] { ran = true; });
            returned = true;
        });
        // The worker is now in call() (or about to be): either way it has
        // to come back with false once the bridge is closed.
        while (!entering)
            std::this_thread::yield();
        std::this_thread::sleep_for(30ms);
    }

    // Waits for the worker without serving the window thread's events.
    bool returnsWithin(std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!returned && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        if (returned)
            thread.join();
        return returned;
    }
};

TEST(WorkerBridge, ManyCallsRunInOrderOnTheWindowThread)
{
    QObject window;
    CWorkerBridge bridge(&window);
    std::vector<int> seen;
    bool allOnWindowThread = true;
    std::atomic<bool> allTrue{true};
    QEventLoop loop;
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) {
            // The worker sees the effect of each call as soon as it returns.
            const bool ok = bridge.call([&, i] {
                allOnWindowThread = allOnWindowThread && QThread::currentThread() == window.thread();
                seen.push_back(i);
            });
            allTrue = allTrue && ok && seen.size() == static_cast<std::size_t>(i + 1);
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer::singleShot(20000, &loop, [&loop] { loop.exit(1); });
    EXPECT_EQ(loop.exec(), 0) << "the calls did not get through in time";
    worker.join();
    EXPECT_TRUE(allTrue);
    EXPECT_TRUE(allOnWindowThread);
    ASSERT_EQ(seen.size(), 2000u);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);

    // A call from the window thread itself runs at once.
    bool direct = false;
    EXPECT_TRUE(bridge.call([&] { direct = true; }));
    EXPECT_TRUE(direct);
}

TEST(WorkerBridge, CancelReleasesTheWaitingWorker)
{
    QObject window;
    CWorkerBridge bridge(&window);
    OneCall worker;
    worker.start(bridge);
    // The window thread is busy and serves no events: only the close can
    // let the worker go.
    EXPECT_FALSE(worker.returned);
    bridge.close();
    ASSERT_TRUE(worker.returnsWithin(500ms));
    EXPECT_FALSE(worker.result);
    // The call that was queued never runs, and later calls do not wait.
    QCoreApplication::processEvents();
    EXPECT_FALSE(worker.ran);
    std::atomic<bool> later{true};
    std::thread([&] { later = bridge.call([] {}); }).join();
    EXPECT_FALSE(later);
    EXPECT_FALSE(bridge.call([] { ADD_FAILURE() << "ran after the close"; }));
}

TEST(WorkerBridge, DestroyedWindowReleasesTheWaitingWorker)
{
    auto window = std::make_unique<QObject>();
    CWorkerBridge bridge(window.get());
    OneCall worker;
    worker.start(bridge);
    window.reset();
    ASSERT_TRUE(worker.returnsWithin(500ms));
    EXPECT_FALSE(worker.result);
    QCoreApplication::processEvents();
    EXPECT_FALSE(worker.ran);
    EXPECT_TRUE(bridge.isClosed());
}

TEST(WorkerBridge, CancelFromWithinACall)
{
    // The window cancels while it handles a call (a cancel button pressed
    // from a nested event loop, or the call itself ending the run): the
    // worker must not stay blocked on a call that cannot return yet.
    QObject window;
    CWorkerBridge bridge(&window);
    std::atomic<bool> workerBack{false};
    std::atomic<bool> result{false};
    bool workerBackBeforeCallEnded = false;
    std::thread worker([&] {
        result = bridge.call([&] {
            bridge.close();
            workerBackBeforeCallEnded = QTest::qWaitFor([&] { return workerBack.load(); }, 2000);
        });
        workerBack = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return workerBack.load(); }, 5000));
    worker.join();
    EXPECT_TRUE(result); // it did run
    EXPECT_TRUE(workerBackBeforeCallEnded);
}

TEST(WorkerBridge, WaitingUntilFreeKeepsServingTheWorker)
{
    QObject window;
    CWorkerBridge bridge(&window);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        // Still has calls to make after the window began to wait.
        for (int i = 0; i < 3; ++i)
            bridge.call([] {});
        done = true;
    });
    int polls = 0;
    CWorkerBridge::waitUntilFree([&](int timeoutMs) {
        ++polls;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        return done.load();
    });
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_GE(polls, 2);
}

} // namespace
