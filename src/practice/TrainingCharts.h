#pragma once

#include "practice/ProgressSeries.h"
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
// 20 ms, one line per part and tempo, with a legend below; the days apart
// by dotted lines, runs of one day by their time.
class ProgressChartView : public QWidget {
    Q_OBJECT
public:
    // At most this many lines, those practised last.
    static constexpr int kMostLines = 4;

    explicit ProgressChartView(QWidget* parent = nullptr);
    // The runs oldest first; `message` stands in for the chart when there
    // are none to draw (empty for the usual one).
    void setRuns(const QList<TrainingRun>& runs, const QString& message = QString());
    const QList<ProgressSeries>& series() const { return m_series; }
    QSize sizeHint() const override { return {420, 200}; }
    // The run drawn nearest `position` within a few pixels (an index into
    // the runs given), -1 for none; as last painted.
    int runAt(const QPointF& position) const;

signals:
    // A run's point was clicked.
    void runClicked(int run);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QList<TrainingRun> m_runs;
    QList<std::pair<QPointF, int>> m_points;
    QList<ProgressSeries> m_series;
    QString m_message;
};
