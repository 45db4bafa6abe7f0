// Cost of the mixer: nanoseconds per voice-frame and the share of one core
// that 64, 256 and 1024 overlapping voices take at 48 kHz stereo, 256-frame
// blocks (what the sound device asks for), master bus and limiter included.

#include "playback/audio/Mixer.h"
#include "playback/audio/SampleDecoder.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

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

void measure(int voices, const std::vector<std::shared_ptr<const audio::Sample>>& bells) {
    audio::MixerConfig config;
    config.sampleRate = kRate;
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
    const int blocks = 8 * kRate / kBlock; // eight seconds of sound, all voices sounding
    const auto begin = std::chrono::steady_clock::now();
    for (int b = 0; b < blocks; ++b) {
        mixer.render(out.data(), kBlock);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const double audioSeconds = static_cast<double>(blocks) * kBlock / kRate;
    const double voiceFrames = static_cast<double>(voices) * blocks * kBlock;
    std::printf("%5d voices: %6.3f ns per voice-frame, %6.2f %% of one core, %6.1f us per %d-frame block "
                "(active at end: %d)\n",
                voices, seconds * 1e9 / voiceFrames, 100.0 * seconds / audioSeconds, seconds * 1e6 / blocks,
                kBlock, mixer.activeVoices());
}

} // namespace

int main() {
    const auto bells = makeBells();
    std::printf("Mixer at %d Hz stereo, %d-frame blocks, stereo float samples\n", kRate, kBlock);
    for (int voices : {64, 256, 1024}) {
        measure(voices, bells);
    }
    return 0;
}
