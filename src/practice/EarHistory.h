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

    // The last `count` results, oldest first.
    QList<EarResult> last(int count) const;
    bool append(const EarResult& result);

    static QString formatLine(const EarResult& result);
    static bool parseLine(const QString& line, EarResult& result);

private:
    QString m_path;
};

// "9 мс, 8 мс, 7 мс: лучше" — the last results and which way they go.
QString earTrendText(const QList<EarResult>& results);
