#include "practice/EarTraining.h"

#include "bells/Ensemble.h"
#include "playback/ColumnStrikes.h"
#include "practice/PracticeHost.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

int strikeCount(const QList<QList<int>>& columns) {
    int count = 0;
    for (const QList<int>& column : columns) {
        count += static_cast<int>(column.size());
    }
    return count;
}

// Frames from the start of a grid to column c, without rounding drift.
std::int64_t columnOffset(int column, int intervalMs, int rate) {
    return static_cast<std::int64_t>(column) * intervalMs * rate / 1000;
}

} // namespace

EarTraining::EarTraining(PracticeHost& host, quint32 seed) : m_host(host), m_random(seed) {
    choosePassage();
}

void EarTraining::choosePassage() {
    m_columns.clear();
    const int size = m_host.commonScoreSize();
    const Ensemble& ensemble = m_host.ensemble();
    const int bars = size / kBarColumns;
    if (bars >= kBars) {
        m_interval = m_host.sequencerInterval() > 0 ? m_host.sequencerInterval() : kGeneratedIntervalMs;
        // A few tries for two bars with enough in them to hear a beat.
        for (int attempt = 0; attempt < 8 && m_columns.isEmpty(); ++attempt) {
            const int first = static_cast<int>(m_random.bounded(bars - kBars + 1)) * kBarColumns;
            QList<QList<int>> columns;
            for (int c = first; c < first + kBars * kBarColumns; ++c) {
                columns << ::ColumnSampleFiles(m_host.commonScoreLine(c), ensemble, StrikeSwitches{},
                                               QString(), [](int) { return QString(); })
                               .bells;
            }
            if (strikeCount(columns) >= 6) {
                m_columns = columns;
                m_fromRinging = true;
            }
        }
    }
    if (m_columns.isEmpty()) {
        m_interval = kGeneratedIntervalMs;
        m_fromRinging = false;
        QList<int> chosen;
        for (int bell = 0; bell < kBellCount; ++bell) {
            if (ensemble.isSelected(bell)) {
                chosen << bell;
            }
        }
        // The biggest and the three smallest: far apart, easy to tell.
        QList<int> bells;
        if (!chosen.isEmpty()) {
            bells << chosen.first();
            for (qsizetype i = std::max<qsizetype>(1, chosen.size() - 3); i < chosen.size(); ++i) {
                bells << chosen.at(i);
            }
        }
        m_columns = generatedColumns(bells);
    }
}

bool EarTraining::ready() const {
    return m_host.soundAvailable() && strikeCount(m_columns) > 0;
}

QList<int> EarTraining::bells() const {
    QList<int> bells;
    for (const QList<int>& column : m_columns) {
        for (int bell : column) {
            if (!bells.contains(bell)) {
                bells << bell;
            }
        }
    }
    std::sort(bells.begin(), bells.end());
    return bells;
}

QList<QList<int>> EarTraining::generatedColumns(const QList<int>& bells) {
    QList<QList<int>> columns(kBars * kBarColumns);
    if (bells.isEmpty()) {
        return {};
    }
    const QList<int> others = bells.size() > 1 ? bells.mid(1) : bells;
    int turn = 0;
    for (int c = 0; c < columns.size(); c += 2) {
        if (c % (kBarColumns / 2) == 0) {
            columns[c] << bells.first();
        } else {
            columns[c] << others.at(turn++ % others.size());
        }
    }
    return columns;
}

EarTrial EarTraining::makeTrial(const QList<QList<int>>& columns, std::int64_t startFrame, int intervalMs,
                                int rate, int oddIndex, double offsetMs, bool late) {
    EarTrial trial;
    for (int c = 0; c < columns.size() && trial.strikes.size() < kMostStrikes; ++c) {
        for (int bell : columns.at(c)) {
            if (trial.strikes.size() < kMostStrikes) {
                trial.strikes << EarStrike{bell, startFrame + columnOffset(c, intervalMs, rate)};
            }
        }
    }
    if (oddIndex < 0 || oddIndex >= trial.strikes.size()) {
        return trial;
    }
    const std::int64_t frames = std::llround(offsetMs * rate / 1000.0);
    trial.oddIndex = oddIndex;
    trial.bell = trial.strikes.at(oddIndex).bell;
    trial.late = late;
    trial.offsetFrames = late ? frames : -frames;
    trial.offsetMs = frames * 1000.0 / rate;
    trial.strikes[oddIndex].frame += trial.offsetFrames;
    return trial;
}

int EarTraining::oddStrikeOf(const QList<EarStrike>& strikes, quint32 bellPick, quint32 strikePick) {
    QList<int> bells;
    for (qsizetype i = 1; i < strikes.size(); ++i) {
        if (!bells.contains(strikes.at(i).bell)) {
            bells << strikes.at(i).bell;
        }
    }
    if (bells.isEmpty()) {
        return -1;
    }
    std::sort(bells.begin(), bells.end());
    const int bell = bells.at(static_cast<qsizetype>(bellPick % bells.size()));
    // Its strikes by preference: late and alone, late, alone, any.
    std::array<QList<int>, 4> ranked;
    const qsizetype half = strikes.size() / 2;
    for (qsizetype i = 1; i < strikes.size(); ++i) {
        if (strikes.at(i).bell != bell) {
            continue;
        }
        const std::int64_t frame = strikes.at(i).frame;
        const bool shared =
            strikes.at(i - 1).frame == frame || (i + 1 < strikes.size() && strikes.at(i + 1).frame == frame);
        ranked[static_cast<size_t>((i >= half ? 0 : 2) + (shared ? 1 : 0))] << static_cast<int>(i);
    }
    for (const QList<int>& from : ranked) {
        if (!from.isEmpty()) {
            return from.at(static_cast<qsizetype>(strikePick % from.size()));
        }
    }
    return -1;
}

const EarTrial& EarTraining::playTrial() {
    const int rate = m_host.audioSampleRate();
    const std::int64_t start = m_host.audioFrameClock() + m_host.schedulingLeadFrames() +
                               static_cast<std::int64_t>(kStartLeadMs) * rate / 1000;
    const EarTrial grid = makeTrial(m_columns, start, m_interval, rate, -1, 0.0, false);
    const quint32 bellPick = m_random.generate();
    const int odd = oddStrikeOf(grid.strikes, bellPick, m_random.generate());
    m_trial =
        makeTrial(m_columns, start, m_interval, rate, odd, m_staircase.amountMs(), m_random.bounded(2) == 1);
    m_answered = false;
    sound(m_trial);
    return m_trial;
}

void EarTraining::replay() {
    if (m_trial.strikes.isEmpty()) {
        return;
    }
    const int rate = m_host.audioSampleRate();
    const std::int64_t start = m_host.audioFrameClock() + m_host.schedulingLeadFrames() +
                               static_cast<std::int64_t>(kStartLeadMs) * rate / 1000;
    // The whole question moves together: the offset stays what it was.
    const std::int64_t shift = start - m_trial.strikes.first().frame;
    for (EarStrike& strike : m_trial.strikes) {
        strike.frame += shift;
    }
    sound(m_trial);
}

void EarTraining::sound(const EarTrial& trial) {
    // A question heard again does not sound over what is left of the last.
    silence();
    for (const EarStrike& strike : trial.strikes) {
        m_host.soundPlayedBell(strike.bell, strike.frame);
    }
}

void EarTraining::silence() {
    m_host.withdrawPlayedBells(m_host.audioFrameClock());
}

bool EarTraining::answer(int bell, bool late) {
    const bool right = bell == m_trial.bell && late == m_trial.late;
    if (!m_answered) {
        m_answered = true;
        m_staircase.answer(right);
    }
    return right;
}
