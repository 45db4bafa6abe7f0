// MIDI-to-sound latency through a real JACK server (dummy driver, 256
// frames at 48 kHz): from the moment the sender hands a note to its JACK
// port (RtMidi, as an instrument's driver would) to the moment the engine
// renders the first frame of its strike (null driver). On the way: the
// server's next cycle, the program's JACK client, the hand-over to the main
// thread, the parser, the note map, the velocity's gain and the strike
// through the command-string path. Prints a line and ends without figures
// where no JACK server can start.

#include "BenchSamples.h"
#include "JackServer.h"
#include "input/KeyStrikeNotifier.h"
#include "input/MidiInput.h"
#include "input/MidiMapping.h"
#include "input/MidiParser.h"
#include "playback/StrikeVoices.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <span>
#include <thread>
#include <vector>

#ifdef CAMPANIX_HAVE_RTMIDI

namespace {

constexpr int kEvents = 300;
constexpr int kJackPeriod = 256; // as JackServer starts it

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    JackServer server;
    const QString why = server.start();
    std::unique_ptr<RtMidiOut> pads = why.isEmpty() ? openPads(server) : nullptr;
    if (!pads) {
        std::printf("MIDI event to first rendered frame: skipped, no JACK server (%s)\n",
                    why.isEmpty() ? "it did not come up" : why.toLocal8Bit().constData());
        return 0;
    }
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
    input.probe();
    if (!input.open({QStringLiteral("JACK"), QStringLiteral("Pads:pads")})) {
        std::fprintf(stderr, "the pads' port was not opened\n");
        return 1;
    }
    MidiParser parser;
    const MidiNoteMap map = MidiNoteMap::drumMap(15);
    std::vector<double> latencies;
    std::vector<double> handOvers; // sender to the main thread's handler
    std::atomic<std::int64_t> sentNs{0};
    std::atomic<int> heard{0};
    std::atomic<int> struck{0};
    QObject::connect(&input, &MidiInput::bytesReceived, [&](const QByteArray& bytes, qint64) {
        ++heard;
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        for (const MidiNote& note : parser.feed(std::span(data, static_cast<size_t>(bytes.size())))) {
            const int bell = map.bellOf(note.note);
            if (!note.on || bell < 0) {
                continue;
            }
            handOvers.push_back(static_cast<double>(KeyStrikeNotifier::steadyNowNs() - sentNs.load()) / 1e6);
            voices.sound(folder + QStringLiteral("bell%1.wav").arg(bell), kHandStrikeAliasMax, std::nullopt,
                         velocityGain(note.velocity, VelocityCurve::Linear));
            audio::StartReport report;
            // The report is pushed by the render call that starts the voice.
            while (!engine->mixer().takeStartReport(report)) {
                std::this_thread::yield();
            }
            latencies.push_back(static_cast<double>(KeyStrikeNotifier::steadyNowNs() - sentNs.load()) / 1e6);
            if (++struck % 16 == 0) {
                voices.closeFinishedVoices();
            }
        }
    });

    // The sender: a note of no bell until the server has joined the ports,
    // then pads struck at random moments, each after the one before has
    // sounded, as strokes of a ringer are (a stroke queued behind another
    // would measure the queue).
    std::atomic<bool> failed{false};
    std::thread sender([&] {
        std::vector<unsigned char> noBell{0x99, 1, 1};
        for (int attempt = 0; heard.load() == 0; ++attempt) {
            if (attempt > 200) {
                failed = true;
                QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
                return;
            }
            pads->sendMessage(&noBell);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::mt19937 random(5);
        std::uniform_int_distribution<int> pause(0, 10000);
        const unsigned char notes[] = {36, 38, 42, 45, 49, 51};
        for (int i = 0; i < kEvents; ++i) {
            while (struck.load() < i) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
            std::vector<unsigned char> message{0x99, notes[i % 6], static_cast<unsigned char>(1 + i % 127)};
            sentNs = KeyStrikeNotifier::steadyNowNs();
            pads->sendMessage(&message);
        }
        while (struck.load() < kEvents) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    sender.join();
    input.close();
    pads.reset();

    if (failed || latencies.empty()) {
        std::fprintf(stderr, "no strike was rendered\n");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    std::sort(handOvers.begin(), handOvers.end());
    const double buffer = 1000.0 * engine->bufferFrames() / engine->sampleRate();
    const double period = 1000.0 * kJackPeriod / 48000.0;
    std::printf("MIDI note sent to first rendered frame, through JACK (period %d frames, %.2f ms) and the null "
                "driver (buffer %d frames, %.2f ms), %zu events: median %5.2f ms, p99 %5.2f ms, max %5.2f ms "
                "(target <= %5.2f ms)\n",
                kJackPeriod, period, engine->bufferFrames(), buffer, latencies.size(),
                latencies[latencies.size() / 2], latencies[latencies.size() * 99 / 100], latencies.back(),
                period + buffer + 1.0);
    // The part of it spent before the main thread's handler: the server's
    // cycle and, on a busy machine, the thread's wake-up.
    std::printf("  of which sent to the main thread's handler: median %5.2f ms, p99 %5.2f ms\n",
                handOvers[handOvers.size() / 2], handOvers[handOvers.size() * 99 / 100]);
    return 0;
}

#else

int main() {
    std::printf("MIDI event to first rendered frame: skipped, built without MIDI\n");
    return 0;
}

#endif
