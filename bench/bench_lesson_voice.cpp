// How long a lesson voice takes to start: for each installed voice, the time
// to decode the MP3 at the output rate (what the sample cache's background
// thread does), the length of the speech, the memory it takes decoded, and
// the delay from choosing the lesson to the voice sounding, measured through
// the lesson window's own player on an engine without a device.
//
//   bench_lesson_voice [<installation folder>]   (default: ../campanix beside this program)

#include "lessons/EngineVoice.h"
#include "lessons/LessonTags.h"
#include "playback/audio/AudioEngine.h"
#include "playback/audio/SampleDecoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QCoreApplication::applicationDirPath() + QStringLiteral("/../campanix");
    std::printf("%-16s %10s %10s %12s %14s\n", "voice", "length s", "decode ms", "decoded MiB",
                "to sound ms");
    int measured = 0;
    for (const lessontags::VoicedPage& page : lessontags::kVoicedPages) {
        const QString path = folder + QStringLiteral("/Voice/") + QString::fromLatin1(page.voice);
        if (!QFileInfo::exists(path)) {
            std::printf("%-16s missing\n", page.voice);
            continue;
        }
        QElapsedTimer clock;
        clock.start();
        std::string error;
        const auto sample = audio::decodeSample(QFile::encodeName(path).toStdString(), 48000, &error);
        const double decodeMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!sample) {
            std::printf("%-16s cannot be decoded: %s\n", page.voice, error.c_str());
            continue;
        }

        // A fresh engine each time, so that nothing is cached yet.
        auto engine = audio::AudioEngine::createOffline(audio::AudioEngineOptions{});
        EngineVoice voice([&engine] { return engine.get(); }, path);
        clock.restart();
        voice.playFromStart();
        while (!voice.isPlaying() && clock.elapsed() < 30000) {
            QCoreApplication::processEvents();
            QThread::usleep(500);
        }
        const double startMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        voice.stop();

        std::printf("%-16s %10.1f %10.1f %12.1f %14.1f\n", page.voice,
                    static_cast<double>(sample->frames) / 48000.0, decodeMs,
                    static_cast<double>(sample->data.size() * sizeof(float)) / (1024.0 * 1024.0), startMs);
        ++measured;
    }
    return measured > 0 ? 0 : 1;
}
