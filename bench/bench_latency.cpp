// Key-to-sound latency: from the moment a hand strike is asked for (the key
// event reaching the main thread) to the moment the driver renders the
// voice's first frame, through the null driver and, when SDL2 offers it, the
// SDL2 "dummy" driver (no sound card needed). The hand strike goes through
// the whole command-string path: alias draw, open, play.

#include "BenchSamples.h"
#include "playback/StrikeVoices.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void measure(const char* label, std::unique_ptr<audio::AudioEngine> engine, const QString& folder) {
    engine->mixer().setStartReports(true);
    MciInterpreter mci(*engine);
    StrikeVoices voices(mci, 1);
    engine->samples().preloadFolder(folder.toStdString());
    engine->samples().waitForPreload();
    std::mt19937 random(3);
    std::uniform_int_distribution<int> pause(0, 10000);
    std::vector<double> latencies;
    for (int strike = 0; strike < 300; ++strike) {
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        const Clock::time_point key = Clock::now();
        voices.sound(folder + QStringLiteral("bell%1.wav").arg(strike % 15), kHandStrikeAliasMax);
        audio::StartReport report;
        // The report is pushed by the render call that starts the voice.
        while (!engine->mixer().takeStartReport(report)) {
            std::this_thread::yield(); // leave the core to the driver's thread
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - key).count());
        if (strike % 16 == 0) {
            voices.closeFinishedVoices();
        }
    }
    std::sort(latencies.begin(), latencies.end());
    const double buffer = 1000.0 * engine->bufferFrames() / engine->sampleRate();
    std::printf(
        "%-22s buffer %4d frames (%5.2f ms): key to first rendered frame median %5.2f ms, p99 %5.2f ms, "
        "max %5.2f ms (target <= %5.2f ms)\n",
        label, engine->bufferFrames(), buffer, latencies[latencies.size() / 2],
        latencies[latencies.size() * 99 / 100], latencies.back(), buffer + 1.0);
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    if (!writeBenchBells(folder, 4800)) {
        std::fprintf(stderr, "cannot write the bench samples\n");
        return 1;
    }
    audio::AudioEngineOptions options;
    options.useDevice = false;
    measure("null driver", audio::AudioEngine::startRealtime(options), folder);
    // A device at 44.1 kHz: the voices run at the samples' 48 kHz and their
    // sum is interpolated, which adds the filter's half width (32 voice
    // frames, 0.67 ms) after the first rendered frame.
    options.sampleRate = 44100;
    measure("null driver 44.1 kHz", audio::AudioEngine::startRealtime(options), folder);
    options.sampleRate = 48000;

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    options.useDevice = true;
    auto dummy = audio::AudioEngine::startRealtime(options);
    if (dummy->output() == audio::AudioEngine::Output::Device) {
        const std::string label = dummy->outputName();
        measure(label.c_str(), std::move(dummy), folder);
    } else {
        std::printf("SDL2 dummy driver not available: %s\n", dummy->deviceError().c_str());
    }
    return 0;
}
