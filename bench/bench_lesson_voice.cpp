// A lesson voice as the lesson window plays it, for each installed voice:
// the delay from choosing the lesson to the voice sounding; the resident
// memory of the process before, while it speaks (three seconds rendered in
// real time on an engine without a device) and after it has stopped; the
// stream's ring; and the blocks that found the stream empty, first on a
// quiet machine, then with every core kept busy by spinning threads.
//
//   bench_lesson_voice [<installation folder>]   (default: ../campanix beside this program)

#include "lessons/EngineVoice.h"
#include "lessons/LessonTags.h"
#include "playback/audio/AudioEngine.h"
#include "support/ProcessMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

double mib(long kilobytes) {
    return static_cast<double>(kilobytes) / 1024.0;
}

// Renders `seconds` of sound in 256-frame blocks at the pace of a device.
void speak(audio::AudioEngine& engine, double seconds) {
    std::vector<float> out(512);
    const auto period = std::chrono::microseconds(256 * 1000000 / engine.sampleRate());
    auto next = std::chrono::steady_clock::now();
    const int blocks = static_cast<int>(seconds * engine.sampleRate() / 256);
    for (int b = 0; b < blocks; ++b) {
        engine.mixer().render(out.data(), 256);
        next += period;
        std::this_thread::sleep_until(next);
    }
}

struct Figures {
    double startMs = 0;
    long before = 0;
    long speaking = 0;
    long after = 0;
    std::uint64_t underruns = 0;
    int streamsAfter = 0;
};

Figures measure(const QString& path, bool loaded) {
    Figures figures;
    std::atomic<bool> spin{loaded};
    std::vector<std::thread> load;
    for (unsigned i = 0; loaded && i < std::max(2u, std::thread::hardware_concurrency()); ++i) {
        load.emplace_back([&spin] {
            volatile unsigned long sink = 0;
            while (spin.load(std::memory_order_relaxed)) {
                sink = sink + 1;
            }
        });
    }
    auto engine = audio::AudioEngine::createOffline(audio::AudioEngineOptions{});
    figures.before = statusKilobytes("VmRSS");
    EngineVoice voice([&engine] { return engine.get(); }, path);
    QElapsedTimer clock;
    clock.start();
    voice.playFromStart();
    while (!voice.isPlaying() && clock.elapsed() < 30000) {
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
    figures.startMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    speak(*engine, 3.0);
    figures.speaking = statusKilobytes("VmRSS");
    figures.underruns = engine->mixer().streamUnderruns();
    voice.stop();
    speak(*engine, 0.1); // the fade, and a turn of the streamer's thread
    figures.after = statusKilobytes("VmRSS");
    figures.streamsAfter = engine->streams().liveStreams();
    spin = false;
    for (std::thread& thread : load) {
        thread.join();
    }
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QCoreApplication::applicationDirPath() + QStringLiteral("/../campanix");
    std::printf(
        "Streamed lesson voices: ring of %.1f s, blocks of %d frames, read-ahead checked every %d ms\n",
        audio::VoiceStreamer::kReadAheadSeconds, audio::VoiceStreamer::kBlockFrames,
        audio::VoiceStreamer::kWakeMilliseconds);
    std::printf("%-16s %8s %12s %12s %12s %10s %10s %9s\n", "voice", "load", "to sound ms", "RSS before",
                "speaking", "stopped", "underruns", "streams");
    int measured = 0;
    for (const bool loaded : {false, true}) {
        for (const int tag : lessontags::kVoicedTags) {
            const lessontags::VoicedPage& page = lessontags::kVoicedPages[static_cast<std::size_t>(tag)];
            const QString path = folder + QStringLiteral("/Voice/") + QString::fromLatin1(page.voice);
            if (!QFileInfo::exists(path)) {
                std::printf("%-16s missing\n", page.voice);
                continue;
            }
            const Figures f = measure(path, loaded);
            std::printf("%-16s %8s %12.1f %9.1f MiB %8.1f MiB %6.1f MiB %10llu %9d\n", page.voice,
                        loaded ? "busy" : "quiet", f.startMs, mib(f.before), mib(f.speaking), mib(f.after),
                        static_cast<unsigned long long>(f.underruns), f.streamsAfter);
            ++measured;
        }
    }
    return measured > 0 ? 0 : 1;
}
