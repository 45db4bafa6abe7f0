#pragma once

#include "practice/HardBarsDrill.h"
#include "practice/TrainingHistory.h"
#include "practice/TrainingStats.h"

#include <QDialog>

class ErrorHistogramView;
class ProgressChartView;
class QLabel;
class QPushButton;

// What a practice run came to: the figures, the histogram of errors, the two
// worst bars with the button that drills them, and the progress of the last
// runs of the ringing.
class TrainingSummaryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TrainingSummaryDialog(QWidget* parent);

    // storeProblem: why the run was not kept in the history (empty when it
    // was); historyUnreadable: the progress could not be read.
    void showRun(const TrainingStats& stats, const TrainingRun& run, const QString& partCaption,
                 const QList<TrainingRun>& progress, const QString& storeProblem, bool historyUnreadable);
    // While a drill runs, the bell keys ring from this dialog as from the
    // main window, and no button of it holds the focus.
    void showDrillStart(const QList<int>& bars, int tempoPercent);
    void showDrillPass(int tempoPercent, double errorMs, HardBarsDrill::Step step);
    // The drill is over: done at the full tempo, or stopped.
    void showDrillEnd(bool done);
    // A line under the figures (the grade reached, the passes of a passage).
    void showNote(const QString& text);

    QString figuresText() const;
    QString drillText() const;
    QPushButton* repeatButton() const { return m_repeat; }

signals:
    void repeatHardBarsRequested();

private:
    QLabel* m_title = nullptr;
    QLabel* m_figures = nullptr;
    QLabel* m_worst = nullptr;
    QLabel* m_drill = nullptr;
    ErrorHistogramView* m_histogram = nullptr;
    ProgressChartView* m_progress = nullptr;
    QPushButton* m_repeat = nullptr;
    // The shown run has bars to drill.
    bool m_hardBars = false;
};

// "такты 3 и 7" for 0-based bars 2 and 6.
QString barsText(const QList<int>& bars);
