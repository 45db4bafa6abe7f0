#pragma once

#include <cstdint>
#include <vector>

// Places key events on the output's frame clock.
//
// The frame clock advances in whole blocks when the output renders, so a
// reading taken between two blocks lags behind the true time by up to one
// block. Readings are paired with the monotonic clock, and the frame clock at
// any moment is the best of the recent readings carried forward at the sample
// rate (a reading just after a block lags least).
//
// A key event carries the time the window system stamped on it, in whole
// milliseconds, and reaches the program later. When that stamp runs on the
// monotonic clock (as it does on X11 and Wayland under Linux) it is used as
// it is; on any other clock its lag behind the fastest delivery seen is
// taken instead; without a stamp the moment of handling counts.
class KeyEventClock {
public:
    explicit KeyEventClock(int sampleRate);

    int sampleRate() const { return m_rate; }

    // A reading of the frame clock at a monotonic moment (nanoseconds).
    void observe(std::int64_t steadyNs, std::int64_t frame);
    // The frame clock at a monotonic moment; the last reading when there are
    // none in the recent past.
    std::int64_t frameAt(std::int64_t steadyNs) const;

    // The monotonic moment (ns) of a key event stamped eventMs (0: no stamp),
    // handled at nowNs.
    std::int64_t eventMoment(std::uint64_t eventMs, std::int64_t nowNs);
    // Both steps: the frame of the key event.
    std::int64_t keyFrame(std::uint64_t eventMs, std::int64_t nowNs) {
        return frameAt(eventMoment(eventMs, nowNs));
    }

    // The monotonic clock now, in nanoseconds (the clock window systems stamp with).
    static std::int64_t steadyNowNs();

private:
    struct Reading {
        std::int64_t steadyNs;
        std::int64_t frame;
    };
    int m_rate;
    std::vector<Reading> m_readings;
    // Recent lags (now - stamp) in ms of stamps on a foreign clock.
    std::vector<std::int64_t> m_lags;
};
