#include "input/KeyStrikeNotifier.h"

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>

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

void KeyStrikeNotifier::notifyStrikeAt(int bell, std::int64_t steadyNs) {
    // Placed on now()'s clock by how long ago it was, so a clock of a test's
    // own works as well.
    const std::int64_t agoNs = std::max<std::int64_t>(0, steadyNowNs() - steadyNs);
    emit bellStruck(bell, now() - agoNs / 1'000'000);
}

std::int64_t KeyStrikeNotifier::steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t KeyStrikeNotifier::steadyMilliseconds() {
    // QElapsedTimer reads the monotonic clock; its reference point is the
    // same for every call in the process.
    QElapsedTimer timer;
    timer.start();
    return timer.msecsSinceReference();
}
