#pragma once

#include "practice/StrikeOutcome.h"

#include <QList>

#include <cstdint>
#include <vector>

// Matches the user's key strikes to the strikes the score expects, on the
// output's frame clock. Every key strike goes to the nearest expected strike
// of its bell less than half a column away; an expected strike claimed by
// several keys keeps the nearest, the others become extras; an expected
// strike no key claims is missed. Works on streams: columns are added as
// the sequencer plays them, keys as they are rung, and settle() hands out
// the outcomes that no later input can change any more.
//
// Only frame times count, never column numbers, so strikes across a page,
// a seek or the wrap of a looping ringing match like any others.
class StrikeMatcher {
public:
    explicit StrikeMatcher(int sampleRate);

    int sampleRate() const { return m_rate; }

    // A column played at `frame` (when its sound starts), `columnFrames` long;
    // `bells` are the practised bells it strikes (may be empty).
    void addColumn(int column, int pass, std::int64_t frame, std::int64_t columnFrames,
                   const QList<int>& bells);
    // A key strike of `bell` at `frame` (already corrected for the user's latency).
    void addKey(int bell, std::int64_t frame);

    // Outcomes that are final once the clock has passed `horizon`: every key
    // before it and every column more than half a column before it is known.
    QList<StrikeOutcome> settle(std::int64_t horizon);
    // The run ended at `endFrame`: everything left is settled; expected
    // strikes at or after endFrame that no key claimed were never due and
    // are dropped, as are keys at or after endFrame.
    QList<StrikeOutcome> finish(std::int64_t endFrame);

    int pendingExpected() const { return static_cast<int>(m_expected.size()); }
    int pendingKeys() const { return static_cast<int>(m_keys.size()); }

private:
    struct Expected {
        int bell;
        int column;
        int pass;
        std::int64_t frame;
        std::int64_t halfWindow;
        std::int64_t claimant = -1; // id of the key that claims it
    };
    struct Key {
        std::int64_t id;
        int bell;
        std::int64_t frame;
        bool decided = false;
        bool claims = false; // holds an expected strike (else an extra, once decided)
    };
    struct Column {
        int column;
        int pass;
        std::int64_t frame;
    };

    void decideKey(Key& key);
    Key* keyById(std::int64_t id);
    const Column* nearestColumn(std::int64_t frame) const;
    StrikeOutcome extraOutcome(const Key& key) const;
    double toMs(std::int64_t frames) const;
    StrikeOutcome settledExpected(const Expected& expected);
    // Reports decided extras into `out` and drops them.
    void takeExtras(QList<StrikeOutcome>& out);

    int m_rate;
    std::int64_t m_nextKeyId = 0;
    std::vector<Expected> m_expected;
    std::vector<Key> m_keys;
    // The columns of the last few seconds, for placing extras.
    std::vector<Column> m_columns;
};
