#include "playback/audio/VoiceStreamer.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace audio {

// The open file and the rate converter of a stream, used by the streamer's
// thread alone and dropped as soon as the last block is in the ring.
struct VoiceStreamer::Stream::Decoder {
    SNDFILE* file = nullptr;
    SRC_STATE* converter = nullptr;
    int fileChannels = 0;
    int channels = 0;
    double ratio = 1.0;
    std::int64_t outCapacity = 0; // output frames one block can give
    std::vector<float> raw;       // a block as read, every channel of the file
    std::vector<float> kept;      // the same block, the channels that play
    std::vector<float> converted;
    std::int64_t pending = 0; // frames of `kept` not yet converted
    std::int64_t offset = 0;
    bool inputEnded = false;
    bool done = false;

    ~Decoder() {
        if (converter) {
            src_delete(converter);
        }
        if (file) {
            sf_close(file);
        }
    }
};

VoiceStreamer::Stream::Stream(std::string path) : m_path(std::move(path)) {}
VoiceStreamer::Stream::~Stream() = default;

VoiceStreamer::VoiceStreamer(int outputRate) : m_outputRate(outputRate) {}

VoiceStreamer::~VoiceStreamer() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    // A stream still held elsewhere keeps its ring; it only loses its decoder.
    for (const auto& stream : m_streams) {
        stream->m_decoder.reset();
        if (stream->state() == State::Opening) {
            stream->m_state.store(State::Failed, std::memory_order_release);
        }
    }
}

std::shared_ptr<VoiceStreamer::Stream> VoiceStreamer::open(const std::string& path) {
    std::shared_ptr<Stream> stream(new Stream(path));
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            stream->m_error = path + ": the streamer is stopping";
            stream->m_state.store(State::Failed, std::memory_order_release);
            return stream;
        }
        m_streams.push_back(stream);
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { run(); });
        }
    }
    m_wake.notify_one();
    return stream;
}

int VoiceStreamer::liveStreams() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_streams.size());
}

void VoiceStreamer::run() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        // Held by nobody but this list and played by no voice: let it go.
        std::vector<std::shared_ptr<Stream>> dropped;
        const auto unused = [](const std::shared_ptr<Stream>& stream) {
            return stream.use_count() == 1 && !(stream->m_ring && stream->m_ring->heldByMixer());
        };
        for (auto& stream : m_streams) {
            if (unused(stream)) {
                dropped.push_back(std::move(stream));
            }
        }
        m_streams.erase(std::remove(m_streams.begin(), m_streams.end(), nullptr), m_streams.end());
        std::vector<std::shared_ptr<Stream>> streams = m_streams;
        lock.unlock();
        dropped.clear(); // freed here, never on the audio thread
        for (const auto& stream : streams) {
            service(*stream);
        }
        streams.clear();
        lock.lock();
        if (m_streams.empty()) {
            // Nothing to decode or free: sleep until a stream is opened.
            m_wake.wait(lock, [this] { return m_stopping || !m_streams.empty(); });
        } else {
            m_wake.wait_for(lock, std::chrono::milliseconds(kWakeMilliseconds));
        }
    }
}

void VoiceStreamer::service(Stream& stream) {
    if (stream.state() == State::Failed) {
        return;
    }
    if (stream.state() == State::Opening && !stream.m_ring && !openFile(stream)) {
        stream.m_state.store(State::Failed, std::memory_order_release);
        return;
    }
    if (stream.m_decoder && !fill(stream)) {
        stream.m_error = stream.m_path + ": " + sf_strerror(stream.m_decoder->file);
        stream.m_decoder.reset();
        stream.m_ring->finish(); // a damaged tail ends the voice where it is
        if (stream.state() == State::Opening) {
            stream.m_state.store(State::Failed, std::memory_order_release);
        }
    }
}

bool VoiceStreamer::openFile(Stream& stream) {
    auto decoder = std::make_unique<Stream::Decoder>();
    SF_INFO info{};
    decoder->file = sf_open(stream.m_path.c_str(), SFM_READ, &info);
    if (!decoder->file) {
        stream.m_error = stream.m_path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        stream.m_error = stream.m_path + ": no audio in the file";
        return false;
    }
    decoder->fileChannels = info.channels;
    decoder->channels = std::min(info.channels, 2);
    decoder->ratio = static_cast<double>(m_outputRate) / info.samplerate;
    if (info.samplerate != m_outputRate) {
        int error = 0;
        // The converter of the sample cache's samples.
        decoder->converter = src_new(SRC_SINC_MEDIUM_QUALITY, decoder->channels, &error);
        if (!decoder->converter || !src_is_valid_ratio(decoder->ratio)) {
            stream.m_error = stream.m_path + ": sample rate conversion failed";
            return false;
        }
    }
    decoder->outCapacity = static_cast<std::int64_t>(std::ceil(kBlockFrames * decoder->ratio)) + 64;
    decoder->raw.resize(static_cast<std::size_t>(kBlockFrames * decoder->fileChannels));
    decoder->kept.resize(static_cast<std::size_t>(kBlockFrames * decoder->channels));
    decoder->converted.resize(static_cast<std::size_t>(decoder->outCapacity * decoder->channels));
    const auto readAhead = static_cast<std::int64_t>(kReadAheadSeconds * m_outputRate);
    stream.m_ring =
        std::make_unique<VoiceStream>(decoder->channels, std::max(readAhead, 2 * decoder->outCapacity));
    stream.m_decoder = std::move(decoder);
    return true;
}

// Decodes blocks while the ring has room for one; false on a read error.
bool VoiceStreamer::fill(Stream& stream) {
    Stream::Decoder& d = *stream.m_decoder;
    VoiceStream& ring = *stream.m_ring;
    const auto prime = static_cast<std::int64_t>(kPrimeSeconds * m_outputRate);
    while (!d.done && ring.writable() >= d.outCapacity) {
        if (d.pending == 0 && !d.inputEnded) {
            const sf_count_t got = sf_readf_float(d.file, d.raw.data(), kBlockFrames);
            if (got < 0 || (got == 0 && sf_error(d.file) != SF_ERR_NO_ERROR)) {
                return false;
            }
            d.inputEnded = got == 0;
            for (sf_count_t f = 0; f < got; ++f) {
                for (int c = 0; c < d.channels; ++c) {
                    d.kept[static_cast<std::size_t>(f * d.channels + c)] =
                        d.raw[static_cast<std::size_t>(f * d.fileChannels + c)];
                }
            }
            d.pending = got;
            d.offset = 0;
        }
        if (!d.converter) {
            ring.write(d.kept.data(), d.pending);
            d.pending = 0;
            d.done = d.inputEnded;
        } else {
            SRC_DATA job{};
            job.data_in = d.kept.data() + d.offset * d.channels;
            job.input_frames = static_cast<long>(d.pending);
            job.data_out = d.converted.data();
            job.output_frames = static_cast<long>(d.outCapacity);
            job.src_ratio = d.ratio;
            job.end_of_input = d.inputEnded ? 1 : 0;
            if (src_process(d.converter, &job) != 0) {
                return false;
            }
            ring.write(d.converted.data(), job.output_frames_gen);
            d.offset += job.input_frames_used;
            d.pending -= job.input_frames_used;
            d.done = d.inputEnded && d.pending == 0 && job.output_frames_gen == 0;
        }
        if (stream.state() == State::Opening && ring.framesWritten() >= prime) {
            stream.m_state.store(State::Ready, std::memory_order_release);
        }
    }
    if (d.done) {
        ring.finish();
        stream.m_state.store(State::Ready, std::memory_order_release);
        stream.m_decoder.reset(); // the file and the converter are no longer needed
    }
    return true;
}

} // namespace audio
