#pragma once

#include <QElapsedTimer>

#include <cstdint>

// The time base of playback: a count of output frames at a sample rate. The
// sequencer places every strike on a frame of this clock, so the rhythm heard
// follows the output device, not the moments at which the window's timer runs.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    // Frames rendered (or due to be rendered) since the output started; never
    // decreases.
    virtual std::int64_t currentFrame() const = 0;
    // Frames per second; positive.
    virtual int sampleRate() const = 0;
};

// Frames counted from the monotonic system clock, for when no audio output
// runs: the same rules then keep the timing of the window's work.
class SteadyFrameClock : public FrameClock {
public:
    explicit SteadyFrameClock(int sampleRate = 48000) : m_rate(sampleRate > 0 ? sampleRate : 48000) {
        m_started.start();
    }
    std::int64_t currentFrame() const override {
        // Whole seconds and the rest apart, so the product never overflows.
        const std::int64_t ns = m_started.nsecsElapsed();
        return ns / 1000000000 * m_rate + ns % 1000000000 * m_rate / 1000000000;
    }
    int sampleRate() const override { return m_rate; }

private:
    QElapsedTimer m_started;
    int m_rate;
};
