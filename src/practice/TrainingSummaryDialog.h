#pragma once

#include "practice/HardBarsDrill.h"
#include "practice/RunRecording.h"
#include "practice/TrainingHistory.h"
#include "practice/TrainingStats.h"

#include <QDialog>

class ErrorHistogramView;
class ErrorTimelineView;
class PracticeHost;
class ProgressChartView;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;
class RunReplay;

// What a practice run came to: the figures, overall and by bell, the
// histogram of errors and the errors through the run, the two worst bars
// with the button that drills them, the progress of the last runs of the
// ringing, and the run heard again (an earlier one too, by a click on its
// point in the progress).
class TrainingSummaryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TrainingSummaryDialog(QWidget* parent);

    // storeProblem: why the run was not kept in the history (empty when it
    // was); historyUnreadable: the progress could not be read.
    void showRun(const TrainingStats& stats, const TrainingRun& run, const QString& partCaption,
                 const QList<TrainingRun>& progress, const QString& storeProblem, bool historyUnreadable);
    // The run's strikes: the figures by bell, the errors through the run
    // and what "Прослушать" plays. columnFrames: the run's column length.
    void showStrikes(PracticeHost& host, const QList<StrikeOutcome>& outcomes, const RunRecording& recording,
                     std::int64_t columnFrames);
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
    QPushButton* listenButton() const { return m_listen; }
    QTableWidget* bellTable() const { return m_bellTable; }
    ErrorTimelineView* timelineView() const { return m_timeline; }
    ProgressChartView* progressView() const { return m_progress; }
    RunReplay* replay() const { return m_replay; }
    QString replayText() const;

    // Plays the shown run, or an earlier one of the progress (an index into
    // its runs), as rung or as written by the switch; stops one playing.
    void listen();
    void listenToEarlierRun(int progressIndex);

signals:
    void repeatHardBarsRequested();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* m_title = nullptr;
    QLabel* m_figures = nullptr;
    QLabel* m_storeProblem = nullptr;
    QLabel* m_worst = nullptr;
    QLabel* m_drill = nullptr;
    ErrorHistogramView* m_histogram = nullptr;
    ProgressChartView* m_progress = nullptr;
    QPushButton* m_repeat = nullptr;
    QTableWidget* m_bellTable = nullptr;
    ErrorTimelineView* m_timeline = nullptr;
    QPushButton* m_listen = nullptr;
    QCheckBox* m_asWritten = nullptr;
    QLabel* m_replayNote = nullptr;
    PracticeHost* m_host = nullptr;
    RunReplay* m_replay = nullptr;
    RunRecording m_recording;
    QList<TrainingRun> m_progressRuns;

    void startReplay(const RunRecording& recording, const QString& what);
    void replayFinished();
    // The shown run has bars to drill.
    bool m_hardBars = false;
};

// "такты 3 и 7" for 0-based bars 2 and 6.
QString barsText(const QList<int>& bars);
