#pragma once

#include "playback/audio/Sample.h"

#include <memory>
#include <string>

namespace audio {

// Decodes a WAV or MP3 file with libsndfile and converts it to `outputRate`
// with the best-quality converter of libsamplerate. Mono files stay mono;
// files with more than two channels keep their first two. Returns null and
// sets `error` when the file cannot be opened or decoded.
std::shared_ptr<const Sample> decodeSample(const std::string& path, int outputRate,
                                           std::string* error = nullptr);

// Builds a sample from frames already at the output rate (interleaved,
// `channels` 1 or 2), computing its envelope.
std::shared_ptr<const Sample> makeSample(std::string path, int channels, int sampleRate,
                                         std::vector<float> data);

} // namespace audio
