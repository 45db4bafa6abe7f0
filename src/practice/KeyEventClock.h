#pragma once

#include <cstdint>
#include <vector>

// Places key events on the output's frame clock.
//
// The frame clock advances in whole blocks when the output renders, so a
// reading taken between two blocks lags behind the true time by up to one
// block. Readings are paired with the monotonic clock, and the frame clock at
// any moment is the best of the recent readings carried forward at the sample
// rate (a reading just after a block lags least). The moment of a key event
// on the monotonic clock comes from the window system's stamp (see
// EventTimeMapper in bells/KeyStrikeNotifier.h), in whole milliseconds.
class KeyEventClock {
public:
    explicit KeyEventClock(int sampleRate);

    int sampleRate() const { return m_rate; }

    // A reading of the frame clock at a monotonic moment (nanoseconds).
    void observe(std::int64_t steadyNs, std::int64_t frame);
    // The frame clock at a monotonic moment; the last reading when there are
    // none in the recent past.
    std::int64_t frameAt(std::int64_t steadyNs) const;

    // The moment (ns) of an event known to the millisecond (the middle of
    // that millisecond, never later than nowNs).
    static std::int64_t momentOfMilliseconds(std::int64_t milliseconds, std::int64_t nowNs);

    // The monotonic clock now, in nanoseconds.
    static std::int64_t steadyNowNs();

private:
    struct Reading {
        std::int64_t steadyNs;
        std::int64_t frame;
    };
    int m_rate;
    std::vector<Reading> m_readings;
};
