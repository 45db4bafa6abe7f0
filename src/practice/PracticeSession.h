#pragma once

#include "practice/StrikeMatcher.h"

#include <QList>
#include <QMap>

#include <cstdint>

// One practice run apart from any window: the columns as the sequencer
// plays them and the key strikes of the practised bells go in, outcomes
// come out as they become final. Key strikes are moved back by the user's
// stored latency before they are matched, so errors are the user's own.
class PracticeSession {
public:
    // bells: the practised bells; latencyFrames: the user's offset on the
    // frame clock (positive: the user's strikes land that much late).
    PracticeSession(QList<int> bells, int sampleRate, std::int64_t latencyFrames);

    bool practises(int bell) const { return m_bells.contains(bell); }
    const QList<int>& bells() const { return m_bells; }
    int sampleRate() const { return m_matcher.sampleRate(); }

    // The sequencer sounded `column` at `soundFrame`; `columnBells` are all
    // the bells the column strikes (the practised ones are kept).
    void columnPlayed(int column, std::int64_t soundFrame, std::int64_t columnFrames,
                      const QList<int>& columnBells);
    // A key strike of `bell` at `frame` of the frame clock; other bells are
    // ignored. An input of its own latency (a MIDI pad) gives it; the
    // session's latency must be at least as large.
    void keyRung(int bell, std::int64_t frame);
    void keyRung(int bell, std::int64_t frame, std::int64_t latencyFrames);

    // Outcomes final by `nowFrame`, also added to outcomes(). A key may reach
    // the program up to kDeliveryMs late (more when the window is busy), and
    // a column may be handed over late too: nothing is settled beyond half a
    // column after the last column played.
    QList<StrikeOutcome> settle(std::int64_t nowFrame);
    QList<StrikeOutcome> finish(std::int64_t endFrame);

    // Every final outcome of the run, in time order.
    const QList<StrikeOutcome>& outcomes() const { return m_outcomes; }
    // The latest outcome of each column and bell (a looped ringing or the
    // drill plays a column more than once) and the extras of the latest
    // pass: what the score marks show. Kept as outcomes come, so asking for
    // one page costs what is on it, however long the run.
    QList<StrikeOutcome> latestMarks() const;
    QList<StrikeOutcome> latestMarks(int firstColumn, int lastColumn) const;
    // The pass through the ringing: a column at or before the one played
    // last starts the next pass.
    int pass() const { return m_pass; }
    // Outcomes of one pass.
    QList<StrikeOutcome> outcomesOfPass(int pass) const;

    static constexpr int kDeliveryMs = 150;

private:
    void keep(const QList<StrikeOutcome>& outcomes);

    QList<int> m_bells;
    StrikeMatcher m_matcher;
    std::int64_t m_latencyFrames;
    int m_lastColumn = -1;
    std::int64_t m_lastColumnFrame = 0;
    std::int64_t m_lastColumnFrames = 0;
    int m_pass = 0;
    QList<StrikeOutcome> m_outcomes;
    // Latest hit or miss by (column, bell); extras of the latest pass, m_extrasPass.
    QMap<qint64, StrikeOutcome> m_latest;
    QMap<qint64, StrikeOutcome> m_extras;
    int m_extrasPass = 0;
};
