// Resident memory of the program as a user meets it: the main window
// (offscreen, the audio engine on its null driver) with fifteen bells of
// model row 1 selected, measured
//   - idle, 4 s after the start (with how many of the fifteen samples are ready),
//   - while a lesson voice speaks ("Урок 1" from the Help menu),
//   - after all four voiced pages were opened through the Help menu,
//   - after the lesson window was closed and its voices had 2 s to end,
//   - after the full view was entered (its large pictures are read then).
// Each figure is the resident size then (VmRSS) and the peak so far (VmHWM).
//
//   bench_memory [installation folder]
//   QT_QPA_PLATFORM=xcb DISPLAY=:57 bench_memory   (on an X server such as Xvfb)

#include "app/TfrmMain.h"
#include "playback/audio/AudioEngine.h"
#include "support/BenchProgram.h"
#include "support/ProcessMemory.h"
#include "support/WindowControl.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <functional>

namespace {

void serveFor(int milliseconds, const std::function<bool()>& done = {}) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds && !(done && done())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

void report(const char* moment) {
    std::printf("%-44s resident %6.1f MB, peak %6.1f MB\n", moment, statusKilobytes("VmRSS") / 1024.0,
                statusKilobytes("VmHWM") / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    // Offscreen and without a sound device, unless a display is asked for
    // (QT_QPA_PLATFORM=xcb with an X server, as a user's screen).
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    BenchProgram::prepareEnvironment();
    if (!platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data") ||
        !program.holds(QStringLiteral("Voice/reference.htm"), "lessons")) {
        return 1;
    }
    program.create(BenchProgram::everyBell());
    report("before the window");

    auto frm = std::make_unique<TfrmMain>(program.folder(), QStringList{});
    frm->show();
    audio::AudioEngine* engine = frm->audioEngine();
    if (!engine) {
        std::fprintf(stderr, "no audio engine\n");
        return 1;
    }
    serveFor(4000);
    int ready = 0;
    for (int bell = 1; bell <= 15; ++bell) {
        const QString path =
            program.folder() +
            QStringLiteral("Sound/Model1/Stereo/bell%1.wav").arg(bell, 2, 10, QLatin1Char('0'));
        ready += engine->samples().isReady(QFile::encodeName(path).toStdString()) ? 1 : 0;
    }
    std::printf("%d of 15 samples of model row 1 ready\n", ready);
    report("idle, 4 s after the start");

    const auto speaking = [engine] { return engine->mixer().activeVoices() > 0; };
    windowControl<QAction>(*frm, "nLesson1")->trigger();
    serveFor(10000, speaking);
    serveFor(1500);
    report(speaking() ? "while a lesson voice speaks" : "lesson 1 open (no voice heard)");

    for (const char* page : {"nManual", "nLesson2", "nLesson3"}) {
        windowControl<QAction>(*frm, page)->trigger();
        serveFor(1500);
    }
    report("after opening the four voiced pages");

    if (QWidget* lesson = frm->findChild<QWidget*>(QStringLiteral("frmLesson"))) {
        lesson->close();
    } else {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("frmLesson")) {
                top->close();
            }
        }
    }
    serveFor(2000);
    report("after closing the lesson window");

    windowControl<QAction>(*frm, "nFullView")->trigger();
    serveFor(1000);
    report("after entering the full view");
    return 0;
}
