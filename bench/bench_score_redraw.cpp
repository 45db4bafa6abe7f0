// The cost of redrawing one page of the score in the real program: the main
// window (offscreen) at 1920 x 1080 over the build's data, a dense trezvon
// loaded whole, with "Крупные ноты" off and on. Prints the median in ms of
//   - RedrawScore (clear, grid, notation and texts on all three staves),
//   - the same followed by the staves painted on the window,
// which is what a click that changes the page's strikes costs.
//
// Usage: bench_score_redraw [program folder] [runs]
// (default: the runnable installation beside the bench folder, 200 runs).

#include "app/TfrmMain.h"
#include "ringing/RingingLoader.h"
#include "score/ScoreView.h"
#include "support/BenchProgram.h"
#include "support/BenchTiming.h"
#include "support/ScoreBench.h"
#include "support/WindowControl.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>

#include <array>
#include <cstdio>
#include <vector>

namespace {

// Every column strikes two small bells, every other column a middle bell,
// every beat a big one: beams, flags and rests on every staff.
struct RedrawFigures {
    double redrawMs = 0;
    double shownMs = 0;
};

// The median of `runs` page redraws, alone and with the staves painted.
RedrawFigures pageRedrawMedianMs(TfrmMain& frm, int runs) {
    const std::array<QWidget*, 3> staves = {windowControl<QFrame>(frm, "pnlSmallBells"),
                                            windowControl<QFrame>(frm, "pnlMiddleBells"),
                                            windowControl<QFrame>(frm, "pnlBigBells")};
    std::vector<double> redraw;
    std::vector<double> shown;
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        clock.start();
        frm.RedrawScore();
        redraw.push_back(clock.nsecsElapsed() / 1e6);
        for (QWidget* staff : staves) {
            staff->repaint();
        }
        shown.push_back(clock.nsecsElapsed() / 1e6);
    }
    return {percentile(redraw, 0.5), percentile(shown, 0.5)};
}

} // namespace

int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int runs = BenchProgram::argument(argc, argv, 2, 10, 200);
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    program.create(BenchProgram::everyBell());

    TfrmMain frm(program.folder(), {});
    frm.resize(1920, 1080);
    frm.show();
    settleWindow();
    if (!frm.loader().loadRingingLines(TChannels::kCommonScore, denseTrezvon(64 * 4))) {
        std::fprintf(stderr, "the ringing did not load\n");
        return 1;
    }
    frm.loader().showWholeRingingPages();
    QCoreApplication::processEvents();
    QAction* largeNotes = windowControl<QAction>(frm, "nLargeNotes");
    if (!largeNotes || !frm.scoreView()) {
        std::fprintf(stderr, "no score view or no \"Крупные ноты\"\n");
        return 1;
    }
    std::printf("one page of the score at 1920 x 1080, dense trezvon, %d runs\n", runs);
    for (bool readable : {false, true}) {
        largeNotes->setChecked(readable);
        QCoreApplication::processEvents();
        const RedrawFigures f = pageRedrawMedianMs(frm, runs);
        std::printf("  %-22s page redraw median %6.2f ms, redraw and staves painted median %6.2f ms\n",
                    readable ? "\"Крупные ноты\" on:" : "\"Крупные ноты\" off:", f.redrawMs, f.shownMs);
    }
    largeNotes->setChecked(false);
    return 0;
}
