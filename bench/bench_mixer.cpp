// Cost of the mixer: nanoseconds per voice-frame and the share of one core
// that 64, 256 and 1024 overlapping voices take at 48 kHz stereo, 256-frame
// blocks (what the sound device asks for), master bus and limiter included;
// then the same with the device at 44.1 and 96 kHz, the voices' 48 kHz sum
// interpolated to the device's rate.
// Times are the CPU time of the rendering thread, best of three runs, so
// that other work on the machine does not count.
// Then the memory the sample cache holds for the fifteen stereo bells of the
// first model row of the installation, as 16-bit frames and as the float
// frames it would take at 32 bits.
//
//   bench_mixer [<installation folder>]   (default: ../campanix beside this program)

#include "playback/audio/Mixer.h"
#include "playback/audio/SampleCache.h"
#include "playback/audio/SampleDecoder.h"
#include "playback/audio/VoiceLoop.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr int kRate = 48000;
constexpr int kBlock = 256;

// Fifteen stereo bell-like samples of ten seconds: decaying partials with a
// little noise, so that the mixer reads real, different data.
std::vector<std::shared_ptr<const audio::Sample>> makeBells() {
    std::vector<std::shared_ptr<const audio::Sample>> bells;
    std::mt19937 random(42);
    std::normal_distribution<float> noise(0.0f, 0.01f);
    const int frames = 10 * kRate;
    for (int bell = 0; bell < 15; ++bell) {
        std::vector<float> data(static_cast<std::size_t>(2 * frames));
        const float base = 100.0f * std::pow(1.2f, static_cast<float>(bell));
        for (int f = 0; f < frames; ++f) {
            const float t = static_cast<float>(f) / kRate;
            const float value =
                0.2f * std::exp(-t / 3.0f) *
                    (std::sin(6.2832f * base * t) + 0.5f * std::sin(6.2832f * 2.4f * base * t)) +
                noise(random);
            data[static_cast<std::size_t>(2 * f)] = value;
            data[static_cast<std::size_t>(2 * f + 1)] = 0.9f * value;
        }
        bells.push_back(audio::makeSample("bell" + std::to_string(bell), 2, kRate, std::move(data)));
    }
    return bells;
}

void measure(int voices, const std::vector<std::shared_ptr<const audio::Sample>>& bells, int deviceRate) {
    audio::MixerConfig config;
    config.sampleRate = deviceRate;
    config.voiceRate = kRate;
    config.voices = voices;
    audio::Mixer mixer(config);
    // Voices spread over the first 50 ms so that they read different places.
    for (int v = 0; v < voices; ++v) {
        const auto handle = mixer.openVoice(bells[static_cast<std::size_t>(v % 15)].get());
        mixer.play(*handle, (v * 37) % 2400);
    }
    std::vector<float> out(2 * kBlock);
    for (int warm = 0; warm < 20; ++warm) {
        mixer.render(out.data(), kBlock);
    }
    const int blocks = 2 * deviceRate / kBlock; // two seconds of sound, three times: all voices sounding
    double seconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        const double begin = threadSeconds();
        for (int b = 0; b < blocks; ++b) {
            mixer.render(out.data(), kBlock);
        }
        seconds = std::min(seconds, threadSeconds() - begin);
    }
    const double audioSeconds = static_cast<double>(blocks) * kBlock / deviceRate;
    const double voiceFrames = static_cast<double>(voices) * blocks * kBlock;
    std::printf(
        "%6d Hz %5d voices: %6.3f ns per voice-frame, %6.2f %% of one core, %6.1f us per %d-frame block "
        "(active at end: %d)\n",
        deviceRate, voices, seconds * 1e9 / voiceFrames, 100.0 * seconds / audioSeconds,
        seconds * 1e6 / blocks, kBlock, mixer.activeVoices());
}

void measureCache(const std::string& folder) {
    if (!std::filesystem::is_directory(folder)) {
        std::printf("\n%s: no such folder, sample cache not measured\n", folder.c_str());
        return;
    }
    audio::SampleCache cache(kRate);
    cache.preloadFolder(folder);
    cache.waitForPreload();
    std::size_t bytes = 0;
    std::size_t floatBytes = 0;
    int samples = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        if (const auto sample = cache.tryGet(item.path().string())) {
            bytes += sample->bytes();
            floatBytes += sample->data.size() * sizeof(float) + sample->envelope.size() * sizeof(float);
            ++samples;
        }
    }
    std::printf("\nSample cache, %d samples of %s: %.1f MiB as 16-bit frames (%.1f MiB as float)\n", samples,
                folder.c_str(), static_cast<double>(bytes) / (1024.0 * 1024.0),
                static_cast<double>(floatBytes) / (1024.0 * 1024.0));
}

} // namespace

int main(int argc, char** argv) {
    const auto bells = makeBells();
    std::printf("Mixer at %d Hz stereo, %d-frame blocks, 16-bit stereo samples, %s voice loop\n", kRate,
                kBlock, audio::voiceloop::variant());
    for (int deviceRate : {kRate, 44100, 96000}) {
        for (int voices : {64, 256, 1024}) {
            measure(voices, bells, deviceRate);
        }
    }
    const std::string installation =
        argc > 1 ? argv[1]
                 : (std::filesystem::canonical("/proc/self/exe").parent_path() / "../campanix").string();
    measureCache(installation + "/Sound/Model1/Stereo");
    return 0;
}
