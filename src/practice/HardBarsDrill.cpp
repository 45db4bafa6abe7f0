#include "practice/HardBarsDrill.h"

#include <algorithm>
#include <cmath>

HardBarsDrill::HardBarsDrill(QList<int> bars, int interval) : m_bars(std::move(bars)), m_interval(interval) {}

int HardBarsDrill::interval() const {
    return static_cast<int>(std::lround(m_interval * 100.0 / m_percent));
}

HardBarsDrill::Step HardBarsDrill::passEnded(double errorMs) {
    ++m_passes;
    if (m_done) {
        return Step::Done;
    }
    if (errorMs > kThresholdMs) {
        return Step::Again;
    }
    if (m_percent >= 100) {
        m_done = true;
        return Step::Done;
    }
    m_percent = std::min(100, m_percent + kStepPercent);
    return Step::Faster;
}

QList<int> HardBarsDrill::drillColumns(const QList<int>& bars, int scoreSize) {
    QList<int> columns;
    for (int bar : bars) {
        for (int c = bar * kBarColumns; c < (bar + 1) * kBarColumns && c < scoreSize; ++c) {
            if (c >= 0) {
                columns << c;
            }
        }
    }
    return columns;
}

QStringList HardBarsDrill::drillLines(const QStringList& score, const QList<int>& columns) {
    QStringList lines;
    for (int c : columns) {
        lines << (c >= 0 && c < score.size() ? score.at(c) : QString());
    }
    return lines;
}
