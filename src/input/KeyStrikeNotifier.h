#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

// Places the timestamps of input events on the program's own monotonic
// clock. An event's timestamp counts milliseconds on the clock of whoever
// produced it (the display server), with an epoch of its own; the offset
// between that clock and ours is estimated as the least (now - timestamp)
// seen so far, because an event can only ever be handled after it happened.
// An event handled late therefore keeps the moment it was made.
class EventTimeMapper {
public:
    // A difference this much larger than the estimate means the source's
    // clock started again (a 32-bit wrap, a new display server), not a
    // delayed event: the estimate is taken afresh.
    static constexpr std::int64_t kResyncMilliseconds = 60000;

    // The event's time on our clock, never later than now. A timestamp of 0
    // (an event made by the program itself) has no time of its own: now.
    std::int64_t toLocal(std::uint64_t eventTimestamp, std::int64_t now);

private:
    std::optional<std::int64_t> m_offset;
};

// The bells struck from the keyboard, told to whoever listens (the recorder,
// a trainer), each with the moment its key was pressed. The key hook calls
// notifyStrike() before the strike sounds, so listeners see the strikes in
// key order and before any of their sounds start.
class KeyStrikeNotifier : public QObject {
    Q_OBJECT
public:
    // Milliseconds on a monotonic clock; the steady clock of the process by
    // default.
    using Clock = std::function<std::int64_t()>;

    explicit KeyStrikeNotifier(QObject* parent = nullptr);

    // For tests: a clock of their own.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    std::int64_t now() const { return m_clock(); }

    // The key hook: bell 0..14 was struck by a key event with this timestamp.
    void notifyStrike(int bell, std::uint64_t eventTimestamp);
    // Another source of strikes (a MIDI instrument): bell 0..14 was struck at
    // steadyNs on the process's monotonic clock (nanoseconds).
    void notifyStrikeAt(int bell, std::int64_t steadyNs);

    // The process's steady clock in milliseconds.
    static std::int64_t steadyMilliseconds();
    // The same clock in nanoseconds (std::chrono::steady_clock, which
    // QElapsedTimer also reads on Linux).
    static std::int64_t steadyNowNs();

signals:
    // strikeTime: when the key was pressed, on now()'s clock.
    void bellStruck(int bell, std::int64_t strikeTime);

private:
    Clock m_clock;
    EventTimeMapper m_mapper;
};
