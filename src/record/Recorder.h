#pragma once

#include "bells/Ensemble.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The recorder's rules apart from any window: the period grid, the columns
// of strike tokens, the clock and what a save writes.
//
// Times are milliseconds on one monotonic clock. Column k of a recording
// holds the strikes made in [start + k x interval, start + (k + 1) x interval):
// the grid hangs on the moment of Start alone, so a period timer that fires
// late or early never moves a boundary and an hour of recording does not
// drift. A strike goes into the column of the moment its key was pressed,
// even when it is handled after that column was closed.
class Recorder {
public:
    enum class State { Ready, Recording, Stopped };

    enum class Capture {
        Recorded,
        NotRecording,
        // The bell has no group: it has no token.
        NoGroup,
        // Its position in the group is ten or more: a token has one digit
        // after the letter, so it would read back as another bell.
        PositionTooHigh,
    };

    // A new opening of the dialog: the period of `intervalMs` (at least 1),
    // no lines, nothing recorded yet.
    void open(int intervalMs);
    // Starts a new recording at `now`, discarding earlier lines.
    void start(std::int64_t now);
    // Ends the recording at `now`: every period that has ended by then is
    // kept; strikes of the period still running are dropped with it.
    void stop(std::int64_t now);
    // Closes every period that has ended by `now`; the number closed.
    int closeDuePeriods(std::int64_t now);
    // Appends the token of `bell` (struck at `strikeTime`) to its column.
    Capture capture(const Ensemble& ensemble, int bell, std::int64_t strikeTime);

    State state() const { return m_state; }
    bool isRecording() const { return m_state == State::Recording; }
    bool recordedOnce() const { return m_recordedOnce; }
    int interval() const { return m_interval; }
    // Periods closed since Start.
    int periodCount() const { return m_closed; }
    // The closed columns, in order; an empty line is a column without strikes.
    QStringList lines() const { return m_columns.mid(0, m_closed); }
    // When the next period ends (only while recording).
    std::int64_t nextPeriodEnd() const;
    // Whole seconds recorded by `now` (frozen at Stop).
    int elapsedSeconds(std::int64_t now) const;
    // When the clock next shows another second (only while recording).
    std::int64_t nextSecond(std::int64_t now) const;

    // The ringing body a save writes: the interval, then the lines.
    QStringList body() const;

private:
    State m_state = State::Ready;
    bool m_recordedOnce = false;
    int m_interval = 144;
    std::int64_t m_start = 0;
    std::int64_t m_stoppedAt = 0;
    int m_closed = 0;
    // Closed columns first; a column past them holds strikes of a period
    // still running.
    QStringList m_columns;
};

// A group with ten or more selected bells, whose positions one digit cannot
// name: its group code, or nothing when every group fits.
std::optional<int> groupTooLargeToRecord(const Ensemble& ensemble);

// "h:mm:ss", the hours without a leading zero.
QString formatRecordingTime(int seconds);

// Where Save and exit writes: the file name field with ".ukl" appended
// unless it already ends in exactly ".ukl". Nothing when the folder part of
// that path is empty or is not an existing folder.
struct SaveTarget {
    QString path;
    bool folderExists = false;
};
SaveTarget saveTargetFor(const QString& fileNameField);
