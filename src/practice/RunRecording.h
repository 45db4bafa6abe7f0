#pragma once

#include "practice/StrikeOutcome.h"
#include "practice/StrikePlayer.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

// What a practice run sounded like, kept to play it back: the columns as
// the sequencer played them and the learner's strikes, on the frame clock.
// The strikes are the matched key strikes, the user's latency already
// taken off.
struct RunRecording {
    struct Column {
        int column = 0;
        std::int64_t frame = 0;
    };
    struct Strike {
        int bell = 0;
        std::int64_t frame = 0;
    };

    int sampleRate = 0;
    QList<int> bells;      // the practised bells
    QList<Column> columns; // in the order played
    QList<Strike> strikes; // in time order

    bool isEmpty() const { return columns.isEmpty() && strikes.isEmpty(); }
    void columnPlayed(int column, std::int64_t frame) { columns << Column{column, frame}; }
    // The learner's strikes of a finished run: every hit and extra.
    void takeStrikes(const QList<StrikeOutcome>& outcomes);

    // One line of text for the history (milliseconds from the first column;
    // no ";" or "%" in it); empty for an empty recording.
    QString encode() const;
    // Reads encode()'s text back onto the frame clock of `sampleRate`,
    // starting at frame 0; false, with `recording` untouched, for damaged text.
    static bool decode(const QString& text, int sampleRate, RunRecording& recording);
    // The number of strikes in encode()'s text, or -1 when the text is not
    // whole (a line torn while it was written ends anywhere in it).
    static qsizetype strikeCount(QStringView text);
};

// How a run is heard again: as the learner rang it (the program's groups on
// their columns, the practised bells where the keys struck them) or as
// written (every bell on its column).
enum class ReplayMode { AsRung, AsWritten };

// The strikes to play, offsets from the earliest of them (its frame in
// `origin`, when given). bellsOf gives the bells a column of the score strikes.
QList<StrikePlayer::Strike> replayStrikes(const RunRecording& recording, ReplayMode mode,
                                          const std::function<QList<int>(int column)>& bellsOf,
                                          std::int64_t* origin = nullptr);
