// The output subsystem over the build's data: the HTML export of the whole
// library with every bell selected and each ringing's sound, run as the
// program runs it (the main window offscreen, one score page per step of the
// event loop, the sound on a worker), and saving ringings as sound through
// the offline renderer.
//
// Prints the export's wall time, its CPU time, the ringings and score pages
// written, score pages per second, the site's size and its sound's (with the
// size of three minutes of it); then, for the longest ringings of the
// library, seconds of audio rendered per second of CPU.
//
// Usage: bench_export [program folder] [ringings to render as sound] [0: the
// site without sound] (default: the runnable installation beside the bench
// folder, 3, with sound).

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "output/HtmlExport.h"
#include "output/OutputController.h"
#include "output/OutputHost.h"
#include "output/SoundExport.h"
#include "support/BenchProgram.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void waitWhile(const std::function<bool()>& busy) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!busy()) {
            loop.quit();
        }
    });
    poll.start(1);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    BenchProgram::prepareEnvironment();
    QApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int soundRenders = BenchProgram::argument(argc, argv, 2, 0, 3);
    const bool siteSound = BenchProgram::argument(argc, argv, 3, 0, 1) != 0;
    if (!program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    // A program folder of our own, so that the export and the settings stay
    // out of the installation.
    program.create({});
    QStringList arguments{QStringLiteral("html")};
    if (!siteSound) {
        arguments << OutputController::kNoSoundFlag;
    }
    TfrmMain frm(program.folder(), arguments);
    frm.resize(1280, 900);
    frm.show();
    QApplication::processEvents();

    // The window's controls are private: the bench reads them through the
    // host the output subsystem sees.
    OutputHost& host = frm.output()->host();
    HtmlExport& exporter = frm.output()->htmlExport();
    bool completed = false;
    QObject::connect(&exporter, &HtmlExport::finished, [&](bool ok) { completed = ok; });
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    frm.btnPlayClick();
    waitWhile([&] { return exporter.isRunning(); });
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;

    qint64 bytes = 0;
    int files = 0;
    qint64 soundBytes = 0;
    double soundSeconds = 0;
    int sounds = 0;
    QDirIterator it(frm.paths().htmlDir(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        bytes += file.size();
        ++files;
        if (file.suffix() == QLatin1String("mp3")) {
            soundBytes += file.size();
            ++sounds;
            SF_INFO info{};
            if (SNDFILE* sound = sf_open(QFile::encodeName(file.filePath()).constData(), SFM_READ, &info)) {
                soundSeconds += static_cast<double>(info.frames) / info.samplerate;
                sf_close(sound);
            }
        }
    }
    const int ringings = host.commonRingingCount() - 1;
    const QRect staff = host.staff(BellGroup::Small)->contentsRect();
    std::printf("html export: %s, %d ringings, %d score pages, %d files, %.1f MB\n",
                completed ? "complete" : "FAILED", ringings, exporter.pagesWritten(), files, bytes / 1e6);
    std::printf("html export: %.2f s wall, %.2f s cpu, %.1f score pages per second (staves %dx%d)\n", seconds,
                cpu, exporter.pagesWritten() / seconds, staff.width(), staff.height());
    std::printf("html export: sound of %d ringings, %.1f MB for %.0f s: 3 minutes take %.2f MB; "
                "%d ringings without sound\n",
                sounds, soundBytes / 1e6, soundSeconds,
                soundSeconds > 0 ? soundBytes / soundSeconds * 180 / 1e6 : 0.0,
                exporter.ringingsWithoutSound());

    // The longest ringings, rendered as sound one after the other.
    std::vector<std::pair<int, int>> lengths; // (columns, item)
    for (int item = 1; item < host.commonRingingCount(); ++item) {
        host.chooseCommonRinging(item);
        lengths.emplace_back(frm.commonScoreSize(), item);
    }
    std::sort(lengths.rbegin(), lengths.rend());
    double audioSeconds = 0;
    double renderCpu = 0;
    for (int i = 0; i < std::min<int>(soundRenders, static_cast<int>(lengths.size())); ++i) {
        host.chooseCommonRinging(lengths[static_cast<std::size_t>(i)].second);
        QString error;
        std::optional<RenderJob> job =
            frm.output()->soundExport().jobFor(program.folder() + QStringLiteral("sound.wav"), &error);
        if (!job) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        const double start = cpuSeconds();
        const RenderResult result = renderRinging(*job);
        const double used = cpuSeconds() - start;
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return 1;
        }
        const double audio = static_cast<double>(result.frames) / job->sampleRate;
        std::printf("sound: \"%s\", %lld columns at %d ms, %.1f s of audio in %.2f s cpu (%.0fx)\n",
                    qPrintable(host.commonRingingName(host.chosenCommonRinging())),
                    static_cast<long long>(job->columns.size()), job->intervalMs, audio, used, audio / used);
        audioSeconds += audio;
        renderCpu += used;
    }
    if (renderCpu > 0) {
        std::printf("sound: %.0f seconds of audio per second of cpu\n", audioSeconds / renderCpu);
    }
    return completed ? 0 : 1;
}
