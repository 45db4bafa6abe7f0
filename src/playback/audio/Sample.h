#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace audio {

// One decoded sound, already at the output rate. Immutable once built: the
// cache shares it between every voice that plays it, and the mixer reads it
// from the audio thread without any lock.
struct Sample {
    // Frames per envelope entry: the envelope is the coarse level curve used
    // to find the most decayed voice when the pool is full.
    static constexpr int kEnvelopeBlock = 512;

    std::string path;
    int channels = 0; // 1 or 2
    int sampleRate = 0;
    std::int64_t frames = 0;
    std::vector<float> data;     // interleaved, frames * channels values
    std::vector<float> envelope; // peak magnitude of each block of kEnvelopeBlock frames

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

} // namespace audio
