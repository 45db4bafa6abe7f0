// The score view in the real program: the main window (offscreen) at
// 1920 x 1080 over the build's data, a dense trezvon (every column strikes
// bells of all three groups) loaded whole. Prints the cost of
//   - laying out the three staves of one page (no painting),
//   - one page redraw (RedrawScore: clear, grid, notation on all three staves),
//   - one cursor move (fast-forward / rewind while stopped, bars placed),
//   - each playback tick with the score on, at 50 ms a column (the timer's
//     event to the end of the window's handler; a tick that turns the page
//     redraws it).
//
// Usage: bench_score [program folder] [seconds of playback]
// (default: the runnable installation beside the bench folder, 20 s).

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "ringing/RingingLoader.h"
#include "score/ScoreLayout.h"
#include "score/ScoreView.h"
#include "support/BenchProgram.h"
#include "support/BenchTiming.h"
#include "support/ScoreBench.h"
#include "support/WindowControl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void report(const char* what, const std::vector<double>& micros) {
    std::printf("  %-40s median %8.1f us, p99 %8.1f us, worst %8.1f us (%zu runs)\n", what,
                percentile(micros, 0.5), percentile(micros, 0.99),
                micros.empty() ? 0.0 : *std::max_element(micros.begin(), micros.end()), micros.size());
}

// Five bells in each group; every column strikes two small bells, every
// other column a middle bell, every beat a big bell and half the beats a
// second one: the densest notation a page can carry, beams and all.
template <typename F> std::vector<double> timeRuns(int runs, F&& f) {
    std::vector<double> micros;
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        clock.start();
        f(i);
        micros.push_back(clock.nsecsElapsed() / 1000.0);
    }
    return micros;
}

} // namespace

int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int seconds = BenchProgram::argument(argc, argv, 2, 5, 20);
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    // A program folder of our own, so that the installation's settings stay untouched.
    program.create(BenchProgram::everyBell());

    TfrmMain frm(program.folder(), {});
    frm.resize(1920, 1080);
    frm.show();
    settleWindow();
    windowControl<QCheckBox>(frm, "cbShowNotes")->setChecked(true);
    frm.cbShowNotesClick();
    if (!frm.loader().loadRingingLines(TChannels::kCommonScore, denseTrezvon(64 * 8))) {
        std::fprintf(stderr, "the ringing did not load\n");
        return 1;
    }
    frm.loader().showWholeRingingPages();
    QCoreApplication::processEvents();
    ScoreView* view = frm.scoreView();
    if (!view) {
        std::fprintf(stderr, "no score view\n");
        return 1;
    }
    const ScorePage page = view->currentPage();
    const QFrame* smallStaff = windowControl<QFrame>(frm, "pnlSmallBells");
    const QFrame* middleStaff = windowControl<QFrame>(frm, "pnlMiddleBells");
    const QFrame* bigStaff = windowControl<QFrame>(frm, "pnlBigBells");
    std::printf("the program at 1920 x 1080, dense trezvon, staves %d x %d, %d x %d, %d x %d\n",
                smallStaff->width(), smallStaff->height(), middleStaff->width(), middleStaff->height(),
                bigStaff->width(), bigStaff->height());
    std::size_t primitives = 0;
    const std::vector<double> layout = timeRuns(300, [&](int) {
        primitives = 0;
        for (int g = 0; g < 3; ++g) {
            primitives += layoutScoreGroup(g, smallStaff->contentsRect().size(), page).size();
        }
    });
    std::printf("  one page: %zu primitives on the three staves\n", primitives);
    report("layout of one page (three staves)", layout);
    report("page redraw (RedrawScore)", timeRuns(300, [&](int) { frm.RedrawScore(); }));
    report("cursor move (fast-forward / rewind)", timeRuns(2000, [&](int i) {
               if (i % 2 == 0) {
                   frm.btnFFClick();
               } else {
                   frm.btnRewClick();
               }
           }));
    frm.btnStopClick();
    QCoreApplication::processEvents();

    TickStart tickStart;
    tickStart.clock.start();
    QTimer* mmTimer = windowControl<QTimer>(frm, "mmTimer");
    mmTimer->installEventFilter(&tickStart);
    std::vector<double> ticks;
    QObject::connect(mmTimer, &QTimer::timeout, &app, [&] {
        if (tickStart.started >= 0) {
            ticks.push_back((tickStart.clock.nsecsElapsed() - tickStart.started) / 1000.0);
            tickStart.started = -1;
        }
    });
    windowControl<QSlider>(frm, "tbTemp")->setValue(50);
    frm.btnPlayClick();
    QTimer::singleShot(seconds * 1000, &app, [&] { app.quit(); });
    app.exec();
    frm.btnStopClick();
    std::printf("  playback %d s at 50 ms a column, score on:\n", seconds);
    report("tick (page redraws included)", ticks);
    return 0;
}
