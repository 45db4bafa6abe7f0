// Strikes while the window's thread stalls: the real main window (offscreen)
// on the null driver plays a ringing with one strike in every column, while
// a timer blocks the main thread at random for 50, 100, 200 or 500 ms about
// once a second. Prints the worst distance of a strike from its grid frame
// and from the frame it was handed for, the strikes lost, and how long after
// Stop (pressed during a stall's aftermath) a strike still began.
//
// Usage: bench_stall [program folder] [seconds] (default 20 s).

#include "app/TfrmMain.h"
#include "bells/Ensemble.h"
#include "playback/audio/AudioEngine.h"
#include "ringing/RingingFiles.h"
#include "support/BenchProgram.h"
#include "support/WindowControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int seconds = BenchProgram::argument(argc, argv, 2, 5, 20);
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    program.create(BenchProgram::everyBell());
    const int interval = 100;
    QStringList lines{QString::number(interval)};
    for (int c = 0; c < seconds * 1000 / interval + 20; ++c) {
        lines.append(QStringLiteral("s1"));
    }
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnbmmss"));
    const RingingWriteResult file = writeUserRingingFile(program.folder() + QStringLiteral("/stall.ukl"),
                                                         ensemble, QStringLiteral("Stall"), lines);
    if (!file.ok) {
        std::fprintf(stderr, "cannot write the ringing\n");
        return 1;
    }

    TfrmMain frm(program.folder(), {});
    frm.show();
    windowControl<QCheckBox>(frm, "cbShowNotes")->setChecked(false);
    frm.OpenUserRinging(file.path); // plays once its samples are ready
    audio::AudioEngine* engine = frm.audioEngine();
    if (!engine || frm.commonScoreSize() == 0) {
        std::fprintf(stderr, "nothing to play\n");
        return 1;
    }
    audio::Mixer& mixer = engine->mixer();
    mixer.setStartReports(true);
    const int rate = engine->sampleRate();
    const std::int64_t lead = engine->schedulingLeadFrames();
    const std::int64_t column = static_cast<std::int64_t>(rate) * interval / 1000;

    std::vector<audio::StartReport> reports;
    auto drain = [&] {
        audio::StartReport report;
        while (mixer.takeStartReport(report)) {
            reports.push_back(report);
        }
    };
    std::mt19937 random(2026);
    const int stalls[] = {50, 100, 200, 500};
    std::vector<int> stalled;
    QTimer staller;
    QObject::connect(&staller, &QTimer::timeout, &app, [&] {
        const int ms = stalls[random() % 4];
        stalled.push_back(ms);
        QThread::msleep(static_cast<unsigned long>(ms)); // the window's thread does nothing
        drain();
    });
    staller.start(1000);
    QTimer drainer;
    QObject::connect(&drainer, &QTimer::timeout, &app, drain);
    drainer.start(20);
    QTimer::singleShot(seconds * 1000, &app, [&] { app.quit(); });
    app.exec();
    staller.stop();

    // Stop right after a stall, with the engine holding columns.
    QThread::msleep(300);
    const std::int64_t stopFrame = engine->frameClock();
    const std::uint64_t withdrawnBefore = mixer.withdrawnVoices();
    frm.btnStopClick();
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    drain();

    if (reports.empty()) {
        std::fprintf(stderr, "no strike sounded\n");
        return 1;
    }
    // A start report is made when the engine takes a strike in, ahead of its
    // frame: those due after Stop must all have been withdrawn unsounded.
    const std::int64_t first = reports.front().targetFrame;
    std::int64_t worstGrid = 0;
    std::int64_t worstStart = 0;
    std::int64_t dueAfterStop = 0;
    std::int64_t lost = 0;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const audio::StartReport& r = reports[i];
        if (r.startFrame >= stopFrame) {
            ++dueAfterStop;
            continue;
        }
        const std::int64_t phase = ((r.targetFrame - first) % column + column) % column;
        worstGrid = std::max(worstGrid, std::min(phase, column - phase));
        worstStart = std::max(worstStart, std::abs(r.startFrame - r.targetFrame));
        if (i > 0) {
            const std::int64_t gap = r.targetFrame - reports[i - 1].targetFrame;
            lost += std::max<std::int64_t>(0, (gap + column / 2) / column - 1);
        }
    }
    const std::uint64_t withdrawn = mixer.withdrawnVoices() - withdrawnBefore;
    std::printf("the program, null driver at %d Hz, period %d frames, %d s at %d ms a column\n", rate,
                engine->bufferFrames(), seconds, interval);
    std::printf("stalls of the window's thread: %zu (50/100/200/500 ms at random)\n", stalled.size());
    std::printf("strikes sounded: %lld, lost: %lld, late starts: %llu\n",
                static_cast<long long>(reports.size()) - dueAfterStop, static_cast<long long>(lost),
                static_cast<unsigned long long>(mixer.lateStarts()));
    std::printf("worst offset from the grid: %lld frames; worst start from its frame: %lld frames\n",
                static_cast<long long>(worstGrid), static_cast<long long>(worstStart));
    std::printf("Stop after a 300 ms stall: %lld strikes held for later frames, %llu withdrawn unsounded (%s); "
                "the withdrawal reaches the engine at its next period (%.2f ms)\n",
                static_cast<long long>(dueAfterStop), static_cast<unsigned long long>(withdrawn),
                static_cast<std::int64_t>(withdrawn) >= dueAfterStop ? "none began after Stop" : "SOME BEGAN",
                engine->bufferFrames() * 1000.0 / rate);
    (void)lead;
    return 0;
}
