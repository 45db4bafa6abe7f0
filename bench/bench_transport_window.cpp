// The sequencer in the real program: the main window (offscreen) over the
// build's data, the audio engine on its null driver, a looping combination of
// group ringings at 50 ms a column played for a minute while the window is
// resized without pause. Prints the cost of each tick (the timer's event to
// the end of the window's handler, score off) and the voices' onsets: the
// distance of each target frame from the 50 ms grid, and of each start from
// its target.
//
// Usage: bench_transport_window [program folder] [seconds]
// (default: the runnable installation beside the bench folder, 60 s).

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "playback/audio/AudioEngine.h"
#include "ringing/RingingChoices.h"
#include "support/BenchProgram.h"
#include "support/BenchTiming.h"
#include "support/WindowControl.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>


int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int seconds = BenchProgram::argument(argc, argv, 2, 5, 60);
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    // A program folder of our own, so that the installation's settings stay untouched.
    program.create(BenchProgram::everyBell());

    TfrmMain frm(program.folder(), {});
    frm.show();
    windowControl<QCheckBox>(frm, "cbShowNotes")->setChecked(false);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000) { // the samples decode in the background
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    for (int g = 0; g < 3; ++g) {
        QComboBox* selector = frm.choices().groupSelector(g);
        if (selector && selector->count() >= 2) {
            selector->setCurrentIndex(1);
            frm.cbCustomSelectionChange(g);
        }
    }
    windowControl<QSlider>(frm, "tbTemp")->setValue(50);
    if (frm.commonScoreSize() == 0 || !frm.audioEngine()) {
        std::fprintf(stderr, "nothing to play (score %d columns, engine %s)\n", frm.commonScoreSize(),
                     frm.audioEngine() ? "on" : "off");
        return 1;
    }
    audio::Mixer& mixer = frm.audioEngine()->mixer();
    mixer.setStartReports(true);
    const std::int64_t lead = frm.audioEngine()->schedulingLeadFrames();
    const std::int64_t column = static_cast<std::int64_t>(frm.audioSampleRate()) * 50 / 1000;

    TickStart tickStart;
    tickStart.clock.start();
    QTimer* mmTimer = windowControl<QTimer>(frm, "mmTimer");
    mmTimer->installEventFilter(&tickStart);
    std::vector<double> tickMicros;
    QObject::connect(mmTimer, &QTimer::timeout, &app, [&] {
        if (tickStart.started >= 0) {
            tickMicros.push_back((tickStart.clock.nsecsElapsed() - tickStart.started) / 1000.0);
            tickStart.started = -1;
        }
    });
    std::vector<audio::StartReport> reports;
    QTimer drain;
    QObject::connect(&drain, &QTimer::timeout, &app, [&] {
        audio::StartReport report;
        while (mixer.takeStartReport(report)) {
            reports.push_back(report);
        }
    });
    drain.start(50);
    int resizes = 0;
    QTimer resizer;
    QObject::connect(&resizer, &QTimer::timeout, &app, [&] {
        ++resizes;
        frm.resize(900 + resizes % 300, 650 + resizes % 200);
    });
    resizer.start(10);

    frm.btnPlayClick();
    QTimer::singleShot(seconds * 1000, &app, [&] { app.quit(); });
    app.exec();
    frm.btnStopClick();
    QCoreApplication::processEvents();
    audio::StartReport report;
    while (mixer.takeStartReport(report)) {
        reports.push_back(report);
    }

    std::vector<std::int64_t> offGrid;
    std::vector<std::int64_t> startError;
    const std::int64_t first = reports.empty() ? 0 : reports.front().targetFrame - lead;
    for (const audio::StartReport& r : reports) {
        const std::int64_t ideal = r.targetFrame - lead;
        const std::int64_t phase = ((ideal - first) % column + column) % column;
        offGrid.push_back(std::min(phase, column - phase));
        startError.push_back(r.startFrame - r.targetFrame);
    }
    const auto maxOf = [](const std::vector<std::int64_t>& v) {
        return v.empty() ? 0LL : static_cast<long long>(*std::max_element(v.begin(), v.end()));
    };
    std::printf("the program, null driver, %d s at 50 ms a column, %d resizes, score off\n", seconds,
                resizes);
    std::printf("  ticks %zu, voices %zu, late starts (mixer count) %llu\n", tickMicros.size(),
                reports.size(), static_cast<unsigned long long>(mixer.lateStarts()));
    std::printf("  target frames off the 50 ms grid   max %lld frames\n", maxOf(offGrid));
    std::printf("  start frame after target           max %lld frames, p99 %lld frames\n", maxOf(startError),
                static_cast<long long>(percentile(startError, 0.99)));
    std::printf("  tick cost                          median %.1f us, p99 %.1f us, worst %.1f us\n",
                percentile(tickMicros, 0.5), percentile(tickMicros, 0.99),
                tickMicros.empty() ? 0.0 : *std::max_element(tickMicros.begin(), tickMicros.end()));
    return 0;
}
