#include "playback/ReleaseStreams.h"
#include "support/TestProgram.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

namespace {

// The shared widget application, so that window tests in this executable
// find a QApplication whichever test runs first.
void ensureApplication() {
    ensureQtApplication();
}

TEST(ReleaseStreams, SweepRunsOnTheMainThread) {
    ensureApplication();
    int sweeps = 0;
    bool onMainThread = false;
    ReleaseStreams streams([&] {
        ++sweeps;
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    streams.start();
    QDeadlineTimer deadline(20000);
    while (sweeps == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(sweeps, 1);
    EXPECT_TRUE(onMainThread);
}

TEST(ReleaseStreams, FinishDoesNotHangOnAWaitingWorker) {
    ensureApplication();
    int sweeps = 0;
    ReleaseStreams streams([&] { ++sweeps; });
    streams.start();
    streams.start();
    // The workers are blocked on their hand-over: the window is going away
    // and must neither deadlock nor run the sweep any more.
    streams.finish();
    EXPECT_EQ(streams.running(), 0);
    EXPECT_EQ(sweeps, 0);
    streams.start(); // nothing starts once finished
    EXPECT_EQ(streams.running(), 0);
}

} // namespace
