#pragma once

#include <algorithm>
#include <cmath>

namespace audio {

// The last stage of the master bus: a peak limiter with a fast attack and a
// slow release that holds the sum of many bells just under full scale, and
// behind it a soft clipper that catches what gets through during the attack.
// Whatever the input, the output stays within [-1, 1]: many bells at once
// never wrap or clip harshly.
class SoftLimiter {
public:
    static constexpr float kThreshold = 0.891f; // -1 dBFS
    static constexpr float kKnee = 0.9f;        // the clipper is linear below this

    explicit SoftLimiter(int sampleRate)
        : m_attack(1.0f - std::exp(-1.0f / (0.001f * static_cast<float>(sampleRate)))),
          m_release(std::exp(-1.0f / (0.150f * static_cast<float>(sampleRate)))) {}

    // One stereo frame, in place. Real-time safe.
    void process(float& left, float& right) noexcept {
        const float peak = std::max(std::fabs(left), std::fabs(right));
        if (peak > m_envelope) {
            m_envelope += (peak - m_envelope) * m_attack;
        } else {
            m_envelope = peak + (m_envelope - peak) * m_release;
        }
        if (m_envelope > kThreshold) {
            const float gain = kThreshold / m_envelope;
            left *= gain;
            right *= gain;
        }
        left = softClip(left);
        right = softClip(right);
    }

    static float softClip(float x) noexcept {
        const float magnitude = std::fabs(x);
        if (magnitude <= kKnee) {
            return x;
        }
        if (std::isnan(x)) {
            return 0.0f;
        }
        const float shaped = kKnee + (1.0f - kKnee) * std::tanh((magnitude - kKnee) / (1.0f - kKnee));
        return std::copysign(std::min(shaped, 1.0f), x);
    }

    // The envelope now; it falls to exactly 0 in silence (denormals are
    // flushed on the audio thread).
    float envelope() const noexcept { return m_envelope; }

private:
    float m_attack;
    float m_release;
    float m_envelope = 0.0f;
};

} // namespace audio
