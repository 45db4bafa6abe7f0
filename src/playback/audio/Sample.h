#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace audio {

// One decoded sound, at the rate the mixer's voices run at (the samples' own
// when the mixer interpolates to the device's rate). Immutable once built: the
// cache shares it between every voice that plays it, and the mixer reads it
// from the audio thread without any lock.
//
// The frames are held as 16-bit integers, half the memory of float: the
// installation's samples are 16-bit, so a file at the output rate is held
// exactly. A file converted to another rate is rounded to 16 bits after the
// conversion (the converter works in float). Each sample has its own step
// (`scale`, see sampleScaleFor): a sound that overshoots full scale is held
// with a coarser step instead of clipping, a quiet one with a finer step.
struct Sample {
    // Frames per envelope entry: the envelope is the coarse level curve used
    // to find the most decayed voice when the pool is full.
    static constexpr int kEnvelopeBlock = 512;
    // The value of one step of a sample that fits full scale.
    static constexpr float kUnitScale = 1.0f / 32768.0f;

    std::string path;
    int channels = 0; // 1 or 2
    int sampleRate = 0;
    std::int64_t frames = 0;
    std::vector<std::int16_t> data; // interleaved, frames * channels values
    float scale = kUnitScale;       // the float value of one step of data
    std::vector<float> envelope;    // peak magnitude of each block of kEnvelopeBlock frames

    // Value `index` of the interleaved data as float.
    float valueAt(std::size_t index) const { return static_cast<float>(data[index]) * scale; }

    std::size_t bytes() const { return data.size() * sizeof(std::int16_t) + envelope.size() * sizeof(float); }

    // The sample's level around frame `position` (0 past its end).
    float levelAt(std::int64_t position) const {
        if (position < 0) {
            position = 0;
        }
        const std::int64_t block = position / kEnvelopeBlock;
        return block < static_cast<std::int64_t>(envelope.size()) ? envelope[static_cast<std::size_t>(block)]
                                                                  : 0.0f;
    }
};

// The step that holds values from `lowest` (<= 0) to `highest` (>= 0) in 16
// bits: the finest power of two that fits them. Full-scale 16-bit audio gets
// 1/32768, so it is held exactly; a quieter sound keeps finer steps, and a
// converted sound that overshoots full scale gets coarser ones instead of
// clipping. A power of two keeps the mixer's products exact.
inline float sampleScaleFor(float highest, float lowest) {
    const float peak = std::max(highest, -lowest);
    if (!(peak > 0.0f) || !std::isfinite(peak)) {
        return Sample::kUnitScale;
    }
    int exponent = 0;
    std::frexp(peak, &exponent); // peak < 2^exponent
    float scale = std::ldexp(1.0f, exponent - 15);
    const auto fits = [highest, lowest](float step) {
        return highest / step <= 32767.0f && lowest / step >= -32768.0f;
    };
    if (fits(scale * 0.5f)) {
        scale *= 0.5f;
    } else if (!fits(scale)) {
        scale *= 2.0f;
    }
    return scale;
}

// One float value rounded to a step of `scale` (clamped to 16 bits).
inline std::int16_t quantizeSampleValue(float value, float inverseScale) {
    float scaled = value * inverseScale;
    scaled = scaled < -32768.0f ? -32768.0f : (scaled > 32767.0f ? 32767.0f : scaled);
#if defined(__SSE2__)
    return static_cast<std::int16_t>(_mm_cvtss_si32(_mm_set_ss(scaled))); // to nearest, without a call
#else
    return static_cast<std::int16_t>(std::lrint(scaled));
#endif
}

} // namespace audio
