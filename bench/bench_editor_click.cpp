// A click in the score editor in the real program: the main window
// (offscreen) at 1920 x 1080 over the build's data, a dense trezvon loaded
// and opened for editing. A click on a bell's line of the small staff adds or
// removes that strike; its cost runs from the mouse press to the end of the
// release's handling: the edit, the working set and the page drawn again on
// all three staves. Measured on a ringing of 8 pages and of 3,000 pages, to
// show the cost does not grow with the ringing.
//
// Usage: bench_editor_click [program folder]
// (default: the runnable installation beside the bench folder).

#include "app/TfrmMain.h"
#include "record/ScoreEditor.h"
#include "ringing/RingingLoader.h"
#include "score/ScoreImage.h"
#include "score/ScoreLayout.h"
#include "score/ScoreView.h"
#include "support/BenchProgram.h"
#include "support/BenchTiming.h"
#include "support/ScoreBench.h"
#include "support/WindowControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void click(QWidget* picture, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, picture->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(picture, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, picture->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &release);
}

bool measure(TfrmMain& frm, int columns) {
    if (!frm.loader().loadRingingLines(TChannels::kCommonScore, denseTrezvon(columns))) {
        std::fprintf(stderr, "the ringing did not load\n");
        return false;
    }
    frm.loader().showWholeRingingPages();
    frm.editor().editLoadedRinging();
    QCoreApplication::processEvents();
    ScoreView* view = frm.scoreView();
    QWidget* picture = view ? view->image(0) : nullptr;
    if (!picture || !frm.editor().isEditing()) {
        std::fprintf(stderr, "no staff to click\n");
        return false;
    }
    // The heads of the page's first beat, clicked in turn: each click
    // removes a strike or puts it back.
    const std::vector<ScoreHead> heads = scoreHeads(0, picture->size(), view->currentPage());
    if (heads.empty()) {
        std::fprintf(stderr, "no heads on the page\n");
        return false;
    }
    std::vector<double> micros;
    QElapsedTimer clock;
    for (int i = 0; i < 400; ++i) {
        const ScoreHead& head = heads[static_cast<size_t>(i / 2) % std::min<size_t>(heads.size(), 16)];
        clock.start();
        click(picture, QPoint(head.x, head.y));
        micros.push_back(clock.nsecsElapsed() / 1000.0);
    }
    std::vector<double> repaint;
    for (int i = 0; i < 100; ++i) {
        clock.start();
        click(picture, QPoint(heads.front().x, heads.front().y));
        QCoreApplication::processEvents();
        repaint.push_back(clock.nsecsElapsed() / 1000.0);
    }
    std::printf("  %6d columns: click median %7.1f us, p99 %7.1f us, worst %7.1f us; "
                "with the repaint median %7.1f us (%zu clicks, %d undo steps)\n",
                columns, percentile(micros, 0.5), percentile(micros, 0.99),
                *std::max_element(micros.begin(), micros.end()), percentile(repaint, 0.5), micros.size(),
                frm.editor().undoStack().count());
    frm.editor().setSaveQuestion([](const QString&) { return ScoreEditor::SaveAnswer::Discard; });
    frm.editor().maySetAside();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    program.create(BenchProgram::everyBell());
    TfrmMain frm(program.folder(), {});
    frm.resize(1920, 1080);
    frm.show();
    settleWindow();
    windowControl<QCheckBox>(frm, "cbShowNotes")->setChecked(true);
    frm.cbShowNotesClick();
    const QWidget* staff = windowControl<QWidget>(frm, "pnlSmallBells");
    std::printf("a click in the score editor, the program at 1920 x 1080, small staff %d x %d\n",
                staff->width(), staff->height());
    return measure(frm, 64 * 8) && measure(frm, 64 * 3000) ? 0 : 1;
}
