#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One practice run as the history keeps it.
struct TrainingRun {
    QDateTime date;
    QString ringing;
    // The practised part's code (see PracticePart::code()).
    QString part;
    // Milliseconds per column the run was played at.
    int interval = 0;
    double meanMs = 0.0;
    double shareOnTime = 0.0; // 0..1
    // Kept since the first version of the file; a line without them reads as 0.
    double deviationMs = 0.0;
    double meanAbsoluteMs = 0.0;
    int hits = 0;
    int misses = 0;
    int extras = 0;
    // The run's strikes as RunRecording::encode() gives them; empty for a
    // run kept before the strikes were (it cannot be heard again). Read as
    // it stands: it is decoded only when the run is played.
    QString recording;
};

// The history of practice runs: one line per run in a UTF-8 text file,
// fields separated by ";" (";", "%" and line breaks inside a field are
// written as %3B, %25, %0A, %0D). A line that cannot be read is skipped, not
// fatal; so is a line torn while it was written, which the next run's line
// break makes whole: its strikes no longer add up to its hits and extras. The file only ever grows at its
// end: a new run is appended, so whatever is already in it (damaged lines too) stays byte for byte, and a
// long history costs no more at the end of a run than a short one.
class TrainingHistory {
public:
    // The progress chart looks this far back from the end of the file, at
    // most (about 49,000 runs at 85 bytes a line; some 2,500 runs kept with
    // their strikes, at 1.7 KB a line for 400 strikes).
    static constexpr qint64 kRecentBytes = 4 * 1024 * 1024;

    explicit TrainingHistory(QString path);

    // $XDG_DATA_HOME/campanix/training-history.txt (by default under ~/.local/share).
    static QString defaultPath();

    const QString& path() const { return m_path; }

    // Every readable run, oldest first, read line by line.
    QList<TrainingRun> load() const;
    // Lines of the file that could not be read at the last load.
    int skippedLines() const { return m_skipped; }
    // The last `count` runs of a ringing (any part), oldest first, from the
    // last kRecentBytes of the file.
    QList<TrainingRun> lastRuns(const QString& ringing, int count) const;
    // The file exists but could not be opened for reading at the last load
    // or lastRuns (a missing file is an empty history).
    bool unreadable() const { return m_unreadable; }

    // Adds the run at the end of the file, creating it with a header line
    // when there is none. A file that exists but cannot be read is left
    // alone: the run is not kept, and problem() says why.
    bool append(const TrainingRun& run);
    // Why the last append failed, for the user; empty after a success.
    const QString& problem() const { return m_problem; }

    static QString formatLine(const TrainingRun& run);
    // False for a damaged line.
    static bool parseLine(const QString& line, TrainingRun& run);

private:
    bool fail(const QString& problem, const char* logText);

    QString m_path;
    QString m_problem;
    mutable int m_skipped = 0;
    mutable bool m_unreadable = false;
};
