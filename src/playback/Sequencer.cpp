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
    anchorAt(column, nowFine());
}

void Sequencer::anchorAt(int column, std::int64_t fine) {
    m_rate = std::max(1, m_clock.sampleRate());
    m_anchor = fine;
    m_anchorColumn = column;
    m_handed = column;
    m_shownDue = m_anchor;
}

std::int64_t Sequencer::lookAhead() const {
    return std::max<std::int64_t>(static_cast<std::int64_t>(kLookAheadMilliseconds) * m_rate,
                                  2 * columnLength());
}

int Sequencer::millisecondsToNextColumn() const {
    // The next column to show, or the end of the ringing.
    std::int64_t next = dueOf(m_handed + 1);
    if (!m_held.empty()) {
        next = m_held.front().due;
    } else if (m_endHeld) {
        next = m_endDue;
    }
    const std::int64_t ahead = next - nowFine();
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
    } else if (m_waitingForSounds) {
        m_host.scheduleTick(kReadyPollMilliseconds);
    } else {
        m_host.cancelTick();
    }
}

void Sequencer::seekTo(int column) {
    if (m_running && !m_inTick) {
        // The grid's time runs on from the column sounding or shown last;
        // columns already sounding are not shown after the seek.
        withdrawHeld(false);
        m_held.clear();
        m_endHeld = false;
        m_firstDue.reset();
        m_anchorColumn = column;
        m_handed = column;
    }
    m_state.currentColumn = column;
    if (m_running && !m_inTick) {
        handAhead(nowFine());
    }
}

// ---- the engine's columns ----

void Sequencer::withdrawHeld(bool dropAll) {
    // Ideal frames from here on have not started sounding.
    const std::int64_t boundary = m_clock.currentFrame() - m_host.soundLeadFrames();
    if (dropAll) {
        m_firstDue.reset();
        // Only when something handed may not have started yet.
        if (m_lastHandedFrame >= boundary) {
            m_host.cancelSoundsFrom(boundary);
        }
        m_held.clear();
        m_endHeld = false;
        return;
    }
    std::size_t keep = 0;
    while (keep < m_held.size() && floorDiv(m_held[keep].due, 1000) < boundary) {
        ++keep;
    }
    if (keep < m_held.size()) {
        m_host.cancelSoundsFrom(floorDiv(m_held[keep].due, 1000));
        m_held.erase(m_held.begin() + static_cast<std::ptrdiff_t>(keep), m_held.end());
        m_endHeld = false;
    }
    // The handing goes on after the last column that stays; a column 0 of
    // playAt not shown yet is handed again on its own frame.
    if (!m_held.empty()) {
        m_anchor = m_held.back().due;
        m_anchorColumn = m_held.back().column;
    } else if (m_firstDue) {
        m_anchor = *m_firstDue;
        m_anchorColumn = 0;
        m_handed = -1;
        return;
    } else if (!m_endHeld) {
        m_anchor = m_shownDue;
        m_anchorColumn = m_state.currentColumn;
    }
    m_handed = m_anchorColumn;
}

void Sequencer::handAhead(std::int64_t now) {
    if (!m_running || m_endHeld || m_handing) {
        return;
    }
    m_handing = true;
    AtExit handed([this] { m_handing = false; });
    const std::int64_t lead = m_host.soundLeadFrames() * 1000;
    if (dueOf(m_handed + 1) + lead < now) {
        // The window stalled for longer than the look-ahead: a column handed
        // now would sound late, so the grid starts again at the present.
        m_anchor = now;
        m_anchorColumn = m_handed + 1;
    }
    const std::int64_t horizon = now + lookAhead();
    const std::size_t most = static_cast<std::size_t>(std::max(2, kMostHeldColumns));
    while (m_running && !m_endHeld && m_held.size() < most &&
           (dueOf(m_handed + 1) <= horizon || m_held.size() < 2)) {
        if (!handNextColumn()) {
            break;
        }
    }
}

bool Sequencer::handNextColumn() {
    int next = m_handed + 1;
    const std::int64_t due = dueOf(next);
    if (m_state.rangeLast >= 0 && next > m_state.rangeLast) {
        // The range's end: over, or its first column on the same grid.
        if (!m_state.rangeLoops || m_state.rangeFirst < 0 || m_state.rangeFirst > m_state.rangeLast) {
            m_endHeld = true;
            m_endDue = due;
            return false;
        }
        next = m_state.rangeFirst;
        m_anchor = due;
        m_anchorColumn = next;
    } else if (next > m_host.commonScoreSize() - 1) {
        // A ringing that stops, or goes on with the next in turn, ends when
        // the output gets there; a group ringing loops (with a new draw of
        // the generator) without a gap.
        if (!m_state.groupRingingMode || m_host.playAllInTurn()) {
            m_endHeld = true;
            m_endDue = due;
            return false;
        }
        if (m_state.generatorMode && next == m_host.commonScoreSize()) {
            m_host.generateNext();
        }
        next = 0;
        m_anchor = due;
        m_anchorColumn = 0;
        if (m_host.commonScoreSize() <= 0) {
            m_endHeld = true;
            m_endDue = due;
            return false;
        }
    }
    m_handed = next;
    m_held.push_back({next, due});
    m_lastHandedFrame = floorDiv(due, 1000);
    m_host.soundColumn(next, m_lastHandedFrame);
    return true;
}

bool Sequencer::soundsReadyForPlay() {
    if (m_host.soundsReady()) {
        if (m_waitTold) {
            m_host.showWaitingForSounds(false);
        }
        m_waitingForSounds = false;
        m_waitTold = false;
        return true;
    }
    const std::int64_t now = m_clock.currentFrame();
    if (!m_waitingForSounds) {
        m_waitingForSounds = true;
        m_waitTold = false;
        m_waitStarted = now;
    } else if (!m_waitTold &&
               (now - m_waitStarted) * 1000 >= static_cast<std::int64_t>(kWaitToldAfterMilliseconds) *
                                                   std::max(1, m_clock.sampleRate())) {
        m_waitTold = true;
        m_host.showWaitingForSounds(true);
    }
    return false;
}

void Sequencer::endWaitForSounds() {
    if (m_waitTold) {
        m_host.showWaitingForSounds(false);
    }
    m_waitingForSounds = false;
    m_waitTold = false;
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
    if (m_running) {
        // Play while a range plays: the ringing plays on past it.
        endRange();
    } else {
        // Nothing sounds before the bells' samples are ready at the output's
        // rate: the timer looks again until they are.
        if (!soundsReadyForPlay()) {
            updateTimer();
            return;
        }
        m_running = true;
        withdrawHeld(true);
        anchorAtPresent(m_state.currentColumn);
    }
    if (m_state.currentColumn == 0) {
        withdrawHeld(true);
        const std::int64_t now = nowFine();
        anchorAt(0, m_startAt ? std::max(now, *m_startAt * 1000) : now);
        m_startAt.reset();
        m_handed = -1;
        // Column 0 of a later start is shown when its time comes.
        if (handNextColumn() && m_held.front().due <= now) {
            m_held.pop_front();
            m_host.strikeColumn(0, columnFrame(0));
        } else if (!m_held.empty()) {
            m_firstDue = m_held.front().due;
        }
    }
    m_startAt.reset();
    handAhead(nowFine());
    if (m_host.notesShown()) {
        m_host.placeScoreCursor();
    }
    updateTimer();
}

void Sequencer::playAt(std::int64_t firstFrame) {
    if (m_running) {
        withdrawHeld(true);
        m_running = false;
    }
    m_state.currentColumn = 0;
    m_startAt = firstFrame;
    play();
}

void Sequencer::pause() {
    m_startAt.reset();
    endWaitForSounds();
    withdrawHeld(true);
    m_running = false;
    updateTimer();
}

void Sequencer::playRange(int first, int last, bool loops) {
    const int size = m_host.commonScoreSize();
    if (first < 0 || first > last || first >= size) {
        return;
    }
    if (m_running) {
        stop();
    }
    // The column before the first, so that the first is the first played
    // (column 0 is struck by Play itself).
    restorePlace(std::max(0, first - 1));
    m_state.rangeFirst = first;
    m_state.rangeLast = std::min(last, size - 1);
    m_state.rangeLoops = loops;
    play();
    if (!m_running && !m_waitingForSounds) {
        endRange();
    }
}

void Sequencer::endRange() {
    m_state.rangeFirst = m_state.rangeLast = -1;
    m_state.rangeLoops = false;
}

void Sequencer::stop() {
    endRange();
    m_startAt.reset();
    endWaitForSounds();
    withdrawHeld(true);
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
    endRange();
    m_startAt.reset();
    endWaitForSounds();
    withdrawHeld(true);
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
        // Within a tick the end of the ringing places the grid.
        if (!m_inTick) {
            withdrawHeld(true);
            anchorAtPresent(m_state.currentColumn);
            handAhead(nowFine());
        }
    }
    updateTimer();
}

// ---- the tick ----

void Sequencer::tick() {
    if (m_waitingForSounds && !m_running) {
        play();
        return;
    }
    if (!m_running || m_inTick) {
        return;
    }
    m_inTick = true;
    AtExit done([this] {
        m_inTick = false;
        updateTimer();
    });
    const std::int64_t now = nowFine();
    handAhead(now);
    showDueColumns(now);
}

bool Sequencer::showDueColumns(std::int64_t now) {
    bool shown = false;
    bool sweep = false;
    // Every held column whose time has come (or comes within half a column)
    // is shown with its own frame, in order.
    while (m_running && !m_held.empty() && m_held.front().due <= now + columnLength() / 2) {
        const Held column = m_held.front();
        m_held.pop_front();
        m_firstDue.reset();
        m_state.currentColumn = column.column;
        m_shownDue = column.due;
        m_host.strikeColumn(column.column, floorDiv(column.due, 1000));
        shown = true;
        // Columns 1, 65, 129, ...: close the voices that have finished.
        if (column.column % kPageColumns == 1) {
            sweep = true;
        }
    }
    if (m_running && m_held.empty() && m_endHeld && m_endDue <= now + columnLength() / 2) {
        if (!reachEnd()) {
            if (sweep) {
                m_host.sweepFinishedVoices();
            }
            return false;
        }
        shown = true;
    }
    if (shown && m_running) {
        showPosition();
    }
    if (sweep) {
        m_host.sweepFinishedVoices();
    }
    return m_running;
}

bool Sequencer::reachEnd() {
    const std::int64_t due = m_endDue;
    m_endHeld = false;
    const int size = m_host.commonScoreSize();
    m_state.currentColumn = size;
    if (m_state.rangeLast >= 0 || !m_host.playAllInTurn()) {
        stop();
        return false;
    }
    {
        m_host.setSliderEnabled(false);
        AtExit enableSlider([this] { m_host.setSliderEnabled(true); });
        m_host.selectNextInTurn();
        m_running = false;
        showFirstPage();
        m_host.playNextInTurn();
    }
    m_state.currentColumn = 0;
    if (!m_running) {
        return false;
    }
    // Column 0 of the next ringing takes the time the column after the last
    // would have had.
    withdrawHeld(true);
    m_anchor = due;
    m_anchorColumn = 0;
    m_handed = -1;
    m_shownDue = due;
    if (!handNextColumn()) {
        return false;
    }
    m_held.pop_front();
    m_host.strikeColumn(0, floorDiv(due, 1000));
    handAhead(nowFine());
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

// ---- ranges ----

void Sequencer::applyLoaderRanges(transport::RingingLoader loader) {
    const transport::PlaybackRanges ranges = transport::rangesForLoader(loader, m_host.commonScoreSize());
    m_host.setPageMaximum(ranges.pageMaximum);
    m_host.setPagePosition(1);
    m_host.setPageEnabled(ranges.pageEnabled);
    m_host.setSliderMaximum(ranges.sliderMaximum);
}

void Sequencer::soundsChanged() {
    if (!m_running || m_inTick || m_handing) {
        return;
    }
    withdrawHeld(false);
    handAhead(nowFine());
    updateTimer();
}

void Sequencer::restorePlace(int column) {
    seekTo(column);
    m_host.setSliderPosition(column, false);
    // The staves show the page of the place, not only the page number.
    followPageOf(column);
}
