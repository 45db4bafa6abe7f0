#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

// Plays a list of strikes on the engine's frame clock. Each strike is
// handed to the sound callback with its own frame a window ahead of the
// clock, from a timer: a window that stalls for less than the window delays
// no strike, and the strikes keep their spacing to the frame.
class StrikePlayer : public QObject {
    Q_OBJECT
public:
    struct Strike {
        int bell = 0;
        std::int64_t offset = 0; // frames from the start
        bool operator==(const Strike&) const = default;
    };
    using Clock = std::function<std::int64_t()>;
    using Sound = std::function<void(int bell, std::int64_t frame)>;

    static constexpr int kWindowMs = 500;
    static constexpr int kTickMs = 40;

    StrikePlayer(int sampleRate, Clock clock, Sound sound, QObject* parent = nullptr);

    // The strikes to play, in any order (kept sorted by offset).
    void setStrikes(QList<Strike> strikes);
    const QList<Strike>& strikes() const { return m_strikes; }

    // Plays from `startFrame` (the clock plus the engine's scheduling lead):
    // offset 0 sounds on it. A playing list starts again.
    void start(std::int64_t startFrame);
    // Hands out no more strikes; those already handed still sound.
    void stop();
    bool isPlaying() const { return m_playing; }
    // The strikes handed so far in this playing.
    int handed() const { return m_next; }

    // Hands every strike due within the window; run by the timer, also by tests.
    void pump();

signals:
    // The last strike was handed (it may still sound for a while).
    void finished();

private:
    int m_rate;
    Clock m_clock;
    Sound m_sound;
    QList<Strike> m_strikes;
    QTimer m_timer;
    std::int64_t m_start = 0;
    int m_next = 0;
    bool m_playing = false;
};
