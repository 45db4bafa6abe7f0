#pragma once

#include "playback/FrameClock.h"
#include "playback/TransportHost.h"
#include "playback/TransportState.h"
#include "playback/TransportText.h"

#include <cstdint>
#include <deque>
#include <limits>
#include <optional>

// The sequencer: plays the common score one column at a time, with the
// transport (play, pause, stop, rewind, fast-forward, seeking), the tempo and
// the end-of-ringing rules (stop, loop, next in turn, generator).
//
// Timing. Every column has an ideal output frame on a grid: a time anchor (the
// time of column c0) plus (c - c0) columns of `interval` ms each. The anchor is
// held in thousandths of a frame, so that a column length of interval x rate /
// 1000 frames is exact and no rounding ever accumulates: the n-th column after
// Play lies on Floor(start + n x interval x rate / 1000) however long it plays.
// A seek, a tempo change and the wrap to column 0 move the anchor but keep the
// grid's time running on; only Play (after a stop or pause) starts a new grid
// at the clock's present frame.
//
// Sound and sight apart. The engine is handed the columns ahead of the play
// position (at least kLookAheadMilliseconds of them, and at least two), each
// stamped with its frame, and plays them on those frames whatever the window's
// thread does meanwhile. The window's timer only says when to look: each tick
// tops the engine's columns up and shows (strikeColumn: cursor, animation,
// recording, trainer) every held column whose frame the output has reached
// (up to half a column early), each with its own frame. A stall of the window
// shorter than the look-ahead therefore delays only what is drawn. Stop,
// pause, seeks, tempo changes and anything else that changes what the held
// columns would sound withdraw them from the engine from the present frame on
// (cancelSoundsFrom) and hand the columns again. After a stall longer than the
// look-ahead (a suspended machine, a debugger) the grid starts again from the
// present instead of sounding a burst.
class Sequencer {
public:
    Sequencer(TransportState& state, TransportHost& host, const FrameClock& clock);

    // Transport.
    void play();
    // Plays from the first column with column 0 due at `firstFrame` of the
    // clock (its ideal frame), not at the moment of the call: what leads in
    // to it (a count-in) and the ringing share one grid. Column 0 is handed
    // to the engine at once and shown when it is due; a frame already past
    // when Play can start (its samples were not ready) gives way to the present.
    void playAt(std::int64_t firstFrame);
    void pause();
    void stop();
    void rewind();
    void fastForward();
    void tick();
    // The progress slider moved to `position` (its change rule).
    void sliderMoved(int position);
    // The page selector was stepped to `position` (1..).
    void pageChosen(int position);
    // Empties the working set and rewinds (stops the timer).
    void resetPlayback();
    // Starts the timer without any other rule.
    void enableTimer();
    bool isRunning() const { return m_running; }
    // The column last struck (or about to be advanced from).
    int currentColumn() const { return m_state.currentColumn; }

    // Tempo.
    void showTempo();
    void tempoSliderMoved(int position);
    void faster();
    void slower();
    int interval() const { return m_state.interval; }
    // Milliseconds per column; below kLeastInterval counts as kLeastInterval.
    // While playing, the grid's time runs on from the column last struck.
    void setInterval(int milliseconds);

    // Captions.
    void showPlayTime();
    void showTotalDuration();

    // The page selector and slider ranges of a freshly loaded ringing. This
    // and play() are the only places the slider's range changes, and neither
    // moves the column: a slider clamped by a shorter range is no seek.
    void applyLoaderRanges(transport::RingingLoader loader);
    // Puts the stopped transport back at `column` within the ranges already
    // applied (choosing the same common ringing again keeps the place).
    void restorePlace(int column);
    // Plays columns first..last of the ringing only, once or round and round
    // (TransportState's range); the transport stopped first.
    void playRange(int first, int last, bool loops);

    // What the held columns sound has changed (a group switched off or on, a
    // group ringing chosen while playing): they are withdrawn from the engine
    // and handed again as they sound now, on the same frames.
    void soundsChanged();
    // Columns handed to the engine and not shown yet.
    int heldColumns() const { return static_cast<int>(m_held.size()); }
    // Play is waiting for the samples it will strike.
    bool waitingForSounds() const { return m_waitingForSounds; }

    // How far ahead of the play position the engine holds its columns: this
    // long, and at least two columns but at most kMostHeldColumns (a very
    // short interval must not fill the engine's command queue).
    static constexpr int kLookAheadMilliseconds = 750;
    static constexpr int kMostHeldColumns = 64;
    // How often Play looks again whether the samples are ready, and after how
    // long the wait is told in the status bar.
    static constexpr int kReadyPollMilliseconds = 10;
    static constexpr int kWaitToldAfterMilliseconds = 100;

private:
    void endRange();
    // The ideal output frame of `column` on the present grid.
    std::int64_t columnFrame(int column) const;
    // Milliseconds from now until the next column is due (0 when overdue).
    int millisecondsToNextColumn() const;
    // Thousandths of a frame at which `column` is due.
    std::int64_t dueOf(int column) const;
    std::int64_t columnLength() const;
    std::int64_t nowFine() const;
    void anchorAtPresent(int column);
    void anchorAt(int column, std::int64_t fine);
    // The column becomes `column`; while playing, the next column keeps the
    // time it had on the grid.
    void seekTo(int column);
    // Hands the engine every column due before the look-ahead's end.
    void handAhead(std::int64_t now);
    // Hands the engine the column after the last handed; false at the end of
    // a ringing that stops or goes on in turn there.
    bool handNextColumn();
    // Shows the held columns whose time has come; false when playback ended.
    bool showDueColumns(std::int64_t now);
    // The end of a ringing that stops or plays the next in turn, at its time.
    bool reachEnd();
    // Withdraws every held column from the engine from the present frame on;
    // the columns handed before then stay held (they sound) unless `dropAll`.
    void withdrawHeld(bool dropAll);
    // Play's wait for the samples: one look; true when Play may start.
    bool soundsReadyForPlay();
    void endWaitForSounds();
    std::int64_t lookAhead() const;
    void showPosition();
    void followPageOf(int column);
    // Slider at 0, page 1, the score redrawn at its start.
    void showFirstPage();
    void updateTimer();

    TransportState& m_state;
    TransportHost& m_host;
    const FrameClock& m_clock;
    bool m_running = false;
    bool m_inTick = false;
    bool m_handing = false;
    // Anchor of the grid: column m_anchorColumn is due at m_anchor / 1000.
    std::int64_t m_anchor = 0;
    int m_anchorColumn = 0;
    // Sample rate the anchor was taken at.
    std::int64_t m_rate = 48000;

    // Columns handed to the engine and not yet shown, each with its time.
    struct Held {
        int column = 0;
        std::int64_t due = 0;
    };
    std::deque<Held> m_held;
    // The last column handed to the engine; the grid (m_anchor) counts from it.
    int m_handed = 0;
    // The handing has reached the end of a ringing that stops (or plays the
    // next in turn) there; the end is due at m_endDue.
    bool m_endHeld = false;
    std::int64_t m_endDue = 0;
    // The ideal frame of the column handed last.
    std::int64_t m_lastHandedFrame = std::numeric_limits<std::int64_t>::min();
    // The time of the column shown last (currentColumn).
    std::int64_t m_shownDue = 0;
    // The frame playAt asked column 0 to be due at, until Play starts; then
    // the time of column 0 while it is handed and not shown yet.
    std::optional<std::int64_t> m_startAt;
    std::optional<std::int64_t> m_firstDue;
    // Play waits for its samples; since m_waitStarted (frames), told or not.
    bool m_waitingForSounds = false;
    bool m_waitTold = false;
    std::int64_t m_waitStarted = 0;
};
