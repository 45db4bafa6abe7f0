#include "playback/ReleaseStreams.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

namespace {

void ensureApplication() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_playback";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
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
