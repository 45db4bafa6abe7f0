#pragma once

#include "playback/audio/Sample.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace audio {

// A ring of 16-bit frames at the output rate between one decoder thread
// (writes) and the mixer's audio thread (reads), without locks: a long sound
// (spoken commentary) plays from it while it is being decoded, so it never
// sits whole in memory. The ring is sized once, before either side uses it.
//
// Values carry 6 dB of headroom (a step of 1/16384): a decoded MP3 may
// overshoot full scale, and the stream cannot scale down a peak it has not
// read yet.
class VoiceStream {
public:
    static constexpr float kScale = 1.0f / 16384.0f;

    VoiceStream(int channels, std::int64_t capacityFrames)
        : m_channels(channels), m_capacity(capacityFrames),
          m_ring(static_cast<std::size_t>(capacityFrames * channels)) {}

    VoiceStream(const VoiceStream&) = delete;
    VoiceStream& operator=(const VoiceStream&) = delete;

    int channels() const { return m_channels; }
    std::int64_t capacity() const { return m_capacity; }
    std::size_t bytes() const { return m_ring.size() * sizeof(std::int16_t); }

    // ---- decoder side ----
    std::int64_t writable() const {
        return m_capacity -
               (m_written.load(std::memory_order_relaxed) - m_read.load(std::memory_order_acquire));
    }
    // Appends `frames` frames (at most writable()), rounding each value.
    void write(const float* values, std::int64_t frames) {
        const float inverse = 1.0f / kScale;
        std::int64_t at = m_written.load(std::memory_order_relaxed);
        for (std::int64_t f = 0; f < frames; ++f, ++at) {
            std::int16_t* slot = &m_ring[static_cast<std::size_t>((at % m_capacity) * m_channels)];
            for (int c = 0; c < m_channels; ++c) {
                slot[c] = quantizeSampleValue(values[f * m_channels + c], inverse);
            }
        }
        m_written.store(at, std::memory_order_release);
    }
    // No more frames will come: the voice ends when it has played them all.
    void finish() { m_finished.store(true, std::memory_order_release); }

    // ---- audio side ----
    // The frames ready to play that lie in one piece from the read position.
    const std::int16_t* readSpan(std::int64_t& frames) const {
        const std::int64_t read = m_read.load(std::memory_order_relaxed);
        const std::int64_t ready = m_written.load(std::memory_order_acquire) - read;
        const std::int64_t at = read % m_capacity;
        frames = ready < m_capacity - at ? ready : m_capacity - at;
        return m_ring.data() + at * m_channels;
    }
    void consume(std::int64_t frames) {
        m_read.store(m_read.load(std::memory_order_relaxed) + frames, std::memory_order_release);
    }
    // Every frame has been written and played.
    bool drained() const {
        return m_finished.load(std::memory_order_acquire) &&
               m_read.load(std::memory_order_relaxed) == m_written.load(std::memory_order_acquire);
    }

    // ---- any thread ----
    std::int64_t framesWritten() const { return m_written.load(std::memory_order_acquire); }
    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // Starts the mixer holds on this stream (queued or sounding): the stream
    // must live while it is non-zero. The control thread adds one before it
    // queues a start; the audio thread takes it back when that start has
    // ended or could not be honoured.
    void retain() { m_mixerRefs.fetch_add(1, std::memory_order_relaxed); }
    void release() { m_mixerRefs.fetch_sub(1, std::memory_order_release); }
    bool heldByMixer() const { return m_mixerRefs.load(std::memory_order_acquire) != 0; }
    // Blocks the mixer found the stream empty before its end (each played
    // silence for the missing frames).
    void countUnderrun() { m_underruns.fetch_add(1, std::memory_order_relaxed); }
    std::uint64_t underruns() const { return m_underruns.load(std::memory_order_relaxed); }

private:
    const int m_channels;
    const std::int64_t m_capacity;
    std::vector<std::int16_t> m_ring;
    alignas(64) std::atomic<std::int64_t> m_written{0};
    alignas(64) std::atomic<std::int64_t> m_read{0};
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_mixerRefs{0};
    std::atomic<std::uint64_t> m_underruns{0};
};

} // namespace audio
