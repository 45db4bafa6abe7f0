#include "playback/audio/SampleDecoder.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

void setError(std::string* error, std::string text) {
    if (error) {
        *error = std::move(text);
    }
}

// Reads every frame, keeping at most two channels. The frame count in the
// header is not trusted (compressed formats only estimate it).
bool readAll(SNDFILE* file, int fileChannels, int keptChannels, std::vector<float>& out) {
    constexpr sf_count_t kChunkFrames = 16384;
    std::vector<float> chunk(static_cast<std::size_t>(kChunkFrames * fileChannels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file, chunk.data(), kChunkFrames);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        for (sf_count_t f = 0; f < got; ++f) {
            for (int c = 0; c < keptChannels; ++c) {
                out.push_back(chunk[static_cast<std::size_t>(f * fileChannels + c)]);
            }
        }
    }
    return sf_error(file) == SF_ERR_NO_ERROR;
}

int converterType(Converter converter) {
    switch (converter) {
    case Converter::Best:
        return SRC_SINC_BEST_QUALITY;
    case Converter::Medium:
        return SRC_SINC_MEDIUM_QUALITY;
    case Converter::Fastest:
        break;
    }
    return SRC_SINC_FASTEST;
}

bool resample(std::vector<float>& data, int channels, int fromRate, int toRate, Converter converter,
              std::string* error) {
    const long inFrames = static_cast<long>(data.size() / static_cast<std::size_t>(channels));
    const double ratio = static_cast<double>(toRate) / static_cast<double>(fromRate);
    const long outCapacity = static_cast<long>(std::ceil(static_cast<double>(inFrames) * ratio)) + 64;
    std::vector<float> out(static_cast<std::size_t>(outCapacity) * static_cast<std::size_t>(channels));
    SRC_DATA job{};
    job.data_in = data.data();
    job.input_frames = inFrames;
    job.data_out = out.data();
    job.output_frames = outCapacity;
    job.src_ratio = ratio;
    job.end_of_input = 1;
    const int result = src_simple(&job, converterType(converter), channels);
    if (result != 0) {
        setError(error, std::string("sample rate conversion failed: ") + src_strerror(result));
        return false;
    }
    out.resize(static_cast<std::size_t>(job.output_frames_gen) * static_cast<std::size_t>(channels));
    data = std::move(out);
    return true;
}

} // namespace

std::shared_ptr<const Sample> makeSample(std::string path, int channels, int sampleRate,
                                         const std::vector<float>& data) {
    auto sample = std::make_shared<Sample>();
    sample->path = std::move(path);
    sample->channels = channels;
    sample->sampleRate = sampleRate;
    sample->frames = static_cast<std::int64_t>(data.size() / static_cast<std::size_t>(channels));
    const std::int64_t blocks = (sample->frames + Sample::kEnvelopeBlock - 1) / Sample::kEnvelopeBlock;
    sample->envelope.assign(static_cast<std::size_t>(blocks), 0.0f);
    float highest = 0.0f;
    float lowest = 0.0f;
    for (std::int64_t f = 0; f < sample->frames; ++f) {
        float& block = sample->envelope[static_cast<std::size_t>(f / Sample::kEnvelopeBlock)];
        for (int c = 0; c < channels; ++c) {
            const float value = data[static_cast<std::size_t>(f * channels + c)];
            block = std::max(block, std::fabs(value));
            highest = std::max(highest, value);
            lowest = std::min(lowest, value);
        }
    }
    sample->scale = sampleScaleFor(highest, lowest);
    const float inverse = 1.0f / sample->scale;
    const std::size_t values = static_cast<std::size_t>(sample->frames) * static_cast<std::size_t>(channels);
    sample->data.resize(values);
    for (std::size_t i = 0; i < values; ++i) {
        sample->data[i] = quantizeSampleValue(data[i], inverse);
    }
    return sample;
}

std::shared_ptr<const Sample> decodeSample(const std::string& path, int outputRate, std::string* error,
                                           Converter converter) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        setError(error, path + ": " + sf_strerror(nullptr));
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        setError(error, path + ": no audio in the file");
        return nullptr;
    }
    const int channels = std::min(info.channels, 2);
    std::vector<float> data;
    if (info.frames > 0) {
        data.reserve(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(channels));
    }
    if (!readAll(file.get(), info.channels, channels, data)) {
        setError(error, path + ": " + sf_strerror(file.get()));
        return nullptr;
    }
    file.reset();
    if (data.empty()) {
        setError(error, path + ": no audio in the file");
        return nullptr;
    }
    if (info.samplerate != outputRate &&
        !resample(data, channels, info.samplerate, outputRate, converter, error)) {
        return nullptr;
    }
    return makeSample(path, channels, outputRate, data);
}

} // namespace audio
