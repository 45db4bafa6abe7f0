#include "practice/StrikeMatcher.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Columns older than this (in seconds) are no longer needed to place extras.
constexpr int kColumnMemorySeconds = 10;

} // namespace

StrikeMatcher::StrikeMatcher(int sampleRate) : m_rate(sampleRate > 0 ? sampleRate : 48000) {}

double StrikeMatcher::toMs(std::int64_t frames) const {
    return static_cast<double>(frames) * 1000.0 / m_rate;
}

void StrikeMatcher::addColumn(int column, int pass, std::int64_t frame, std::int64_t columnFrames,
                              const QList<int>& bells) {
    const std::int64_t halfWindow = std::max<std::int64_t>(1, columnFrames / 2);
    QList<int> seen;
    for (int bell : bells) {
        // A bell written twice in one column is one strike.
        if (seen.contains(bell)) {
            continue;
        }
        seen << bell;
        Expected expected{bell, column, pass, frame, halfWindow};
        const auto at = std::upper_bound(m_expected.begin(), m_expected.end(), frame,
                                         [](std::int64_t f, const Expected& e) { return f < e.frame; });
        m_expected.insert(at, expected);
    }
    m_columns.push_back({column, pass, frame});
    const std::int64_t keep = static_cast<std::int64_t>(kColumnMemorySeconds) * m_rate;
    while (m_columns.size() > 2 && m_columns.front().frame < frame - keep) {
        m_columns.erase(m_columns.begin());
    }
}

void StrikeMatcher::addKey(int bell, std::int64_t frame) {
    Key key{m_nextKeyId++, bell, frame};
    const auto at = std::upper_bound(m_keys.begin(), m_keys.end(), frame,
                                     [](std::int64_t f, const Key& k) { return f < k.frame; });
    m_keys.insert(at, key);
}

StrikeMatcher::Key* StrikeMatcher::keyById(std::int64_t id) {
    for (Key& key : m_keys) {
        if (key.id == id) {
            return &key;
        }
    }
    return nullptr;
}

void StrikeMatcher::decideKey(Key& key) {
    key.decided = true;
    Expected* nearest = nullptr;
    std::int64_t nearestDistance = 0;
    for (Expected& expected : m_expected) {
        if (expected.bell != key.bell) {
            continue;
        }
        const std::int64_t distance = std::llabs(key.frame - expected.frame);
        // Strictly nearer: on a tie the earlier expected strike wins.
        if (distance < expected.halfWindow && (!nearest || distance < nearestDistance)) {
            nearest = &expected;
            nearestDistance = distance;
        }
    }
    if (!nearest) {
        return;
    }
    if (nearest->claimant >= 0) {
        Key* holder = keyById(nearest->claimant);
        // The key already holding it keeps it unless this one is strictly nearer.
        if (holder && std::llabs(holder->frame - nearest->frame) <= nearestDistance) {
            return;
        }
        if (holder) {
            holder->claims = false;
        }
    }
    nearest->claimant = key.id;
    key.claims = true;
}

const StrikeMatcher::Column* StrikeMatcher::nearestColumn(std::int64_t frame) const {
    const Column* best = nullptr;
    for (const Column& column : m_columns) {
        if (!best || std::llabs(column.frame - frame) < std::llabs(best->frame - frame)) {
            best = &column;
        }
    }
    return best;
}

StrikeOutcome StrikeMatcher::extraOutcome(const Key& key) const {
    StrikeOutcome outcome;
    outcome.kind = StrikeOutcome::Kind::Extra;
    outcome.bell = key.bell;
    outcome.keyFrame = key.frame;
    if (const Column* column = nearestColumn(key.frame)) {
        outcome.column = column->column;
        outcome.pass = column->pass;
    } else {
        outcome.column = -1;
    }
    return outcome;
}

StrikeOutcome StrikeMatcher::settledExpected(const Expected& expected) {
    StrikeOutcome outcome;
    outcome.bell = expected.bell;
    outcome.column = expected.column;
    outcome.pass = expected.pass;
    outcome.expectedFrame = expected.frame;
    Key* key = expected.claimant >= 0 ? keyById(expected.claimant) : nullptr;
    if (!key) {
        outcome.kind = StrikeOutcome::Kind::Missed;
        return outcome;
    }
    outcome.kind = StrikeOutcome::Kind::Hit;
    outcome.keyFrame = key->frame;
    outcome.errorMs = toMs(key->frame - expected.frame);
    m_keys.erase(m_keys.begin() + (key - m_keys.data()));
    return outcome;
}

void StrikeMatcher::takeExtras(QList<StrikeOutcome>& out) {
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it->decided && !it->claims) {
            out << extraOutcome(*it);
            it = m_keys.erase(it);
        } else {
            ++it;
        }
    }
}

QList<StrikeOutcome> StrikeMatcher::settle(std::int64_t horizon) {
    QList<StrikeOutcome> out;
    // Every expected strike within half a column of a key before the horizon
    // is known, so those keys can choose now.
    for (Key& key : m_keys) {
        if (!key.decided && key.frame < horizon) {
            decideKey(key);
        }
    }
    // An expected strike is final once every key that could claim it has chosen.
    for (auto it = m_expected.begin(); it != m_expected.end();) {
        if (it->frame + it->halfWindow <= horizon) {
            out << settledExpected(*it);
            it = m_expected.erase(it);
        } else {
            ++it;
        }
    }
    takeExtras(out);
    std::stable_sort(out.begin(), out.end(), [](const StrikeOutcome& a, const StrikeOutcome& b) {
        return std::max(a.expectedFrame, a.keyFrame) < std::max(b.expectedFrame, b.keyFrame);
    });
    return out;
}

QList<StrikeOutcome> StrikeMatcher::finish(std::int64_t endFrame) {
    m_keys.erase(std::remove_if(m_keys.begin(), m_keys.end(),
                                [&](const Key& key) { return !key.decided && key.frame >= endFrame; }),
                 m_keys.end());
    for (Key& key : m_keys) {
        if (!key.decided) {
            decideKey(key);
        }
    }
    QList<StrikeOutcome> out;
    for (const Expected& expected : m_expected) {
        // Never heard before the end and not rung early either: not a miss.
        if (expected.frame >= endFrame && expected.claimant < 0) {
            continue;
        }
        out << settledExpected(expected);
    }
    m_expected.clear();
    takeExtras(out);
    m_keys.clear();
    std::stable_sort(out.begin(), out.end(), [](const StrikeOutcome& a, const StrikeOutcome& b) {
        return std::max(a.expectedFrame, a.keyFrame) < std::max(b.expectedFrame, b.keyFrame);
    });
    return out;
}
