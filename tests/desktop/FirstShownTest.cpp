// Work deferred to the window's first painting runs once, after it, and
// still runs (later) for a window that is never painted.

#include "desktop/FirstShown.h"
#include "support/TestProgram.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

} // namespace

TEST(FirstShown, RunsOnceAfterTheFirstPaintingOrAfterTheFallback) {
    ensureQtApplication();
    QWidget window;
    window.resize(200, 100);
    int runs = 0;
    bool paintedFirst = false;
    whenFirstShown(
        window,
        [&] {
            ++runs;
            paintedFirst = window.isVisible();
        },
        60000);
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0); // not before the window is shown
    window.show();
    ASSERT_TRUE(waitFor([&] { return runs > 0; }, 10000));
    EXPECT_TRUE(paintedFirst);
    window.update();
    waitFor([] { return false; }, 100);
    EXPECT_EQ(runs, 1);

    // Never shown: the fallback runs it, once.
    QWidget hidden;
    int hiddenRuns = 0;
    whenFirstShown(
        hidden, [&] { ++hiddenRuns; }, 50);
    EXPECT_TRUE(waitFor([&] { return hiddenRuns > 0; }, 5000));
    waitFor([] { return false; }, 100);
    EXPECT_EQ(hiddenRuns, 1);
}
