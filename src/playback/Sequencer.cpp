#include "playback/Sequencer.h"

#include <algorithm>
#include <limits>

using transport::kPageColumns;
using transport::pageOfColumn;

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Runs `action` when the scope ends, also when it ends by an exception.
template <class Action> class AtExit {
public:
    explicit AtExit(Action action) : m_action(action) {}
    ~AtExit() { m_action(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

private:
    Action m_action;
};

// A tick that comes later than this (or two columns, when longer) restarts the grid.
constexpr int kStallMilliseconds = 250;

} // namespace

Sequencer::Sequencer(TransportState& state, TransportHost& host, const FrameClock& clock)
    : m_state(state), m_host(host), m_clock(clock) {
    m_state.interval = std::max(m_state.interval, transport::kLeastInterval);
}

// ---- timing ----

std::int64_t Sequencer::columnLength() const {
    return static_cast<std::int64_t>(m_state.interval) * m_rate;
}

std::int64_t Sequencer::dueOf(int column) const {
    return m_anchor + static_cast<std::int64_t>(column - m_anchorColumn) * columnLength();
}

std::int64_t Sequencer::columnFrame(int column) const {
    return floorDiv(dueOf(column), 1000);
}

std::int64_t Sequencer::nowFine() const {
    return m_clock.currentFrame() * 1000;
}

void Sequencer::anchorAtPresent(int column) {
    m_rate = std::max(1, m_clock.sampleRate());
    m_anchor = nowFine();
    m_anchorColumn = column;
}

int Sequencer::stallMilliseconds() const {
    return std::max(kStallMilliseconds, 2 * m_state.interval);
}

int Sequencer::millisecondsToNextColumn() const {
    const std::int64_t ahead = dueOf(m_state.currentColumn + 1) - nowFine();
    if (ahead <= 0) {
        return 0;
    }
    // Thousandths of a frame divided by frames per second give milliseconds;
    // rounded up so that the tick never comes before its column is due.
    const std::int64_t ms = (ahead + m_rate - 1) / m_rate;
    return static_cast<int>(std::min<std::int64_t>(ms, std::numeric_limits<int>::max()));
}

void Sequencer::updateTimer() {
    // A tick asks for the next one when it is done.
    if (m_inTick) {
        return;
    }
    if (m_running) {
        m_host.scheduleTick(millisecondsToNextColumn());
    } else {
        m_host.cancelTick();
    }
}

void Sequencer::seekTo(int column) {
    if (m_running && !m_inTick) {
        m_anchor = dueOf(m_state.currentColumn);
        m_anchorColumn = column;
    }
    m_state.currentColumn = column;
}

// ---- transport ----

void Sequencer::play() {
    const int size = m_host.commonScoreSize();
    if (size <= 0) {
        // Nothing loaded: Play starts nothing and sounds nothing.
        if (m_host.notesShown()) {
            m_host.placeScoreCursor();
        }
        return;
    }
    m_host.setSliderMaximum(size);
    if (!m_running) {
        m_running = true;
        anchorAtPresent(m_state.currentColumn);
    }
    if (m_state.currentColumn == 0) {
        anchorAtPresent(0);
        m_host.strikeColumn(0, columnFrame(0));
    }
    if (m_host.notesShown()) {
        m_host.placeScoreCursor();
    }
    updateTimer();
}

void Sequencer::pause() {
    m_running = false;
    updateTimer();
}

void Sequencer::stop() {
    m_running = false;
    m_state.currentColumn = 0;
    showFirstPage();
    m_host.uncheckPlayAllInTurn();
    showPlayTime();
    m_state.generatorMode = false;
    updateTimer();
}

void Sequencer::rewind() {
    seekTo(std::max(0, m_state.currentColumn - 5));
    if (m_host.notesShown()) {
        m_host.placeScoreCursor();
    }
    updateTimer();
}

void Sequencer::fastForward() {
    // On an empty score this leaves the column at -1, the column before the first.
    seekTo(std::min(m_state.currentColumn + 5, m_host.commonScoreSize() - 1));
    if (m_host.notesShown()) {
        m_host.placeScoreCursor();
    }
    updateTimer();
}

void Sequencer::sliderMoved(int position) {
    seekTo(position);
    followPageOf(position);
    updateTimer();
}

void Sequencer::pageChosen(int position) {
    m_state.currentPage = position - 1;
    // The column before the page's first, so that the next tick plays the first.
    seekTo(kPageColumns * position - kPageColumns - 1);
    if (m_host.notesShown()) {
        m_host.redrawScore();
    }
    // When the slider moves, its change rule puts the column on the page's first.
    m_host.setSliderPosition(kPageColumns * (position - 1), true);
    updateTimer();
}

void Sequencer::resetPlayback() {
    m_host.clearScores();
    m_running = false;
    m_state.currentColumn = 0;
    m_host.setSliderPosition(0, false);
    m_state.currentPage = 0;
    m_host.setPagePosition(1);
    m_host.setPageEnabled(false);
    if (m_host.notesShown()) {
        m_host.resetScoreView();
    }
    m_host.resetAnimation();
    showPlayTime();
    if (!m_state.keepGenerator) {
        m_state.generatorMode = false;
    }
    m_state.keepGenerator = false;
    updateTimer();
}

void Sequencer::enableTimer() {
    if (!m_running) {
        m_running = true;
        // Within a tick the wrap to column 0 places the grid.
        if (!m_inTick) {
            anchorAtPresent(m_state.currentColumn);
        }
    }
    updateTimer();
}

// ---- the tick ----

void Sequencer::tick() {
    if (!m_running || m_inTick) {
        return;
    }
    m_inTick = true;
    AtExit done([this] {
        m_inTick = false;
        updateTimer();
    });

    const std::int64_t now = nowFine();
    if (dueOf(m_state.currentColumn + 1) < now - static_cast<std::int64_t>(stallMilliseconds()) * m_rate) {
        // Too late to catch up without a burst: the next column is due now.
        m_anchor = now - columnLength();
        m_anchorColumn = m_state.currentColumn;
    }
    bool struck = false;
    bool sweep = false;
    // Every column due by now (or within half a column) is struck on its own frame.
    while (m_running && dueOf(m_state.currentColumn + 1) <= now + columnLength() / 2) {
        if (!advanceOneColumn()) {
            break;
        }
        struck = true;
        // Columns 1, 65, 129, ...: close the voices that have finished.
        if (m_state.currentColumn % kPageColumns == 1) {
            sweep = true;
        }
    }
    if (struck && m_running) {
        showPosition();
    }
    if (sweep) {
        m_host.sweepFinishedVoices();
    }
}

bool Sequencer::advanceOneColumn() {
    const int size = m_host.commonScoreSize();
    const std::int64_t due = dueOf(m_state.currentColumn + 1);
    m_state.currentColumn += 1;
    if (m_state.currentColumn > size - 1) {
        // The ringing has ended.
        if (!m_state.groupRingingMode && !m_host.playAllInTurn()) {
            stop();
            return false;
        }
        if (m_host.playAllInTurn()) {
            m_host.setSliderEnabled(false);
            AtExit enableSlider([this] { m_host.setSliderEnabled(true); });
            m_host.selectNextInTurn();
            m_running = false;
            showFirstPage();
            m_host.playNextInTurn();
        }
        if (m_state.generatorMode && m_state.currentColumn == size) {
            m_host.generateNext();
        }
        m_state.currentColumn = 0;
        // Column 0 takes the time the column after the last would have had.
        m_anchor = due;
        m_anchorColumn = 0;
        if (!m_running) {
            return false;
        }
    }
    m_host.strikeColumn(m_state.currentColumn, floorDiv(due, 1000));
    return true;
}

void Sequencer::showPosition() {
    // The tick's own slider move is not a seek: it must not move the column,
    // even where the slider's range ends before the last column.
    m_host.setSliderPosition(m_state.currentColumn, false);
    followPageOf(m_state.currentColumn);
    showPlayTime();
}

void Sequencer::showFirstPage() {
    m_host.setSliderPosition(0, false);
    m_state.currentPage = 0;
    m_host.setPagePosition(1);
    if (m_host.notesShown()) {
        m_host.redrawScore();
        m_host.placeScoreCursor();
    }
}

void Sequencer::followPageOf(int column) {
    // The page selector follows the column; the score is redrawn only when
    // the page changes, the cursor moves every time.
    const int before = m_state.currentPage;
    m_state.currentPage = pageOfColumn(column);
    m_host.setPagePosition(m_state.currentPage + 1);
    if (m_host.notesShown()) {
        if (m_state.currentPage != before) {
            m_host.redrawScore();
        }
        m_host.placeScoreCursor();
    }
}

// ---- tempo ----

void Sequencer::setInterval(int milliseconds) {
    milliseconds = std::max(milliseconds, transport::kLeastInterval);
    if (milliseconds == m_state.interval) {
        return;
    }
    if (m_running && !m_inTick) {
        // The next column follows the last struck one by the new interval.
        m_anchor = dueOf(m_state.currentColumn);
        m_anchorColumn = m_state.currentColumn;
    }
    m_state.interval = milliseconds;
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

// ---- captions and ranges ----

void Sequencer::showPlayTime() {
    m_host.showPlayTime(transport::playTimeText(m_state.currentColumn, m_state.interval));
}

void Sequencer::showTotalDuration() {
    m_host.showTotalDuration(transport::totalDurationText(m_host.commonScoreSize(), m_state.interval));
}

void Sequencer::applyLoaderRanges(transport::RingingLoader loader) {
    const transport::PlaybackRanges ranges = transport::rangesForLoader(loader, m_host.commonScoreSize());
    m_host.setPageMaximum(ranges.pageMaximum);
    m_host.setPagePosition(1);
    m_host.setPageEnabled(ranges.pageEnabled);
    m_host.setSliderMaximum(ranges.sliderMaximum);
}

void Sequencer::restorePlace(int column) {
    seekTo(column);
    m_state.currentPage = pageOfColumn(column);
    m_host.setSliderPosition(column, false);
    m_host.setPagePosition(m_state.currentPage + 1);
    if (m_host.notesShown()) {
        m_host.placeScoreCursor();
    }
}
