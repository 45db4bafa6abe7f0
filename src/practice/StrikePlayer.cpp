#include "practice/StrikePlayer.h"

#include <algorithm>

StrikePlayer::StrikePlayer(int sampleRate, Clock clock, Sound sound, QObject* parent)
    : QObject(parent), m_rate(sampleRate), m_clock(std::move(clock)), m_sound(std::move(sound)) {
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &StrikePlayer::pump);
}

void StrikePlayer::setStrikes(QList<Strike> strikes) {
    stop();
    std::stable_sort(strikes.begin(), strikes.end(),
                     [](const Strike& a, const Strike& b) { return a.offset < b.offset; });
    m_strikes = std::move(strikes);
}

void StrikePlayer::start(std::int64_t startFrame) {
    m_start = startFrame;
    m_next = 0;
    m_playing = true;
    pump();
    if (m_playing) {
        m_timer.start();
    }
}

void StrikePlayer::stop() {
    m_timer.stop();
    m_playing = false;
}

void StrikePlayer::pump() {
    if (!m_playing) {
        return;
    }
    const std::int64_t horizon = m_clock() + static_cast<std::int64_t>(kWindowMs) * m_rate / 1000;
    while (m_playing && m_next < m_strikes.size() && m_start + m_strikes[m_next].offset <= horizon) {
        const Strike& strike = m_strikes[m_next++];
        m_sound(strike.bell, m_start + strike.offset);
    }
    if (m_playing && m_next >= m_strikes.size()) {
        stop();
        emit finished();
    }
}
