#pragma once

#include "practice/TrainingHistory.h"
#include "practice/TrainingStats.h"

#include <QWidget>

// The errors of a run as a histogram: early strikes left of the middle, late
// ones right, each bin coloured as the marks on the score are.
class ErrorHistogramView : public QWidget {
    Q_OBJECT
public:
    explicit ErrorHistogramView(QWidget* parent = nullptr);
    void setHistogram(const std::array<int, TrainingStats::kBins>& bins);
    QSize sizeHint() const override { return {420, 170}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<int, TrainingStats::kBins> m_bins{};
};

// The progress over the last runs of a ringing: the share of strikes within
// 20 ms as columns, the mean distance from the beat as a line.
class ProgressChartView : public QWidget {
    Q_OBJECT
public:
    explicit ProgressChartView(QWidget* parent = nullptr);
    void setRuns(const QList<TrainingRun>& runs);
    QSize sizeHint() const override { return {420, 170}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<TrainingRun> m_runs;
};
