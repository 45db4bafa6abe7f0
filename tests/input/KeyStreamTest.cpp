#include "input/TKeyStream.h"
#include "support/TestProgram.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

void processUntil(const std::function<bool()>& done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace

// Each strike runs once, on the main thread, and finished streams are released.
TEST(KeyStrikes, StrikesRunOnTheMainThreadAndAreReleased) {
    ensureQtApplication();
    KeyStrikes strikes(nullptr);
    int runs = 0;
    bool onMainThread = true;
    for (int i = 0; i < 5; ++i) {
        strikes.start([&] {
            ++runs;
            onMainThread = onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        });
    }
    EXPECT_NE(strikes.latest(), nullptr);
    processUntil([&] { return runs == 5 && strikes.liveCount() == 0; });
    EXPECT_EQ(runs, 5);
    EXPECT_TRUE(onMainThread);
    EXPECT_EQ(strikes.liveCount(), 0);
    EXPECT_EQ(strikes.latest(), nullptr);
}

// Destroying the owner while strikes wait for the main thread neither hangs nor runs them.
TEST(KeyStrikes, DestroyingWithPendingStrikes) {
    ensureQtApplication();
    int runs = 0;
    {
        auto strikes = std::make_unique<KeyStrikes>(nullptr);
        for (int i = 0; i < 3; ++i) {
            strikes->start([&] { ++runs; });
        }
        // Let the threads reach their hand-over without running the main loop.
        QThread::msleep(50);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0);
}
