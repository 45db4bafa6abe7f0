// A ringing opened from the desktop: the main window (offscreen) is built
// with a user file on its command line, as the file manager starts it, and
// the first strike is looked for in the engine's start reports. Twenty starts
// at each of 48, 44.1 and 96 kHz (the samples are 48 kHz; at the other rates
// the voices' sum is interpolated as it plays). Prints how many starts sounded column 0, on its frame,
// and the time from the start of the window to that strike.
//
// Usage: bench_startup_strike [program folder] [starts per rate] (default 20).

#include "app/TfrmMain.h"
#include "bells/Ensemble.h"
#include "playback/audio/AudioEngine.h"
#include "ringing/RingingFiles.h"
#include "support/BenchProgram.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int starts = BenchProgram::argument(argc, argv, 2, 1, 20);
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    program.create(BenchProgram::everyBell());
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("111111111111111"), QStringLiteral("bbbbbmmmmmsssss"));
    // Column 0 strikes the biggest and the smallest bell.
    const RingingWriteResult file = writeUserRingingFile(
        program.folder() + QStringLiteral("/desktop.ukl"), ensemble, QStringLiteral("Desktop"),
        {QStringLiteral("144"), QStringLiteral("b1,s1"), QStringLiteral("m1"), QStringLiteral("s2")});
    if (!file.ok) {
        return 1;
    }
    for (int rate : {48000, 44100, 96000}) {
        qputenv("CAMPANIX_SAMPLE_RATE", QByteArray::number(rate));
        int present = 0;
        int onFrame = 0;
        std::vector<double> millis;
        for (int n = 0; n < starts; ++n) {
            QElapsedTimer clock;
            clock.start();
            auto frm = std::make_unique<TfrmMain>(program.folder(), QStringList{file.path});
            audio::AudioEngine* engine = frm->audioEngine();
            if (!engine) {
                return 1;
            }
            engine->mixer().setStartReports(true);
            frm->show();
            std::vector<audio::StartReport> reports;
            while (reports.size() < 2 && clock.elapsed() < 15000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                audio::StartReport report;
                while (engine->mixer().takeStartReport(report)) {
                    reports.push_back(report);
                }
            }
            // Both voices of column 0, on one frame, each with its sample.
            if (reports.size() >= 2 && reports[0].targetFrame == reports[1].targetFrame &&
                reports[0].sample && reports[1].sample) {
                ++present;
                onFrame += reports[0].startFrame == reports[0].targetFrame &&
                           reports[1].startFrame == reports[1].targetFrame;
                millis.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            }
            frm.reset();
        }
        std::sort(millis.begin(), millis.end());
        std::printf("%d Hz: column 0 sounded in %d of %d starts, on its frame in %d; start to first strike "
                    "min %.0f ms, median %.0f ms, max %.0f ms\n",
                    rate, present, starts, onFrame, millis.empty() ? 0.0 : millis.front(),
                    millis.empty() ? 0.0 : millis[millis.size() / 2], millis.empty() ? 0.0 : millis.back());
    }
    return 0;
}
