#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One threshold found by ear training.
struct EarResult {
    QDateTime date;
    double thresholdMs = 0.0;
    int trials = 0;
};

// The thresholds found by ear training, one line each, appended and synced
// (never rewritten); a damaged or torn line is skipped on reading.
class EarHistory {
public:
    explicit EarHistory(QString path);
    // $XDG_DATA_HOME/campanix/ear-training.txt (by default under ~/.local/share).
    static QString defaultPath();
    const QString& path() const { return m_path; }

    // Only this much of the file's end is read: results are shown from the
    // end, and a long history (or a huge file) costs no more than a short one.
    static constexpr qint64 kTailBytes = 64 * 1024;

    // The last `count` results, oldest first, from the last kTailBytes.
    QList<EarResult> last(int count) const;
    // The file exists but could not be read at the last call of last().
    bool unreadable() const { return m_unreadable; }
    bool append(const EarResult& result);

    static QString formatLine(const EarResult& result);
    // False for a damaged line, and for a threshold no staircase can find
    // (beyond its ceiling, or not a finite number).
    static bool parseLine(const QString& line, EarResult& result);

private:
    QString m_path;
    mutable bool m_unreadable = false;
};

// "9 мс, 8 мс, 7 мс: лучше" — the last results and which way they go.
QString earTrendText(const QList<EarResult>& results);
