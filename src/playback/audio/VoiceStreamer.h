#pragma once

#include "playback/audio/VoiceStream.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace audio {

// Decodes long sounds (spoken commentary) a block at a time on a thread of
// its own into the small ring a mixer voice plays from, instead of holding
// them whole in the sample cache. A speaking voice costs its ring and the
// decoder's state, and nothing once it stops: the streamer frees a stream on
// its own thread once its owner has let go and the mixer no longer plays it.
//
// Sizes: the thread decodes blocks of kBlockFrames frames of the file
// whenever the ring has room for one, and wakes every kWakeMilliseconds; the
// ring holds kReadAheadSeconds at the output rate. Decoding a block of MP3
// speech takes well under a millisecond, so the voice runs dry only when
// the thread is kept from running for more than the read-ahead (less one
// block and one wake), about 1.7 s.
class VoiceStreamer {
public:
    static constexpr int kBlockFrames = 4096;
    static constexpr int kWakeMilliseconds = 20;
    static constexpr double kReadAheadSeconds = 2.0;
    // Frames a stream must hold before its voice may start (or the whole
    // sound when it is shorter): 0.25 s.
    static constexpr double kPrimeSeconds = 0.25;

    enum class State { Opening, Ready, Failed };

    // One stream being decoded. Hold it while its voice may play; the mixer
    // voice plays stream().
    class Stream {
    public:
        State state() const { return m_state.load(std::memory_order_acquire); }
        VoiceStream* stream() const { return m_ring.get(); }
        const std::string& path() const { return m_path; }
        const std::string& error() const { return m_error; } // once Failed

    private:
        friend class VoiceStreamer;
        struct Decoder;
        explicit Stream(std::string path);

        std::string m_path;
        std::atomic<State> m_state{State::Opening};
        std::string m_error;
        std::unique_ptr<VoiceStream> m_ring;
        std::unique_ptr<Decoder> m_decoder;

    public:
        ~Stream();
    };

    explicit VoiceStreamer(int outputRate);
    // Stops the thread and frees every stream's decoder; rings go with the
    // last holder of their stream.
    ~VoiceStreamer();

    VoiceStreamer(const VoiceStreamer&) = delete;
    VoiceStreamer& operator=(const VoiceStreamer&) = delete;

    // Starts decoding `path` (WAV or MP3) and returns at once: the stream is
    // Opening until it holds kPrimeSeconds (or its end), then Ready; Failed
    // when the file cannot be opened or decoded. Close the mixer voice that
    // plays it before letting go of the stream.
    std::shared_ptr<Stream> open(const std::string& path);

    // Streams alive: being decoded, or held by an owner or the mixer.
    int liveStreams() const;

private:
    void run();
    void service(Stream& stream);
    bool openFile(Stream& stream);
    bool fill(Stream& stream);

    const int m_outputRate;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::shared_ptr<Stream>> m_streams;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace audio
