#pragma once

#include "playback/FrameClock.h"
#include "playback/TransportHost.h"
#include "playback/TransportState.h"
#include "playback/TransportText.h"

#include <cstdint>

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
// The window's timer only says when to look: each tick strikes every column
// whose time has come (up to half a column early), each on its own frame, and
// asks for the next tick at the next column's time. A tick that comes late
// therefore strikes the columns it missed, each still on its own frame; one
// that comes early strikes its column ahead of time, on the same frame. After
// a stall longer than stallMilliseconds() (a suspended machine, a debugger)
// the grid starts again from the present instead of sounding a burst.
class Sequencer {
public:
    Sequencer(TransportState& state, TransportHost& host, const FrameClock& clock);

    // Transport.
    void play();
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

private:
    // The ideal output frame of `column` on the present grid.
    std::int64_t columnFrame(int column) const;
    // Milliseconds from now until the next column is due (0 when overdue).
    int millisecondsToNextColumn() const;
    int stallMilliseconds() const;
    // Thousandths of a frame at which `column` is due.
    std::int64_t dueOf(int column) const;
    std::int64_t columnLength() const;
    std::int64_t nowFine() const;
    void anchorAtPresent(int column);
    // The column becomes `column`; while playing, the next column keeps the
    // time it had on the grid.
    void seekTo(int column);
    // Steps of the tick for one column; false when playback ended or stopped.
    bool advanceOneColumn();
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
    // Anchor of the grid: column m_anchorColumn is due at m_anchor / 1000.
    std::int64_t m_anchor = 0;
    int m_anchorColumn = 0;
    // Sample rate the anchor was taken at.
    std::int64_t m_rate = 48000;
};
