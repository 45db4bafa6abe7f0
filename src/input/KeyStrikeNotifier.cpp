#include "input/KeyStrikeNotifier.h"

#include <QElapsedTimer>

std::int64_t EventTimeMapper::toLocal(std::uint64_t eventTimestamp, std::int64_t now) {
    if (eventTimestamp == 0) {
        return now;
    }
    const std::int64_t sample = now - static_cast<std::int64_t>(eventTimestamp);
    if (!m_offset || sample < *m_offset || sample > *m_offset + kResyncMilliseconds) {
        m_offset = sample;
    }
    return static_cast<std::int64_t>(eventTimestamp) + *m_offset;
}

KeyStrikeNotifier::KeyStrikeNotifier(QObject* parent) : QObject(parent), m_clock(&steadyMilliseconds) {}

void KeyStrikeNotifier::notifyStrike(int bell, std::uint64_t eventTimestamp) {
    emit bellStruck(bell, m_mapper.toLocal(eventTimestamp, now()));
}

std::int64_t KeyStrikeNotifier::steadyMilliseconds() {
    // QElapsedTimer reads the monotonic clock; its reference point is the
    // same for every call in the process.
    QElapsedTimer timer;
    timer.start();
    return timer.msecsSinceReference();
}
