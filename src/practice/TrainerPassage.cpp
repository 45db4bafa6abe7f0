// A passage of bars looped with a count-in before each pass, its tempo
// ramp, the grades of a part, and ear training.

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "practice/EarHistory.h"
#include "practice/EarTrainingDialog.h"
#include "practice/PracticeHost.h"
#include "practice/Trainer.h"
#include "practice/TrainingSummaryDialog.h"
#include "ringing/TChannels.h"

#include <QMessageBox>
#include <QRandomGenerator>

QList<int> passageColumns(int firstBar, int lastBar, int scoreSize) {
    QList<int> bars;
    for (int bar = std::max(0, firstBar); bar <= lastBar; ++bar) {
        bars << bar;
    }
    return HardBarsDrill::drillColumns(bars, scoreSize);
}

bool Trainer::startPlan(const PracticePlan& plan) {
    if (!plan.loops()) {
        return startRun(plan.part);
    }
    if (isRunning()) {
        endRun();
    }
    if (m_drill || m_passage || plan.part.bells(m_host.ensemble()).isEmpty() || !m_host.soundAvailable()) {
        return false;
    }
    const int size = m_host.commonScoreSize();
    const int lastBar = (size - 1) / HardBarsDrill::kBarColumns;
    const std::pair<int, int> bars = plan.bars.value_or(std::pair<int, int>{0, lastBar});
    const QList<int> columns = passageColumns(bars.first, bars.second, size);
    if (columns.isEmpty()) {
        return false;
    }
    Passage passage;
    passage.bars = bars;
    passage.columns = columns;
    passage.wholeRinging = columns.size() == size;
    m_runInterval = m_host.sequencerInterval();
    m_runRinging = ringingName();
    m_part = plan.part;
    passage.toleranceMs = PracticeGrades::workingToleranceMs(m_grades.grade(m_runRinging, plan.part.code()));
    if (plan.ramp) {
        passage.ramp.emplace(m_runInterval, *plan.ramp);
    }
    m_passage = std::move(passage);
    if (m_summary) {
        m_summary->hide();
    }
    m_host.stop();
    putRingingAside(m_passage->columns);
    m_host.setTempo(m_passage->ramp ? m_passage->ramp->interval() : m_runInterval);
    if (!startRun(plan.part)) {
        endPassage();
        return false;
    }
    return true;
}

void Trainer::passagePassEnded(const QList<StrikeOutcome>& outcomes) {
    Passage& passage = *m_passage;
    // Kept by the ringing's own columns, so the summary names its bars.
    for (StrikeOutcome o : outcomes) {
        o.column = passage.columns.value(o.column, o.column);
        o.pass = passage.passes;
        passage.outcomes << o;
    }
    ++passage.passes;
    const bool stopped = m_lastColumn < m_host.commonScoreSize() - 1;
    // A ringing loaded meanwhile is not the passage any more.
    const bool replaced = m_host.channels().common() != m_drillCommon;
    if (stopped || replaced) {
        endPassage();
        return;
    }
    const double share = PracticeGrades::shareWithin(outcomes, passage.toleranceMs);
    if (passage.wholeRinging && atOwnTempo()) {
        const int before = m_grades.grade(m_runRinging, m_part.code());
        const int after = PracticeGrades::gradeAfterPass(before, outcomes);
        if (after > before) {
            m_grades.raise(m_runRinging, m_part.code(), after);
        }
    }
    QString text = QStringLiteral("Проход %1: %2% ударов в допуске %3 мс")
                       .arg(passage.passes)
                       .arg(qRound(share * 100))
                       .arg(passage.toleranceMs);
    const int grade = m_grades.grade(m_runRinging, m_part.code());
    if (PracticeGrades::workingToleranceMs(grade) != passage.toleranceMs) {
        // The next passes work on the tighter tolerance of the grade reached.
        text += QStringLiteral(", новый уровень: %1").arg(PracticeGrades::caption(grade));
        passage.toleranceMs = PracticeGrades::workingToleranceMs(grade);
    }
    if (passage.ramp) {
        const TempoRamp::Step step = passage.ramp->passEnded(share);
        text += (step == TempoRamp::Step::Faster ? QStringLiteral(", темп поднят до %1%")
                                                 : QStringLiteral(", темп %1%"))
                    .arg(passage.ramp->percent());
        m_host.setTempo(passage.ramp->interval());
    }
    m_host.showStatusMessage(text);
    if (!startRun(m_part)) {
        endPassage();
    }
}

void Trainer::endPassage() {
    if (!m_passage) {
        return;
    }
    const Passage passage = std::move(*m_passage);
    m_passage.reset();
    bringRingingBack();
    showSummary(passage.outcomes);
    QString note = QStringLiteral("Такты %1–%2, проходов: %3")
                       .arg(passage.bars.first + 1)
                       .arg(passage.bars.second + 1)
                       .arg(passage.passes);
    if (passage.ramp) {
        note += QStringLiteral(", темп в конце %1%").arg(passage.ramp->percent());
    }
    showNote(note + QStringLiteral(". ") + gradeNote(nullptr));
}

bool Trainer::atOwnTempo() const {
    // A ringing of unknown tempo grants nothing.
    const int own = m_host.channels().ownInterval();
    return own > 0 && m_slowestInterval > 0 && m_slowestInterval <= own;
}

QString Trainer::gradeNote(const QList<StrikeOutcome>* wholePass, bool slowed) {
    const QString part = m_part.code();
    int grade = m_grades.grade(m_runRinging, part);
    QString raised = slowed ? QStringLiteral("Уровень дается только в темпе самого звона. ") : QString();
    if (wholePass) {
        const int after = PracticeGrades::gradeAfterPass(grade, *wholePass);
        if (after > grade) {
            grade = after;
            raised = QStringLiteral("Новый уровень! ");
            if (!m_grades.raise(m_runRinging, part, after)) {
                raised += QStringLiteral("(Уровень не удалось сохранить.) ");
            }
        }
    }
    if (grade >= PracticeGrades::kTopGrade) {
        return raised + QStringLiteral("Уровень: %1 — высший.").arg(PracticeGrades::caption(grade));
    }
    return raised +
           QStringLiteral("Уровень: %1; следующий — %2 ударов в пределах %3 мс за весь звон в его темпе.")
               .arg(PracticeGrades::caption(grade))
               .arg(QStringLiteral("%1%").arg(qRound(PracticeGrades::kPassShare * 100)))
               .arg(PracticeGrades::workingToleranceMs(grade));
}

void Trainer::showNote(const QString& text) {
    if (m_summary && m_summary->isVisible()) {
        m_summary->showNote(text);
    }
}

void Trainer::putRingingAside(const QList<int>& columns) {
    m_savedInterval = m_host.sequencerInterval();
    m_savedRanges = m_host.transportRanges();
    TChannels& channels = m_host.channels();
    for (int i = 0; i <= TChannels::kCommonScore; ++i) {
        m_savedScores[static_cast<size_t>(i)] = channels.score(i);
        channels.score(i) = HardBarsDrill::drillLines(channels.score(i), columns);
    }
    m_drillCommon = channels.common();
}

void Trainer::bringRingingBack() {
    TChannels& channels = m_host.channels();
    // A ringing loaded meanwhile replaced the bars put in: it stays, and the
    // ringing put aside is not brought back over it.
    const bool aside = channels.common() == m_drillCommon;
    for (int i = 0; i <= TChannels::kCommonScore; ++i) {
        if (aside) {
            channels.score(i) = m_savedScores[static_cast<size_t>(i)];
        }
        m_savedScores[static_cast<size_t>(i)].clear();
    }
    m_drillCommon.clear();
    // The marks stand on the columns played, not on the ringing's.
    m_marksShown = false;
    clearMarks();
    if (aside) {
        m_host.setTempo(m_savedInterval);
        m_host.stop();
        m_host.restoreTransportRanges(m_savedRanges);
    }
}

void Trainer::nEarTrainingClick() {
    if (isRunning()) {
        endRun();
    }
    if (!m_host.soundAvailable()) {
        QMessageBox::information(m_host.dialogParent(), QStringLiteral("Тренировка слуха"),
                                 QStringLiteral("Тренировка слуха невозможна без звука."));
        return;
    }
    m_host.stop();
    EarHistory history(EarHistory::defaultPath());
    EarTrainingDialog dialog(m_host, history, QRandomGenerator::global()->generate());
    dialog.exec();
}
