// MIDI-to-sound latency: from a MIDI event's own time (stamped on the port's
// thread as the port delivers it) to the moment the driver renders the first
// frame of its strike, through the null driver. The event crosses to the main
// thread as the port's messages do, is parsed, mapped to its bell, gets its
// velocity's gain and is struck through the command-string path.

#include "BenchSamples.h"
#include "input/KeyStrikeNotifier.h"
#include "input/MidiInput.h"
#include "input/MidiMapping.h"
#include "input/MidiParser.h"
#include "playback/StrikeVoices.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <span>
#include <thread>
#include <vector>

namespace {

constexpr int kEvents = 300;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    if (!writeBenchBells(folder, 4800)) {
        std::fprintf(stderr, "cannot write the bench samples\n");
        return 1;
    }
    audio::AudioEngineOptions options;
    options.useDevice = false;
    auto engine = audio::AudioEngine::startRealtime(options);
    engine->mixer().setStartReports(true);
    MciInterpreter mci(*engine);
    StrikeVoices voices(mci, 1);
    engine->samples().preloadFolder(folder.toStdString());
    engine->samples().waitForPreload();

    MidiInput input;
    MidiParser parser;
    const MidiNoteMap map = MidiNoteMap::drumMap(15);
    std::vector<double> latencies;
    std::vector<double> handOvers; // event time to the main thread's handler
    std::atomic<int> struck{0};
    QObject::connect(&input, &MidiInput::bytesReceived, [&](const QByteArray& bytes, qint64 eventNs) {
        handOvers.push_back(static_cast<double>(KeyStrikeNotifier::steadyNowNs() - eventNs) / 1e6);
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        for (const MidiNote& note : parser.feed(std::span(data, static_cast<size_t>(bytes.size())))) {
            const int bell = map.bellOf(note.note);
            if (!note.on || bell < 0) {
                continue;
            }
            voices.sound(folder + QStringLiteral("bell%1.wav").arg(bell), kHandStrikeAliasMax, std::nullopt,
                         velocityGain(note.velocity, VelocityCurve::Linear));
            audio::StartReport report;
            // The report is pushed by the render call that starts the voice.
            while (!engine->mixer().takeStartReport(report)) {
                std::this_thread::yield();
            }
            latencies.push_back(static_cast<double>(KeyStrikeNotifier::steadyNowNs() - eventNs) / 1e6);
            if (++struck % 16 == 0) {
                voices.closeFinishedVoices();
            }
        }
    });

    // The port's thread: pads struck at random moments, each message with
    // its time since the one before, as a port delivers them. Each stroke
    // waits until the one before has sounded, as strokes of a ringer do
    // (a stroke queued behind another would measure the queue).
    std::thread port([&] {
        std::mt19937 random(5);
        std::uniform_int_distribution<int> pause(0, 10000);
        const int notes[] = {36, 38, 42, 45, 49, 51};
        auto last = std::chrono::steady_clock::now();
        for (int i = 0; i < kEvents; ++i) {
            while (struck.load() < i) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
            const auto now = std::chrono::steady_clock::now();
            const char message[] = {static_cast<char>(0x99), static_cast<char>(notes[i % 6]),
                                    static_cast<char>(1 + i % 127)};
            input.deliver(QByteArray(message, 3), std::chrono::duration<double>(now - last).count());
            last = now;
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    port.join();

    if (latencies.empty()) {
        std::fprintf(stderr, "no strike was rendered\n");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    std::sort(handOvers.begin(), handOvers.end());
    const double buffer = 1000.0 * engine->bufferFrames() / engine->sampleRate();
    std::printf("MIDI event to first rendered frame, null driver, buffer %d frames (%.2f ms), %zu events: "
                "median %5.2f ms, p99 %5.2f ms, max %5.2f ms (target <= %5.2f ms)\n",
                engine->bufferFrames(), buffer, latencies.size(), latencies[latencies.size() / 2],
                latencies[latencies.size() * 99 / 100], latencies.back(), buffer + 1.0);
    // The part of it spent crossing to the main thread: on a busy machine the
    // thread's wake-up, not the engine.
    std::printf("  of which event to the main thread's handler: median %5.2f ms, p99 %5.2f ms\n",
                handOvers[handOvers.size() / 2], handOvers[handOvers.size() * 99 / 100]);
    return 0;
}
