#include "practice/KeyEventClock.h"

#include <algorithm>
#include <chrono>

namespace {

// Readings older than this no longer take part: the two clocks may drift apart.
constexpr std::int64_t kReadingMemoryNs = 1'000'000'000;
constexpr size_t kMostReadings = 512;

} // namespace

KeyEventClock::KeyEventClock(int sampleRate) : m_rate(sampleRate > 0 ? sampleRate : 48000) {}

std::int64_t KeyEventClock::steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void KeyEventClock::observe(std::int64_t steadyNs, std::int64_t frame) {
    m_readings.push_back({steadyNs, frame});
    const auto stale = std::find_if(m_readings.begin(), m_readings.end(), [&](const Reading& r) {
        return r.steadyNs >= steadyNs - kReadingMemoryNs;
    });
    m_readings.erase(m_readings.begin(), stale);
    if (m_readings.size() > kMostReadings) {
        m_readings.erase(m_readings.begin(), m_readings.end() - kMostReadings);
    }
}

std::int64_t KeyEventClock::frameAt(std::int64_t steadyNs) const {
    if (m_readings.empty()) {
        return 0;
    }
    std::int64_t best = 0;
    bool any = false;
    for (const Reading& r : m_readings) {
        // Carried forward (or back) at the sample rate; whole seconds apart
        // so the product stays small.
        const std::int64_t dt = steadyNs - r.steadyNs;
        const std::int64_t frames = dt / 1'000'000'000 * m_rate + dt % 1'000'000'000 * m_rate / 1'000'000'000;
        const std::int64_t estimate = r.frame + frames;
        if (!any || estimate > best) {
            best = estimate;
            any = true;
        }
    }
    return best;
}

std::int64_t KeyEventClock::momentOfMilliseconds(std::int64_t milliseconds, std::int64_t nowNs) {
    return std::min(nowNs, milliseconds * 1'000'000 + 500'000);
}
