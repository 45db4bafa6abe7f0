#pragma once

#include "playback/audio/OutputDriver.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

// Consumes the mixer's output in real time and throws it away, for a machine
// with no sound device: the program keeps its timing and its voices keep
// starting and ending exactly as they would on a device. Block k of the
// stream is rendered when its first frame is due, k * bufferFrames / rate
// after the start, so the frame clock follows the steady clock without drift.
class NullDriver : public OutputDriver {
public:
    NullDriver(int sampleRate, int bufferFrames);
    ~NullDriver() override;

    const char* name() const override { return "null"; }
    int sampleRate() const override { return m_sampleRate; }
    int bufferFrames() const override { return m_bufferFrames; }
    // Starts the real-time thread.
    void start(Mixer& mixer) override;
    void stop() override;

    // Renders every block due `elapsed` after the start. The thread calls it
    // with the steady clock; tests may drive a driver that was never started.
    void renderDue(Mixer& mixer, std::chrono::nanoseconds elapsed);
    std::int64_t framesRendered() const { return m_rendered.load(std::memory_order_acquire); }

private:
    void run(Mixer& mixer);

    const int m_sampleRate;
    const int m_bufferFrames;
    std::vector<float> m_buffer;
    std::atomic<std::int64_t> m_rendered{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace audio
