#pragma once

#include "playback/audio/Sample.h"

#include <memory>
#include <string>

namespace audio {

// The sinc converters of libsamplerate, slowest and best first.
enum class Converter { Best, Medium, Fastest };

// The converter samples are brought to the output rate with. The medium
// converter keeps a passband to 90 % of the lower rate's Nyquist frequency
// (19.8 kHz at 44.1 kHz) with the same stop-band attenuation as the best one,
// and converts a long bell several times faster.
inline constexpr Converter kSampleConverter = Converter::Medium;

// Decodes a WAV, FLAC or MP3 file with libsndfile and converts it to `outputRate`
// with `converter`. Mono files stay mono; files with more than two channels
// keep their first two. Returns null and sets `error` when the file cannot be
// opened or decoded.
std::shared_ptr<const Sample> decodeSample(const std::string& path, int outputRate,
                                           std::string* error = nullptr,
                                           Converter converter = kSampleConverter);

// Builds a sample from float frames already at the output rate (interleaved,
// `channels` 1 or 2): rounds them to 16 bits (see Sample) and computes the
// envelope.
std::shared_ptr<const Sample> makeSample(std::string path, int channels, int sampleRate,
                                         const std::vector<float>& data);

} // namespace audio
