#pragma once

#include "base/BellGroups.h"
#include "practice/HardBarsDrill.h"
#include "practice/KeyEventClock.h"
#include "practice/PracticeGrades.h"
#include "practice/PracticeHost.h"
#include "practice/PracticePart.h"
#include "practice/PracticePlan.h"
#include "practice/PracticeSession.h"
#include "practice/RunRecording.h"
#include "practice/StrikeMarks.h"
#include "practice/TrainingHistory.h"
#include "score/ScoreLayout.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>

class MarksOverlay;
class TrainingSummaryDialog;

// Ring-along practice: the user rings one group of the loaded ringing (or
// one bell of it) from the keyboard while the program plays the rest. Owns
// the practice dialogs, the marks over the score, the run in progress, the
// latency offset and the history of runs. The window forwards the menu
// command, every column the sequencer strikes, Play and Stop to it; it hears
// the bell keys itself.
class Trainer : public QObject {
    Q_OBJECT
public:
    Trainer(PracticeHost& host, QObject* parent = nullptr);
    ~Trainer() override;

    // "Тренировка ...": choose the part and start a run.
    void nTrainingClick();
    // Starts a run of `part` at once (count-in, then playback); false with
    // nothing changed when the part or the ringing cannot be practised.
    bool startRun(const PracticePart& part);
    // Starts what the setup chose: a single run, or a passage looped (with
    // its ramp) until the user stops it; false as startRun.
    bool startPlan(const PracticePlan& plan);
    // "Тренировка слуха ...".
    void nEarTrainingClick();
    // Ends the run in progress as if playback had stopped.
    void endRun();
    // The user's Play: playing on without practice hides the last run's marks.
    void playCommanded();
    // The user's Stop: a stop during the count-in ends the run before it begins.
    void stopCommanded();

    // From the window: the sequencer struck `column` with its ideal frame.
    void columnStruck(int column, std::int64_t idealFrame);
    // A bell was struck by its key at strikeTimeMs, milliseconds on the
    // monotonic clock (as the window's key strike notifier tells it).
    void keyStruck(int bell, std::int64_t strikeTimeMs);
    // True for a bell the user rings in the run in progress (the sequencer
    // leaves it silent).
    bool silences(int bell) const;

    bool isRunning() const { return m_state != State::Idle; }
    bool isCountingIn() const { return m_state == State::CountIn; }
    // The run in progress, or the last one (nullptr before the first).
    const PracticeSession* session() const { return m_session.get(); }
    const std::optional<HardBarsDrill>& drill() const { return m_drill; }
    // The looped passage in progress: its passes so far and its ramp.
    bool inPassage() const { return m_passage.has_value(); }
    int passagePasses() const { return m_passage ? m_passage->passes : 0; }
    const TempoRamp* ramp() const { return m_passage && m_passage->ramp ? &*m_passage->ramp : nullptr; }
    GradeBook& grades() { return m_grades; }
    // The latency of an input (the keys by default), to a tenth of a ms.
    double latencyMs(const StrikeInput& input = StrikeInput::keys()) const;
    void setLatencyMs(double milliseconds, const StrikeInput& input = StrikeInput::keys());
    TrainingHistory& history() { return m_history; }
    TrainingSummaryDialog* summary() const { return m_summary; }
    // The loaded ringing's name.
    QString ringingName() const;

    // "Повторить трудные такты" of the last run.
    void repeatHardBars();

    // Reads the frame clock; run by the poll timer, also by tests.
    void poll();
    // The marks over the score follow the page shown and the outcomes.
    void refreshMarks();

private:
    enum class State { Idle, CountIn, Playing };

    std::int64_t frameNow();
    std::int64_t columnFrames(int interval) const;
    void countInAndPlay();
    // Stopped during the count-in: nothing was rung, nothing is summed up.
    void endBeforeItBegins();
    void finishPass();
    void showSummary(const QList<StrikeOutcome>& outcomes);
    void startDrillPass();
    // done: the bars came out well at the full tempo; otherwise it was stopped.
    void endDrill(bool done = false);
    // The ringing's scores give way to `columns` of them, and come back.
    void putRingingAside(const QList<int>& columns);
    void bringRingingBack();
    void passagePassEnded(const QList<StrikeOutcome>& outcomes);
    void endPassage();
    // Raises the grade on a whole pass (nullptr: none) and tells where it
    // stands; `slowed`: the pass was whole but slower than the ringing.
    QString gradeNote(const QList<StrikeOutcome>* wholePass, bool slowed = false);
    // The pass so far was played at the ringing's own tempo (or faster)
    // throughout: only such a pass counts for a grade.
    bool atOwnTempo() const;
    void showNote(const QString& text);
    void createOverlays();
    QList<MarkHead> headsOf(BellGroup group, const QSize& size, int page) const;
    // The page of the window's staves the marks stand over.
    ScorePage staffPage(int page) const;
    static int columnX(int column, int staffWidth);
    int shownPage() const;
    void clearMarks();

    PracticeHost& m_host;
    State m_state = State::Idle;
    PracticePart m_part;
    std::unique_ptr<PracticeSession> m_session;
    std::unique_ptr<KeyEventClock> m_clock;
    std::array<bool, 15> m_silenced{};
    // The run's latency of each input that struck, in frames.
    std::int64_t latencyFrames(const StrikeInput& input);
    QList<std::pair<StrikeInput, std::int64_t>> m_runLatencies;
    int m_runInterval = 0;
    QString m_runRinging;
    QList<StrikeOutcome> m_lastRunOutcomes;
    RunRecording m_recording;
    TrainingHistory m_history;
    QTimer m_poll;
    // The column struck last in the run (-1 before the first), and the
    // longest interval any column of the pass was played at.
    int m_lastColumn = -1;
    int m_slowestInterval = 0;

    // The drill of hard bars: the ringing's scores are put aside while the
    // drill's columns play, and put back when it ends.
    std::optional<HardBarsDrill> m_drill;
    std::array<QStringList, 4> m_savedScores;
    QList<int> m_drillColumns;
    QStringList m_drillCommon;
    int m_savedInterval = 0;
    PracticeHost::TransportRanges m_savedRanges;

    // A passage looped: the ringing is put aside as for the drill; its
    // outcomes are kept by the ringing's columns over all passes.
    struct Passage {
        std::pair<int, int> bars;
        QList<int> columns;
        std::optional<TempoRamp> ramp;
        int toleranceMs = 0;
        int passes = 0;
        QList<StrikeOutcome> outcomes;
        bool wholeRinging = false;
    };
    std::optional<Passage> m_passage;
    GradeBook m_grades;

    std::array<MarksOverlay*, kGroupCount> m_overlays{};
    bool m_marksShown = false;
    int m_markedPage = -1;
    // Created with the first summary; a child of the host's dialog parent.
    TrainingSummaryDialog* m_summary = nullptr;
};
