// The sequencer's tempo and the captions that follow it; the timing grid
// and the engine's columns are in Sequencer.cpp.
#include "playback/Sequencer.h"

#include <algorithm>

// ---- tempo ----

void Sequencer::setInterval(int milliseconds) {
    milliseconds = std::max(milliseconds, transport::kLeastInterval);
    if (milliseconds == m_state.interval) {
        return;
    }
    const bool restamp = m_running && !m_inTick;
    if (restamp) {
        // The next column follows the last one sounding (or shown) by the
        // new interval: the held columns not started yet are handed again.
        withdrawHeld(false);
    }
    m_state.interval = milliseconds;
    if (restamp) {
        handAhead(nowFine());
    }
    updateTimer();
}

void Sequencer::showTempo() {
    m_host.showTempoCaption(transport::tempoCaption(m_state.interval));
    m_host.setTempoSliderPosition(m_state.interval, true);
}

void Sequencer::tempoSliderMoved(int position) {
    setInterval(position);
    m_host.showTempoCaption(transport::tempoCaption(m_state.interval));
    showTotalDuration();
}

void Sequencer::faster() {
    m_host.setTempoSliderPosition(transport::fasterTempoPosition(m_host.tempoSliderPosition()), false);
    tempoSliderMoved(m_host.tempoSliderPosition());
}

void Sequencer::slower() {
    m_host.setTempoSliderPosition(transport::slowerTempoPosition(m_host.tempoSliderPosition()), false);
    tempoSliderMoved(m_host.tempoSliderPosition());
}

// ---- captions ----

void Sequencer::showPlayTime() {
    m_host.showPlayTime(transport::playTimeText(m_state.currentColumn, m_state.interval));
}

void Sequencer::showTotalDuration() {
    m_host.showTotalDuration(transport::totalDurationText(m_host.commonScoreSize(), m_state.interval));
}
