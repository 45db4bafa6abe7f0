#pragma once

#include "playback/audio/RateInterpolator.h"
#include "playback/audio/Sample.h"
#include "playback/audio/SoftLimiter.h"
#include "playback/audio/SpscQueue.h"
#include "playback/audio/VoiceStream.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace audio {

// A voice the control thread has opened: an index into the mixer's table of
// open voices, valid from openVoice until close.
using VoiceHandle = std::uint32_t;

// Target frame of a start that should sound at the next frame rendered.
inline constexpr std::int64_t kStartNow = std::numeric_limits<std::int64_t>::min();

struct MixerConfig {
    int sampleRate = 48000;
    // The rate the voices are mixed at, that of the samples they play (0:
    // the device's). When it differs and the interpolator serves the pair
    // (RateInterpolator::serves), the voices' sum is brought to the device
    // rate as it is rendered, so no sample is converted before it plays.
    int voiceRate = 0;
    // Voices that sound at once; one more start takes over the quietest.
    int voices = 256;
    // Voices that may be open at once (sounding or not).
    int handles = 65600;
    // Length of the fade of a voice that is stopped or taken over.
    double fadeMilliseconds = 5.0;
    // Gain of the sum of the voices before the master volume and the limiter:
    // headroom, so that a full ringing does not sit on the limiter.
    float busGain = 1.0f;
};

// What the mixer did with one start, for measurements: the frame asked for
// (kStartNow for "at once") and the frame the voice actually began on.
struct StartReport {
    VoiceHandle handle = 0;
    std::uint32_t instance = 0;
    const Sample* sample = nullptr;
    std::int64_t targetFrame = 0;
    std::int64_t startFrame = 0;
};

// The voice pool and the master bus. One control thread opens, plays, asks
// about and closes voices; one audio thread calls render(). The two meet only
// in a lock-free command queue (control -> audio), one atomic state word per
// open voice (written by both, compare-and-swap on the audio side), the
// frame clock and a few counters.
class Mixer {
public:
    explicit Mixer(const MixerConfig& config);
    ~Mixer();

    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // ---- audio thread ----
    // Fills `frames` interleaved stereo float frames. See Mixer.cpp for what
    // it may and may not do.
    void render(float* out, int frames) noexcept;

    // ---- control thread ----
    // Reserves a voice on a decoded sample, which must outlive the mixer (the
    // sample cache keeps every sample it has decoded). Empty when every
    // handle is taken.
    std::optional<VoiceHandle> openVoice(const Sample* sample);
    // Reserves a voice that plays a stream as it is decoded. The stream must
    // live while stream->heldByMixer() (the voice streamer sees to that). A
    // stream plays once: a second play goes on from where it is.
    std::optional<VoiceHandle> openVoice(VoiceStream* stream);
    // Starts the voice at `targetFrame` of the frame clock (kStartNow: at the
    // next rendered frame). A voice that is still sounding is restarted.
    // False when the handle is not open or the command queue is full.
    // A kept voice (spoken commentary) is never taken over when the pool is
    // full: a pause in speech must not count as a voice that has died away.
    bool play(VoiceHandle handle, std::int64_t targetFrame = kStartNow, float gain = 1.0f, bool keep = false);
    // True from play() until the voice has rendered its last frame (or was
    // stopped or taken over): a voice waiting for its target frame counts.
    bool isPlaying(VoiceHandle handle) const;
    bool isOpen(VoiceHandle handle) const;
    const Sample* sampleOf(VoiceHandle handle) const;
    // Releases the handle; a voice still sounding fades out quickly.
    void close(VoiceHandle handle);
    int openVoices() const { return m_openCount; }

    // Start reports are collected only while enabled (off by default).
    void setStartReports(bool enabled) { m_reportsEnabled.store(enabled, std::memory_order_relaxed); }
    bool takeStartReport(StartReport& report) { return m_reports.pop(report); }

    // Master gain per channel as the 16-bit device volume: 0 silent,
    // 65535 unity. Any thread.
    void setMasterVolume(std::uint16_t left, std::uint16_t right);
    std::uint16_t masterVolumeLeft() const { return m_volumeLeft.load(std::memory_order_relaxed); }
    std::uint16_t masterVolumeRight() const { return m_volumeRight.load(std::memory_order_relaxed); }

    // ---- any thread ----
    int sampleRate() const { return m_sampleRate; }
    // The rate samples and streams must be at to play at the right pitch.
    int voiceRate() const { return m_voiceRate; }
    // The voice rate a device rate gets when the samples are at `samplesRate`:
    // theirs when the interpolator serves the pair, the device's otherwise.
    static int voiceRateFor(int samplesRate, int deviceRate);
    int voiceLimit() const { return m_voiceLimit; }
    // Frames rendered so far: the frame the next block starts on.
    std::int64_t frameClock() const { return m_frameClock.load(std::memory_order_acquire); }
    // Voices sounding or waiting for their frame after the latest block.
    int activeVoices() const { return m_activeVoices.load(std::memory_order_acquire); }
    bool commandsPending() const { return !m_commands.empty(); }
    // Starts whose target frame had already passed when they reached the mixer.
    std::uint64_t lateStarts() const { return m_lateStarts.load(std::memory_order_relaxed); }
    // Voices stopped before their first frame sounded (withdrawn strikes).
    std::uint64_t withdrawnVoices() const { return m_withdrawn.load(std::memory_order_relaxed); }
    // Voices taken over because the pool was full.
    std::uint64_t takenOverVoices() const { return m_takenOver.load(std::memory_order_relaxed); }
    // Blocks in which a streamed voice had run dry before its end (and
    // played silence for the frames it lacked).
    std::uint64_t streamUnderruns() const { return m_streamUnderruns.load(std::memory_order_relaxed); }
    // Start reports lost because nobody collected them.
    std::uint64_t droppedReports() const { return m_droppedReports.load(std::memory_order_relaxed); }
    // The master limiter's envelope: audio-thread state, read only while
    // nothing renders (offline rendering, tests).
    float limiterEnvelope() const { return m_limiter.envelope(); }

private:
    struct Command {
        enum Kind : std::uint8_t { kStart, kStop };
        Kind kind = kStart;
        VoiceHandle handle = 0;
        std::uint32_t instance = 0;
        const Sample* sample = nullptr;
        VoiceStream* stream = nullptr;
        float gain = 1.0f;
        std::int64_t targetFrame = 0;
        bool keep = false;
    };

    struct Voice {
        const Sample* sample = nullptr; // one of sample and stream
        VoiceStream* stream = nullptr;
        std::int64_t position = 0;   // next frame of the sample to play (frames played of a stream)
        std::int64_t startFrame = 0; // frame of the clock its first frame sounds on
        float gain = 1.0f;
        float fade = 1.0f;     // multiplies the gain
        float fadeStep = 0.0f; // per frame; non-zero while fading out
        VoiceHandle handle = 0;
        std::uint32_t instance = 0;
        bool keep = false; // never taken over
    };

    struct HandleInfo {
        const Sample* sample = nullptr;
        VoiceStream* stream = nullptr;
        std::uint32_t instance = 0;
        bool open = false;
    };

    enum State : std::uint32_t { kClosed = 0, kOpen = 1, kPlaying = 2, kFinished = 3 };

    static std::uint64_t pack(std::uint32_t instance, State state) {
        return (static_cast<std::uint64_t>(instance) << 32) | state;
    }
    State stateOf(VoiceHandle handle) const;
    bool validHandle(VoiceHandle handle) const { return handle < m_handleInfo.size(); }

    // Audio thread only.
    void drainCommands(std::int64_t blockStart) noexcept;
    void startVoice(const Command& command, std::int64_t blockStart) noexcept;
    void stopVoice(const Command& command, std::int64_t blockStart) noexcept;
    void takeOverQuietest() noexcept;
    int allocateSlot() noexcept;
    void removeActive(int activeIndex) noexcept;
    void markFinished(const Voice& voice) noexcept;
    void beginFade(Voice& voice) noexcept;
    bool steadyThrough(const Voice& voice, int frames, std::int64_t blockStart) const noexcept;
    bool mixVoice(Voice& voice, float* out, int frames, std::int64_t blockStart) noexcept;
    bool mixStream(Voice& voice, float* dst, int frames) noexcept;
    static int mixFrames(Voice& voice, float* dst, const std::int16_t* src, int channels, int frames,
                         float scale) noexcept;
    static float levelOf(const Voice& voice) noexcept;
    static void releaseStream(VoiceStream* stream) noexcept;
    void applyMasterBus(float* out, int frames) noexcept;
    void mixVoices(float* out, int frames) noexcept;
    void mixInterpolated(float* out, int frames) noexcept;
    std::int64_t toVoiceFrame(std::int64_t deviceFrame) const noexcept;
    std::int64_t toDeviceFrame(std::int64_t voiceFrame) const noexcept;

    const int m_sampleRate;
    const int m_voiceRate;
    const int m_voiceLimit;
    const float m_fadeFrames;

    // Shared between the threads.
    SpscQueue<Command, 8192> m_commands;
    SpscQueue<StartReport, 8192> m_reports;
    std::unique_ptr<std::atomic<std::uint64_t>[]> m_handleState;
    std::atomic<std::int64_t> m_frameClock{0};
    std::atomic<int> m_activeVoices{0};
    std::atomic<std::uint16_t> m_volumeLeft{65535};
    std::atomic<std::uint16_t> m_volumeRight{65535};
    std::atomic<bool> m_reportsEnabled{false};
    std::atomic<std::uint64_t> m_lateStarts{0};
    std::atomic<std::uint64_t> m_takenOver{0};
    std::atomic<std::uint64_t> m_withdrawn{0};
    std::atomic<std::uint64_t> m_droppedReports{0};
    std::atomic<std::uint64_t> m_streamUnderruns{0};

    // Control thread only.
    std::vector<HandleInfo> m_handleInfo;
    std::vector<VoiceHandle> m_freeHandles;
    int m_openCount = 0;

    // Audio thread only; sized once in the constructor.
    std::vector<Voice> m_voices;
    std::vector<int> m_active; // slots of the voices in use, m_activeCount of them
    std::vector<int> m_free;   // free slots, m_freeCount of them
    int m_activeCount = 0;
    int m_freeCount = 0;
    int m_unfaded = 0; // active voices not fading out
    // The voices of a block that sound through it at a steady gain, mixed
    // together a few frames at a time (see voiceloop::addSteady).
    std::vector<const std::int16_t*> m_steadyStereo;
    std::vector<float> m_steadyStereoGain;
    std::vector<const std::int16_t*> m_steadyMono;
    std::vector<float> m_steadyMonoGain;
    std::int64_t m_frame = 0; // voice frames mixed so far
    // Between a voice rate and another device rate: the voices' sum, kept
    // from the first input frame the next output frame reads (m_busStart)
    // up to m_frame, and the device frames rendered so far.
    std::unique_ptr<RateInterpolator> m_interpolator;
    std::vector<float> m_bus;
    std::int64_t m_busStart = 0;
    std::int64_t m_deviceFrame = 0;
    float m_gainLeft = 1.0f;
    float m_gainRight = 1.0f;
    float m_busGain = 1.0f;
    SoftLimiter m_limiter;
};

} // namespace audio
