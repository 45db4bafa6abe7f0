#include "playback/audio/NullDriver.h"

#include "playback/audio/Mixer.h"

namespace audio {

NullDriver::NullDriver(int sampleRate, int bufferFrames)
    : m_sampleRate(sampleRate), m_bufferFrames(bufferFrames),
      m_buffer(static_cast<std::size_t>(2 * bufferFrames)) {}

NullDriver::~NullDriver() {
    stop();
}

void NullDriver::start(Mixer& mixer) {
    if (m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stopping = false;
    }
    m_thread = std::thread([this, &mixer] { run(mixer); });
}

void NullDriver::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void NullDriver::renderDue(Mixer& mixer, std::chrono::nanoseconds elapsed) {
    // The frame that is due now, in whole frames (64-bit: no overflow for
    // centuries of running).
    const std::int64_t due = elapsed.count() / 1000 * m_sampleRate / 1000000;
    std::int64_t rendered = m_rendered.load(std::memory_order_relaxed);
    while (rendered <= due) {
        mixer.render(m_buffer.data(), m_bufferFrames);
        rendered += m_bufferFrames;
        m_rendered.store(rendered, std::memory_order_release);
    }
}

void NullDriver::run(Mixer& mixer) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        lock.unlock();
        renderDue(mixer, Clock::now() - begin);
        lock.lock();
        const std::int64_t next = m_rendered.load(std::memory_order_relaxed);
        const auto nextDue = begin + std::chrono::microseconds(next * 1000000 / m_sampleRate);
        // The mutex is held only to sleep on; rendering never waits on it.
        m_wake.wait_until(lock, nextDue, [this] { return m_stopping; });
    }
}

} // namespace audio
