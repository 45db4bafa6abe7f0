#include "record/training/PracticeSession.h"

#include <algorithm>

PracticeSession::PracticeSession(QList<int> bells, int sampleRate, std::int64_t latencyFrames)
    : m_bells(std::move(bells)), m_matcher(sampleRate), m_latencyFrames(latencyFrames) {}

void PracticeSession::columnPlayed(int column, std::int64_t soundFrame, std::int64_t columnFrames,
                                   const QList<int>& columnBells) {
    if (m_lastColumn >= 0 && column <= m_lastColumn) {
        ++m_pass;
    }
    m_lastColumn = column;
    QList<int> practised;
    for (int bell : columnBells) {
        if (practises(bell)) {
            practised << bell;
        }
    }
    m_matcher.addColumn(column, m_pass, soundFrame, columnFrames, practised);
}

void PracticeSession::keyRung(int bell, std::int64_t frame) {
    if (practises(bell)) {
        m_matcher.addKey(bell, frame - m_latencyFrames);
    }
}

void PracticeSession::keep(const QList<StrikeOutcome>& outcomes) {
    m_outcomes += outcomes;
}

QList<StrikeOutcome> PracticeSession::settle(std::int64_t nowFrame) {
    // Keys are matched after the latency is taken off, so a key stamped at
    // nowFrame may stand for a strike up to the latency earlier; and it may
    // still be on its way to the program.
    const std::int64_t delivery = static_cast<std::int64_t>(kDeliveryMs) * m_matcher.sampleRate() / 1000;
    const QList<StrikeOutcome> out =
        m_matcher.settle(nowFrame - delivery - std::max<std::int64_t>(0, m_latencyFrames));
    keep(out);
    return out;
}

QList<StrikeOutcome> PracticeSession::finish(std::int64_t endFrame) {
    const QList<StrikeOutcome> out = m_matcher.finish(endFrame);
    keep(out);
    return out;
}

QList<StrikeOutcome> PracticeSession::latestMarks() const {
    QHash<qint64, int> latest; // (column, bell) -> index of its latest outcome
    QList<StrikeOutcome> marks;
    int lastPass = 0;
    for (const StrikeOutcome& o : m_outcomes) {
        lastPass = std::max(lastPass, o.pass);
    }
    for (const StrikeOutcome& o : m_outcomes) {
        if (o.kind == StrikeOutcome::Kind::Extra) {
            if (o.pass == lastPass) {
                marks << o;
            }
            continue;
        }
        const qint64 key = static_cast<qint64>(o.column) * 64 + o.bell;
        const auto it = latest.find(key);
        if (it == latest.end()) {
            latest.insert(key, static_cast<int>(marks.size()));
            marks << o;
        } else {
            marks[*it] = o;
        }
    }
    return marks;
}

QList<StrikeOutcome> PracticeSession::outcomesOfPass(int pass) const {
    QList<StrikeOutcome> result;
    for (const StrikeOutcome& o : m_outcomes) {
        if (o.pass == pass) {
            result << o;
        }
    }
    return result;
}
