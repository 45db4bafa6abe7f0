#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

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
};

// The history of practice runs: one line per run in a UTF-8 text file,
// fields separated by ";" (";", "%" and line breaks inside a field are
// written as %3B, %25, %0A, %0D). A line that cannot be read is skipped, not
// fatal, and kept as it is when the file is written again. Every append
// rewrites the file whole or not at all.
class TrainingHistory {
public:
    explicit TrainingHistory(QString path);

    // $XDG_DATA_HOME/campanix/training-history.txt (by default under ~/.local/share).
    static QString defaultPath();

    const QString& path() const { return m_path; }

    // Every readable run, oldest first.
    QList<TrainingRun> load() const;
    // Lines of the file that could not be read at the last load.
    int skippedLines() const { return m_skipped; }
    // The last `count` runs of a ringing (any part), oldest first.
    QList<TrainingRun> lastRuns(const QString& ringing, int count) const;

    bool append(const TrainingRun& run);

    static QString formatLine(const TrainingRun& run);
    // False for a damaged line.
    static bool parseLine(const QString& line, TrainingRun& run);

private:
    QStringList readLines() const;

    QString m_path;
    mutable int m_skipped = 0;
};
