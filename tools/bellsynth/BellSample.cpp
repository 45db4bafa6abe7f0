#include "BellSample.h"

#include "playback/audio/analysis/BellAnalysis.h"
#include "Random.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <unistd.h>

namespace bellsynth {

namespace {

// Dither adds up to one step of 16 bits; the limit leaves room for it.
const double kPeakLimit = std::pow(10.0, kPeakLimitDb / 20.0) - 2.0 / 32768.0;

float peakOf(const std::vector<float>& x) {
    float p = 0.0f;
    for (float v : x) {
        p = std::max(p, std::abs(v));
    }
    return p;
}

double toDb(double x) {
    return 20.0 * std::log10(std::max(x, 1e-12));
}

// Ends the channels at frame `end`: the stretch before it fades out with a
// raised cosine, silence follows. Returns the first frame of the fade.
size_t trimAndFade(std::vector<std::vector<float>*> channels, size_t end) {
    const size_t fade = static_cast<size_t>(kFadeSeconds * kSampleRate);
    end = std::max(end, fade);
    const size_t fadeStart = end - fade;
    const size_t total = end + static_cast<size_t>(kSilenceSeconds * kSampleRate);
    for (std::vector<float>* c : channels) {
        c->resize(total, 0.0f);
        for (size_t i = 0; i < fade; ++i) {
            const double g = 0.5 + 0.5 * std::cos(std::numbers::pi * static_cast<double>(i + 1) / fade);
            (*c)[fadeStart + i] = static_cast<float>((*c)[fadeStart + i] * g);
        }
        std::fill(c->begin() + static_cast<std::ptrdiff_t>(end), c->end(), 0.0f);
    }
    return fadeStart;
}

// Scales the channels to the loudness target, or lower if the peak would
// pass the limit. Returns whether the limit decided.
bool setLevel(std::vector<std::vector<float>*> channels, double targetDb, double& loudness, double& peakDb) {
    std::vector<const float*> ptrs;
    float peak = 0.0f;
    for (const std::vector<float>* c : channels) {
        ptrs.push_back(c->data());
        peak = std::max(peak, peakOf(*c));
    }
    const size_t window =
        std::min(channels.front()->size(), static_cast<size_t>(kLoudnessSeconds * kSampleRate));
    const double measured = bellmeasure::loudnessDb(ptrs, window, kSampleRate);
    double gain = std::pow(10.0, (targetDb - measured) / 20.0);
    const bool limited = peak * gain > kPeakLimit;
    if (limited) {
        gain = kPeakLimit / peak;
    }
    for (std::vector<float>* c : channels) {
        for (float& v : *c) {
            v = static_cast<float>(v * gain);
        }
    }
    loudness = measured + toDb(gain);
    peakDb = toDb(peak * gain);
    return limited;
}

} // namespace

MasteredBell masterBell(const BellVoice& voice) {
    // The strike is the loudest moment; a short first rendering finds its
    // peak, which fixes how far the ring must be rendered.
    const StereoBuffer probe = renderBell(voice, static_cast<size_t>(0.5 * kSampleRate));
    const double probePeak = std::max(peakOf(probe.left), peakOf(probe.right));
    const size_t longest = static_cast<size_t>(180.0 * kSampleRate);
    const size_t frames = std::min(ringEndFrame(voice, probePeak, kEndBelowPeakDb - 3.0), longest) +
                          static_cast<size_t>(0.5 * kSampleRate);

    MasteredBell m;
    m.stereo = renderBell(voice, frames);
    const double peak = std::max(peakOf(m.stereo.left), peakOf(m.stereo.right));
    const size_t end = std::min(ringEndFrame(voice, peak, kEndBelowPeakDb), frames);
    m.mono.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        m.mono[i] = 0.5f * (m.stereo.left[i] + m.stereo.right[i]);
    }
    const bool stereoLimited =
        setLevel({&m.stereo.left, &m.stereo.right}, voice.loudnessDb, m.stereoLoudnessDb, m.stereoPeakDb);
    const bool monoLimited = setLevel({&m.mono}, voice.loudnessDb, m.monoLoudnessDb, m.monoPeakDb);
    m.limited = stereoLimited || monoLimited;
    m.stereoFadeStart = trimAndFade({&m.stereo.left, &m.stereo.right}, end);
    m.monoFadeStart = trimAndFade({&m.mono}, end);
    return m;
}

std::vector<std::int16_t> toPcm16(const std::vector<const float*>& channels, size_t frames, size_t fadeStart,
                                  std::uint64_t seed) {
    Random rng(seed);
    const size_t count = channels.size();
    const size_t fade = static_cast<size_t>(kFadeSeconds * kSampleRate);
    std::vector<std::int16_t> out(frames * count);
    for (size_t i = 0; i < frames; ++i) {
        double ditherGain = 1.0;
        if (i >= fadeStart + fade) {
            ditherGain = 0.0;
        } else if (i >= fadeStart) {
            ditherGain =
                0.5 + 0.5 * std::cos(std::numbers::pi * static_cast<double>(i - fadeStart + 1) / fade);
        }
        for (size_t c = 0; c < count; ++c) {
            const double dither = (rng.unit() - rng.unit()) * ditherGain;
            const double v = std::nearbyint(static_cast<double>(channels[c][i]) * 32767.0 + dither);
            out[i * count + c] = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
        }
    }
    return out;
}

std::string writeWav16(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels,
                       int sampleRate) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(temp.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return temp + ": " + sf_strerror(nullptr);
    }
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size() / static_cast<size_t>(channels));
    const sf_count_t written = sf_writef_short(file, interleaved.data(), frames);
    std::string error;
    if (written != frames) {
        error = temp + ": " + sf_strerror(file);
    }
    if (sf_close(file) != 0 && error.empty()) {
        error = temp + ": could not be closed";
    }
    std::error_code ec;
    if (error.empty()) {
        std::filesystem::rename(temp, path, ec);
        if (ec) {
            error = path + ": " + ec.message();
        }
    }
    if (!error.empty()) {
        std::filesystem::remove(temp, ec);
    }
    return error;
}

std::string sampleFileName(int bell) {
    const int number = bell + 1;
    return "bell" + std::string(number < 10 ? "0" : "") + std::to_string(number) + ".wav";
}

} // namespace bellsynth
