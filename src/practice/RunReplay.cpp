#include "practice/RunReplay.h"

#include "playback/ColumnStrikes.h"
#include "practice/PracticeHost.h"

RunReplay::RunReplay(PracticeHost& host, QObject* parent)
    : QObject(parent), m_host(host),
      m_player(
          host.audioSampleRate(), [&host] { return host.audioFrameClock(); },
          [&host](int bell, std::int64_t frame) { host.soundPlayedBell(bell, frame); }, this) {
    connect(&m_player, &StrikePlayer::finished, this, &RunReplay::finished);
    m_follow.setInterval(30);
    connect(&m_follow, &QTimer::timeout, this, &RunReplay::follow);
}

void RunReplay::follow() {
    // Play pressed meanwhile: the ringing sounds, not the run.
    if (m_host.isPlaying()) {
        stop();
        return;
    }
    const std::int64_t now = m_host.audioFrameClock() - m_start;
    int column = -1;
    while (m_nextPlace < m_places.size() && m_places[m_nextPlace].frame <= now) {
        column = m_places[m_nextPlace++].column;
    }
    if (column >= 0) {
        m_host.showPlace(column);
    }
    if (m_nextPlace >= m_places.size()) {
        m_follow.stop();
    }
}

bool RunReplay::play(const RunRecording& recording, ReplayMode mode) {
    stop();
    if (!m_host.soundAvailable()) {
        return false;
    }
    const auto bellsOf = [this](int column) {
        return ::ColumnSampleFiles(m_host.commonScoreLine(column), m_host.ensemble(), StrikeSwitches{},
                                   QString(), [](int) { return QString(); })
            .bells;
    };
    // A recording read back from the history is on this engine's rate.
    std::int64_t origin = 0;
    QList<StrikePlayer::Strike> strikes = replayStrikes(recording, mode, bellsOf, &origin);
    const auto onThisRate = [&](std::int64_t frames) {
        return recording.sampleRate > 0 ? frames * m_host.audioSampleRate() / recording.sampleRate : frames;
    };
    for (StrikePlayer::Strike& strike : strikes) {
        strike.offset = onThisRate(strike.offset);
    }
    m_places.clear();
    for (const RunRecording::Column& column : recording.columns) {
        m_places << RunRecording::Column{column.column, onThisRate(column.frame - origin)};
    }
    m_nextPlace = 0;
    if (strikes.isEmpty()) {
        return false;
    }
    // The ringing would sound through the run.
    m_host.stop();
    m_player.setStrikes(strikes);
    m_start = m_host.audioFrameClock() + m_host.schedulingLeadFrames();
    m_player.start(m_start);
    m_follow.start();
    return true;
}

void RunReplay::stop() {
    // The strikes are handed ahead of their frames: those not begun are
    // taken back, also after the last was handed, while the cursor still follows.
    if (m_player.isPlaying() || m_follow.isActive()) {
        m_host.withdrawPlayedBells(m_host.audioFrameClock());
    }
    m_follow.stop();
    if (m_player.isPlaying()) {
        m_player.stop();
        emit finished();
    }
}
