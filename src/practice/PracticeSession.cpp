#include "practice/PracticeSession.h"

#include <algorithm>
#include <limits>

namespace {

// Sorted by column first, so that a page is one range of the map.
qint64 markKey(int column, int bell) {
    return static_cast<qint64>(column) * 64 + bell;
}

} // namespace

PracticeSession::PracticeSession(QList<int> bells, int sampleRate, std::int64_t latencyFrames)
    : m_bells(std::move(bells)), m_matcher(sampleRate), m_latencyFrames(latencyFrames) {}

void PracticeSession::columnPlayed(int column, std::int64_t soundFrame, std::int64_t columnFrames,
                                   const QList<int>& columnBells) {
    if (m_lastColumn >= 0 && column <= m_lastColumn) {
        ++m_pass;
    }
    m_lastColumn = column;
    m_lastColumnFrame = soundFrame;
    m_lastColumnFrames = columnFrames;
    QList<int> practised;
    for (int bell : columnBells) {
        if (practises(bell)) {
            practised << bell;
        }
    }
    m_matcher.addColumn(column, m_pass, soundFrame, columnFrames, practised);
}

void PracticeSession::keyRung(int bell, std::int64_t frame) {
    keyRung(bell, frame, m_latencyFrames);
}

void PracticeSession::keyRung(int bell, std::int64_t frame, std::int64_t latencyFrames) {
    if (practises(bell)) {
        m_matcher.addKey(bell, frame - latencyFrames);
    }
}

void PracticeSession::keep(const QList<StrikeOutcome>& outcomes) {
    m_outcomes += outcomes;
    for (const StrikeOutcome& o : outcomes) {
        // Only the extras of the latest pass are shown.
        if (o.pass > m_extrasPass) {
            m_extras.clear();
            m_extrasPass = o.pass;
        }
        if (o.kind != StrikeOutcome::Kind::Extra) {
            m_latest.insert(markKey(o.column, o.bell), o);
            continue;
        }
        if (o.pass == m_extrasPass) {
            // Several extras may share a column and bell; each keeps its place.
            m_extras.insert(markKey(o.column, o.bell) * 1024 + m_extras.size() % 1024, o);
        }
    }
}

QList<StrikeOutcome> PracticeSession::settle(std::int64_t nowFrame) {
    // Keys are matched after the latency is taken off, so a key stamped at
    // nowFrame may stand for a strike up to the latency earlier; and it may
    // still be on its way to the program.
    if (m_lastColumn < 0) {
        return {};
    }
    const std::int64_t delivery = static_cast<std::int64_t>(kDeliveryMs) * m_matcher.sampleRate() / 1000;
    // A key is matched only when every strike it could belong to is known:
    // the next column comes at least a column after the last one.
    const std::int64_t known = m_lastColumnFrame + m_lastColumnFrames / 2;
    const QList<StrikeOutcome> out =
        m_matcher.settle(std::min(known, nowFrame - delivery - std::max<std::int64_t>(0, m_latencyFrames)));
    keep(out);
    return out;
}

QList<StrikeOutcome> PracticeSession::finish(std::int64_t endFrame) {
    const QList<StrikeOutcome> out = m_matcher.finish(endFrame);
    keep(out);
    return out;
}

QList<StrikeOutcome> PracticeSession::latestMarks() const {
    return latestMarks(0, std::numeric_limits<int>::max() / 128);
}

QList<StrikeOutcome> PracticeSession::latestMarks(int firstColumn, int lastColumn) const {
    QList<StrikeOutcome> marks;
    for (auto it = m_latest.lowerBound(markKey(firstColumn, 0));
         it != m_latest.end() && it->column <= lastColumn; ++it) {
        marks << *it;
    }
    for (auto it = m_extras.lowerBound(markKey(firstColumn, 0) * 1024);
         it != m_extras.end() && it->column <= lastColumn; ++it) {
        marks << *it;
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
