// The bell animation in the real program: the main window (offscreen) over
// the build's data, the audio engine on its null driver, a ringing that
// strikes all three groups in every column played at 50 ms a column with
// the score and the animation on. Prints
//  - the tick cost (the timer's event to the end of the window's handler)
//    with the animation on and, for comparison, off;
//  - the animation's own share of a tick, timed around its operations:
//    the strikes handed to the strike worker and the reset, plus the
//    repaint of the group pictures they changed.
//
// Usage: bench_animation [program folder] [seconds per phase]
// (default: the runnable installation beside the bench folder, 20 s).

#include "animation/AnimationWorkers.h"
#include "animation/BellAnimation.h"
#include "animation/BellAnimationPicture.h"
#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingLoader.h"
#include "support/BenchProgram.h"
#include "support/BenchTiming.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

void print(const char* what, const std::vector<double>& micros) {
    std::printf("  %-44s n %6zu  median %7.1f us  p99 %7.1f us  worst %7.1f us\n", what, micros.size(),
                percentile(micros, 0.5), percentile(micros, 0.99), worst(micros));
}

// A ringing of 256 columns, every column striking one bell of each group.
QStringList everyGroupEveryColumn() {
    QStringList lines{QStringLiteral("50")};
    for (int c = 0; c < 256; ++c) {
        lines << QStringLiteral("s%1,m%2,b%3").arg(c % 5 + 1).arg((c + 2) % 5 + 1).arg((c + 4) % 5 + 1);
    }
    return lines;
}

// A control of the window by its object name (the window's controls are private).
template <typename T> T* control(const TfrmMain& frm, const char* name) {
    return frm.findChild<T*>(QString::fromLatin1(name));
}

std::vector<double> playTicks(QApplication& app, TfrmMain& frm, int seconds) {
    TickStart tickStart;
    tickStart.clock.start();
    QTimer* mmTimer = control<QTimer>(frm, "mmTimer");
    mmTimer->installEventFilter(&tickStart);
    std::vector<double> micros;
    const QMetaObject::Connection connection = QObject::connect(mmTimer, &QTimer::timeout, &app, [&] {
        if (tickStart.started >= 0) {
            micros.push_back((tickStart.clock.nsecsElapsed() - tickStart.started) / 1000.0);
            tickStart.started = -1;
        }
    });
    frm.btnPlayClick();
    QTimer::singleShot(seconds * 1000, &app, [&] { app.quit(); });
    app.exec();
    frm.btnStopClick();
    QObject::disconnect(connection);
    mmTimer->removeEventFilter(&tickStart);
    QCoreApplication::processEvents();
    return micros;
}

} // namespace

int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int seconds = BenchProgram::argument(argc, argv, 2, 3, 20);
    if (!program.holds(QStringLiteral("Animate/s_0.bmp"), "animation pictures")) {
        return 1;
    }
    program.create(BenchProgram::everyBell() + QStringList{QStringLiteral("[Settings]"),
                                                           QStringLiteral("Notes=1"),
                                                           QStringLiteral("Animate=1")});

    TfrmMain frm(program.folder(), {});
    frm.resize(1200, 800);
    frm.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000) { // samples decode, the workers hand over
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    const QStringList ringing = everyGroupEveryColumn();
    if (!frm.loader().loadRingingLines(3, ringing) || !frm.bellAnimation() || !frm.animationWorkers()) {
        std::fprintf(stderr, "the ringing or the animation is missing\n");
        return 1;
    }
    frm.transport().setSequencerInterval(50);

    // The animation's own work per column, the way a tick does it.
    BellAnimation& animation = *frm.bellAnimation();
    AnimationWorkers& workers = *frm.animationWorkers();
    std::vector<double> strikeMicros;
    std::vector<double> paintMicros;
    QElapsedTimer clock;
    clock.start();
    for (int column = 0; column < 20000; ++column) {
        const QString& line = ringing.at(1 + column % 256);
        const qint64 t0 = clock.nsecsElapsed();
        for (const QString& token : line.split(u',')) {
            workers.showStrikeFrame(frm.BellForToken(token.at(0), token.at(1).digitValue()));
        }
        if (column % 4 == 3) {
            workers.resetBellImages();
        }
        const qint64 t1 = clock.nsecsElapsed();
        for (int group = 0; group < 3; ++group) {
            animation.place(BellAnimation::View::Usual, group)->repaint();
        }
        const qint64 t2 = clock.nsecsElapsed();
        strikeMicros.push_back((t1 - t0) / 1000.0);
        paintMicros.push_back((t2 - t1) / 1000.0);
    }
    std::vector<double> shareMicros(strikeMicros.size());
    for (std::size_t i = 0; i < shareMicros.size(); ++i) {
        shareMicros[i] = strikeMicros[i] + paintMicros[i];
    }

    std::printf("bell animation, three strikes a column (one per group), usual view\n");
    print("strike frames and reset (per column)", strikeMicros);
    print("repaint of the three group pictures", paintMicros);
    print("animation's share of a tick", shareMicros);

    control<QCheckBox>(frm, "cbShowNotes")->setChecked(true);
    std::printf("the program, null driver, %d s at 50 ms a column, score on\n", seconds);
    print("tick cost, animation on", playTicks(app, frm, seconds));
    control<QCheckBox>(frm, "cbShowMovie")->click();
    print("tick cost, animation off", playTicks(app, frm, seconds));
    return 0;
}
