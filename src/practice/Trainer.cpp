#include "practice/Trainer.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "base/ProfileFile.h"
#include "base/ScorePages.h"
#include "input/KeyStrikeNotifier.h"
#include "playback/ColumnStrikes.h"
#include "practice/LatencyCalibration.h"
#include "practice/MarksOverlay.h"
#include "practice/PracticeHost.h"
#include "practice/RunReplay.h"
#include "practice/TrainingSetupDialog.h"
#include "practice/TrainingStats.h"
#include "practice/TrainingSummaryDialog.h"
#include "ringing/TChannels.h"

#include <QMessageBox>

#include <algorithm>
#include <cmath>

namespace {

// The count-in: one bar of four beats, a beat being four columns.
constexpr int kCountInBeats = 4;
constexpr int kBeatColumns = 4;
// The first count-in beat sounds this long after the command, so that it is
// placed on its frame however busy the window is.
constexpr int kCountInLeadMs = 80;
constexpr int kPollMs = 5;
constexpr int kHistoryRunsShown = 30;

} // namespace

Trainer::Trainer(PracticeHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_history(TrainingHistory::defaultPath()),
      m_grades(GradeBook::defaultPath()) {
    m_poll.setTimerType(Qt::PreciseTimer);
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this,
            [this] { guarded(lcPractice, "training poll", [this] { poll(); }); });
    connect(&host.keyStrikeNotifier(), &KeyStrikeNotifier::bellStruck, this,
            [this](int bell, std::int64_t strikeTimeMs) {
                guarded(lcPractice, "training key strike", [&] { keyStruck(bell, strikeTimeMs); });
            });
}

Trainer::~Trainer() = default;

QString Trainer::ringingName() const {
    return m_host.ringingName();
}

void Trainer::playCommanded() {
    // Play during the count-in starts the ringing at once: the beats to come would fall off its beat.
    if (m_state == State::CountIn) {
        m_host.withdrawPlayedBells(m_host.audioFrameClock());
    }
    // Playing on without practice leaves the marks of the last run behind.
    if (m_state == State::Idle && !m_drill) {
        m_marksShown = false;
        clearMarks();
    }
}

void Trainer::stopCommanded() {
    // A run heard again stops with the transport.
    if (m_summary && m_summary->replay()) {
        m_summary->replay()->stop();
    }
    if (m_state == State::CountIn) {
        endBeforeItBegins();
    }
}

void Trainer::endBeforeItBegins() {
    // The beats still to come are not heard.
    m_host.withdrawPlayedBells(m_host.audioFrameClock());
    m_state = State::Idle;
    m_silenced.fill(false);
    m_poll.stop();
    if (m_drill) {
        endDrill();
    }
    if (m_passage) {
        endPassage();
    }
}

double Trainer::latencyMs(const StrikeInput& input) const {
    return LatencyCalibration::readOffset(m_host.settingsFile(), input);
}

void Trainer::setLatencyMs(double milliseconds, const StrikeInput& input) {
    if (!LatencyCalibration::writeOffset(m_host.settingsFile(), milliseconds, input)) {
        qCWarning(lcPractice) << "could not store the latency offset in" << m_host.settingsFile().path();
    }
}

std::int64_t Trainer::latencyFrames(const StrikeInput& input) {
    for (const auto& [known, frames] : m_runLatencies) {
        if (known == input) {
            return frames;
        }
    }
    const std::int64_t frames = std::llround(latencyMs(input) * m_host.audioSampleRate() / 1000.0);
    m_runLatencies.append({input, frames});
    return frames;
}

std::int64_t Trainer::frameNow() {
    const std::int64_t now = KeyEventClock::steadyNowNs();
    if (m_clock) {
        m_clock->observe(now, m_host.audioFrameClock());
        return m_clock->frameAt(now);
    }
    return m_host.audioFrameClock();
}

std::int64_t Trainer::columnFrames(int interval) const {
    return static_cast<std::int64_t>(interval) * m_host.audioSampleRate() / 1000;
}

// ---- the menu command ----

void Trainer::nTrainingClick() {
    if (isRunning()) {
        endRun();
    }
    if (m_host.commonScoreSize() == 0) {
        QMessageBox::information(m_host.dialogParent(), QStringLiteral("Тренировка"),
                                 QStringLiteral("Сначала выберите звон, который хотите разучить."));
        return;
    }
    if (!m_host.soundAvailable()) {
        QMessageBox::information(m_host.dialogParent(), QStringLiteral("Тренировка"),
                                 QStringLiteral("Тренировка невозможна без звука."));
        return;
    }
    // The ringing would sound through the calibration's clicks; the run starts it again anyway.
    m_host.stop();
    TrainingSetupDialog dialog(m_host, *this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    startPlan(dialog.plan());
}

// ---- a run ----

bool Trainer::startRun(const PracticePart& part) {
    const QList<int> bells = part.bells(m_host.ensemble());
    if (bells.isEmpty() || m_host.commonScoreSize() == 0 || !m_host.soundAvailable()) {
        return false;
    }
    m_host.stop();
    m_part = part;
    const int rate = m_host.audioSampleRate();
    m_clock = std::make_unique<KeyEventClock>(rate);
    // Each input strikes with its own latency; the session waits for the longest.
    m_runLatencies.clear();
    std::int64_t longest = 0;
    for (const StrikeInput& input : m_host.strikeInputs()) {
        longest = std::max(longest, latencyFrames(input));
    }
    m_session = std::make_unique<PracticeSession>(bells, rate, longest);
    // A passage is heard again whole: every pass, on the ringing's own columns.
    if (!m_passage || m_passage->passes == 0) {
        m_recording = RunRecording{rate, bells, {}, {}};
    }
    m_silenced.fill(false);
    for (int bell : bells) {
        m_silenced[static_cast<size_t>(bell)] = true;
    }
    // A drill's or a passage's later passes keep what their first one took.
    if (!m_drill && !m_passage) {
        m_runInterval = m_host.sequencerInterval();
        // Kept now: another ringing may be loaded before the run is summed up.
        m_runRinging = ringingName();
        // The last summary would cover the staves the marks go on.
        if (m_summary) {
            m_summary->hide();
        }
    }
    m_lastColumn = -1;
    m_slowestInterval = 0;
    m_marksShown = true;
    m_state = State::CountIn;
    createOverlays();
    refreshMarks();
    m_poll.start();
    countInAndPlay();
    return true;
}

void Trainer::countInAndPlay() {
    int biggest = -1;
    for (int bell = 0; bell < kBellCount && biggest < 0; ++bell) {
        biggest = m_host.ensemble().isSelected(bell) ? bell : -1;
    }
    const int rate = m_host.audioSampleRate();
    const std::int64_t column = columnFrames(m_host.sequencerInterval());
    const std::int64_t start = frameNow() + static_cast<std::int64_t>(kCountInLeadMs) * rate / 1000;
    if (biggest >= 0) {
        for (int beat = 0; beat < kCountInBeats; ++beat) {
            m_host.soundPlayedBell(biggest, start + beat * kBeatColumns * column);
        }
    }
    // The ringing starts now, its column 0 on the bar after the count-in's:
    // the engine holds both on one grid, whatever the window does meanwhile.
    // Column 0 sounds a scheduling lead after its ideal frame.
    m_host.playAt(start + kCountInBeats * kBeatColumns * column - m_host.schedulingLeadFrames());
}

bool Trainer::silences(int bell) const {
    return m_state != State::Idle && bell >= 0 && bell < kBellCount && m_silenced[static_cast<size_t>(bell)];
}

void Trainer::columnStruck(int column, std::int64_t idealFrame) {
    if (m_state == State::CountIn && m_session) {
        // Column 0 is due: the count-in is over.
        m_state = State::Playing;
    }
    if (m_state != State::Playing || !m_session) {
        return;
    }
    if ((m_passage || m_drill) && column <= m_lastColumn && m_lastColumn == m_host.commonScoreSize() - 1) {
        // A group ringing loops by itself: its pass ends here, so that the
        // next one counts in at its own tempo (the poll sees the stop).
        m_host.stop();
        return;
    }
    const ColumnStrikes strikes =
        ::ColumnSampleFiles(m_host.commonScoreLine(column), m_host.ensemble(), StrikeSwitches{}, QString(),
                            [](int) { return QString(); });
    const std::int64_t lead = m_host.schedulingLeadFrames();
    m_lastColumn = column;
    m_slowestInterval = std::max(m_slowestInterval, m_host.sequencerInterval());
    m_session->columnPlayed(column, idealFrame + lead, columnFrames(m_host.sequencerInterval()),
                            strikes.bells);
    // The passage's columns stand in for the ringing's; the recording is
    // heard again once the ringing is back.
    m_recording.columnPlayed(m_passage ? m_passage->columns.value(column, column) : column,
                             idealFrame + lead);
}

void Trainer::keyStruck(int bell, std::int64_t strikeTimeMs) {
    if (m_state == State::Idle || !m_session || !m_clock || !m_session->practises(bell)) {
        return;
    }
    const std::int64_t now = KeyEventClock::steadyNowNs();
    m_clock->observe(now, m_host.audioFrameClock());
    const std::int64_t moment = std::min(
        now, m_host.strikingMomentNs().value_or(KeyEventClock::momentOfMilliseconds(strikeTimeMs, now)));
    m_session->keyRung(bell, m_clock->frameAt(moment), latencyFrames(m_host.strikingInput()));
}

void Trainer::poll() {
    if (m_state == State::Idle || !m_session) {
        m_poll.stop();
        return;
    }
    const QList<StrikeOutcome> settled = m_session->settle(frameNow());
    if (!settled.isEmpty() || shownPage() != m_markedPage) {
        refreshMarks();
    }
    if (m_state == State::Playing && !m_host.isPlaying()) {
        finishPass();
    } else if (m_state == State::CountIn && !m_host.isPlaying()) {
        // Stopped or paused before column 0 (the window's Stop comes here
        // too, unless stopCommanded was first): the run never began.
        endBeforeItBegins();
    }
}

void Trainer::endRun() {
    if (m_state == State::CountIn) {
        m_host.withdrawPlayedBells(m_host.audioFrameClock());
        m_state = State::Playing;
    }
    if (m_state == State::Playing) {
        m_host.stop();
        finishPass();
    }
}

void Trainer::finishPass() {
    m_state = State::Idle;
    m_poll.stop();
    m_silenced.fill(false);
    m_session->finish(frameNow());
    refreshMarks();
    const QList<StrikeOutcome> outcomes = m_session->outcomes();
    if (m_drill) {
        // Both bars must be good; each drill bar is one bar of its columns.
        double error = 0.0;
        const int bars = static_cast<int>((m_drillColumns.size() + HardBarsDrill::kBarColumns - 1) /
                                          HardBarsDrill::kBarColumns);
        for (int bar = 0; bar < bars; ++bar) {
            error = std::max(error, barError(outcomes, bar));
        }
        const HardBarsDrill::Step step = m_drill->passEnded(error);
        if (m_summary) {
            m_summary->showDrillPass(m_drill->tempoPercent(), error, step);
        }
        // A pass stopped before its last column was stopped by the user: the drill ends.
        const bool stopped = m_lastColumn < m_host.commonScoreSize() - 1;
        if (step == HardBarsDrill::Step::Done || stopped) {
            endDrill(step == HardBarsDrill::Step::Done);
        } else {
            startDrillPass();
        }
        return;
    }
    if (m_passage) {
        passagePassEnded(outcomes);
        return;
    }
    showSummary(outcomes);
    // Only a run through to the last column is a pass through the ringing.
    const bool whole = m_lastColumn >= m_host.commonScoreSize() - 1;
    showNote(gradeNote(whole && atOwnTempo() ? &outcomes : nullptr, whole && !atOwnTempo()));
}

void Trainer::showSummary(const QList<StrikeOutcome>& outcomes) {
    // The drill works on this run's bars, however many drill passes follow.
    m_lastRunOutcomes = outcomes;
    const TrainingStats stats = computeStats(outcomes);
    if (stats.expected() == 0 && stats.extras == 0) {
        m_host.showStatusMessage(QStringLiteral("Тренировка остановлена до первого удара вашей партии"));
        return;
    }
    TrainingRun run;
    run.date = QDateTime::currentDateTime();
    // The history cannot read a run back without the name of its ringing.
    run.ringing = m_runRinging.isEmpty() ? QStringLiteral("Звон без названия") : m_runRinging;
    run.part = m_part.code();
    run.interval = m_runInterval;
    run.meanMs = stats.meanMs;
    run.shareOnTime = stats.shareOnTime;
    run.deviationMs = stats.deviationMs;
    run.meanAbsoluteMs = stats.meanAbsoluteMs;
    run.hits = stats.hits;
    run.misses = stats.misses;
    run.extras = stats.extras;
    m_recording.takeStrikes(outcomes);
    run.recording = m_recording.encode();
    const bool stored = m_history.append(run);
    if (!m_summary) {
        m_summary = new TrainingSummaryDialog(m_host.dialogParent());
        connect(m_summary, &TrainingSummaryDialog::repeatHardBarsRequested, this,
                [this] { guarded(lcPractice, "repeat hard bars", [this] { repeatHardBars(); }); });
        // Closing the summary ends a drill in progress.
        connect(m_summary, &QDialog::finished, this, [this] {
            guarded(lcPractice, "training summary closed", [this] {
                if (m_drill) {
                    endRun();
                    endDrill();
                }
            });
        });
    }
    const QList<TrainingRun> progress = m_history.lastRuns(run.ringing, kHistoryRunsShown);
    m_summary->showRun(stats, run, m_part.caption(), progress, stored ? QString() : m_history.problem(),
                       m_history.unreadable());
    m_summary->showStrikes(m_host, outcomes, m_recording, columnFrames(m_runInterval));
    m_summary->show();
    m_summary->raise();
}

// ---- the drill of hard bars ----

void Trainer::repeatHardBars() {
    if (isRunning() || m_drill || m_passage) {
        return;
    }
    const TrainingStats stats = computeStats(m_lastRunOutcomes);
    if (stats.worstBars.isEmpty()) {
        return;
    }
    QList<int> bars = stats.worstBars;
    std::sort(bars.begin(), bars.end());
    m_drillColumns = HardBarsDrill::drillColumns(bars, m_host.commonScoreSize());
    if (m_drillColumns.isEmpty()) {
        return;
    }
    m_drill.emplace(bars, m_runInterval);
    putRingingAside(m_drillColumns);
    m_host.stop();
    if (m_summary) {
        m_summary->showDrillStart(bars, m_drill->tempoPercent());
    }
    startDrillPass();
}

void Trainer::startDrillPass() {
    m_host.setTempo(m_drill->interval());
    if (!startRun(m_part)) {
        endDrill();
    }
}

void Trainer::endDrill(bool done) {
    if (!m_drill) {
        return;
    }
    if (m_summary) {
        m_summary->showDrillEnd(done);
    }
    m_drill.reset();
    m_drillColumns.clear();
    bringRingingBack();
}

// ---- marks over the score ----

void Trainer::createOverlays() {
    for (int g = 0; g < kGroupCount; ++g) {
        MarksOverlay*& overlay = m_overlays[static_cast<size_t>(g)];
        QWidget* staff = m_host.staff(groupAt(g));
        if (!overlay && staff) {
            overlay = new MarksOverlay(staff);
            connect(overlay, &MarksOverlay::resized, this,
                    [this] { guarded(lcPractice, "training marks", [this] { refreshMarks(); }); });
        }
    }
}

int Trainer::shownPage() const {
    return std::max(0, m_host.pagePosition() - 1);
}

void Trainer::clearMarks() {
    for (MarksOverlay* overlay : m_overlays) {
        if (overlay) {
            overlay->setMarks({});
        }
    }
}

void Trainer::refreshMarks() {
    if (!m_session || !m_marksShown) {
        clearMarks();
        return;
    }
    const int page = shownPage();
    m_markedPage = page;
    const int first = page * kPageColumns;
    const int last = first + kPageColumns - 1;
    const QList<StrikeOutcome> latest = m_session->latestMarks(first, last);
    for (int g = 0; g < kGroupCount; ++g) {
        MarksOverlay* overlay = m_overlays[static_cast<size_t>(g)];
        if (!overlay) {
            continue;
        }
        QList<StrikeOutcome> onStaff;
        for (const StrikeOutcome& o : latest) {
            if (m_host.ensemble().group(o.bell) == ensembleGroupNumber(groupAt(g)) && o.column >= first &&
                o.column <= last) {
                onStaff << o;
            }
        }
        const QSize size = overlay->size();
        const ScoreStaffArea area = scoreStaffArea(g, size, staffPage(page));
        overlay->setMarks(placeMarks(
            headsOf(groupAt(g), size, page), onStaff,
            [&area](int column) { return area.left + columnX(column, area.size.width()); },
            size.height() / 2));
    }
}
