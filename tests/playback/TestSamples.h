#pragma once

// Sound files and readers for the playback tests: every sample is made here,
// so that a test knows exactly which bell a frame of the output came from.

#include <sndfile.h>

#include <QDir>
#include <QString>

#include <cmath>
#include <string>
#include <vector>

namespace testsamples {

// Writes a float WAV (mono or stereo, interleaved values).
inline bool writeWav(const QString& path, const std::vector<float>& values, int channels, int rate = 48000) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.toStdString().c_str(), SFM_WRITE, &info);
    if (!file) {
        return false;
    }
    const sf_count_t frames = static_cast<sf_count_t>(values.size()) / channels;
    const bool ok = sf_writef_float(file, values.data(), frames) == frames;
    sf_close(file);
    return ok;
}

// The mark of bell b: a single value 2^b / 65536 on the sample's first frame.
// Bells struck on one frame add up to a bit mask of the bells.
inline float bellMark(int bell) {
    return std::ldexp(1.0f, bell - 16);
}

// A mono sample of `frames` frames: the bell's mark, then silence.
inline std::vector<float> markedClick(int bell, int frames) {
    std::vector<float> values(static_cast<std::size_t>(frames), 0.0f);
    values[0] = bellMark(bell);
    return values;
}

inline QString bellFileName(int bell) {
    return QStringLiteral("bell %1.wav").arg(bell, 2, 10, QLatin1Char('0'));
}

// One marked click per bell in `folder` ("bell 00.wav" .. "bell 14.wav": the
// names hold a blank on purpose).
inline bool writeMarkedBells(const QString& folder, int frames) {
    QDir().mkpath(folder);
    for (int bell = 0; bell < 15; ++bell) {
        if (!writeWav(folder + bellFileName(bell), markedClick(bell, frames), 1)) {
            return false;
        }
    }
    return true;
}

struct Wav {
    int channels = 0;
    int rate = 0;
    std::vector<float> values;
    std::size_t frames() const { return channels ? values.size() / static_cast<std::size_t>(channels) : 0; }
    float left(std::size_t frame) const { return values[frame * static_cast<std::size_t>(channels)]; }
};

inline Wav readWav(const QString& path) {
    Wav wav;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toStdString().c_str(), SFM_READ, &info);
    if (!file) {
        return wav;
    }
    wav.channels = info.channels;
    wav.rate = info.samplerate;
    wav.values.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, wav.values.data(), info.frames);
    sf_close(file);
    return wav;
}

// Bell sets marked on each frame of the left channel that is not silent:
// (frame, bit mask of bells). busGain: the gain the output went through.
inline std::vector<std::pair<std::size_t, int>> markedOnsets(const Wav& wav, float busGain = 1.0f) {
    std::vector<std::pair<std::size_t, int>> onsets;
    for (std::size_t frame = 0; frame < wav.frames(); ++frame) {
        const float value = wav.left(frame);
        if (value != 0.0f) {
            onsets.emplace_back(frame, static_cast<int>(std::lround(value / busGain * 65536.0f)));
        }
    }
    return onsets;
}

} // namespace testsamples
