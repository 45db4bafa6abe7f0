#pragma once

// The tempo of a looped passage: it starts at a chosen share of the
// ringing's tempo and rises by a step after each good pass, up to the full
// tempo, where it stays. A pass is good when at least the chosen share of
// its expected strikes fell within the tolerance.
class TempoRamp {
public:
    struct Settings {
        int startPercent = 70;
        int stepPercent = 5;
        int goodSharePercent = 80;
    };
    static constexpr int kLeastPercent = 30;

    enum class Step { Again, Faster, Full };

    // interval: the ringing's milliseconds per column at the full tempo.
    TempoRamp(int interval, Settings settings);

    int percent() const { return m_percent; }
    // Milliseconds per column at the present tempo (slower is longer).
    int interval() const;
    const Settings& settings() const { return m_settings; }

    // A pass ended with `shareWithin` (0..1) of its strikes within the
    // tolerance: Again when it was not good, Faster when the tempo rose,
    // Full for a good pass at the full tempo.
    Step passEnded(double shareWithin);

private:
    int m_interval;
    Settings m_settings;
    int m_percent;
};
