#pragma once

#include <QList>
#include <QStringList>

// "Повторить трудные такты": the worst bars of a run are played again and
// again, first at 80 % of the run's tempo; each pass whose error falls below
// the threshold raises the tempo by one step, until a pass at the full tempo
// is good enough.
class HardBarsDrill {
public:
    static constexpr int kStartPercent = 80;
    static constexpr int kStepPercent = 5;
    // A pass is good when its bar error (see barError) is at most this.
    static constexpr double kThresholdMs = 25.0;
    static constexpr int kBarColumns = 16;

    enum class Step { Again, Faster, Done };

    // bars: 0-based bar numbers of the ringing; interval: its milliseconds
    // per column at the full tempo.
    HardBarsDrill(QList<int> bars, int interval);

    const QList<int>& bars() const { return m_bars; }
    int tempoPercent() const { return m_percent; }
    // Milliseconds per column at the present step (a slower tempo is a longer column).
    int interval() const;
    bool isDone() const { return m_done; }
    int passes() const { return m_passes; }

    // One pass through the bars ended with this error.
    Step passEnded(double errorMs);

    // The columns of a score that the drill plays, bar after bar in the
    // given order; columns past the end of the score are left out.
    static QList<int> drillColumns(const QList<int>& bars, int scoreSize);
    // Those lines of a score ("" where it is shorter).
    static QStringList drillLines(const QStringList& score, const QList<int>& columns);

private:
    QList<int> m_bars;
    int m_interval;
    int m_percent = kStartPercent;
    int m_passes = 0;
    bool m_done = false;
};
