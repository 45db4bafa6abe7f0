#include "playback/Generator.h"

#include <algorithm>

namespace {

bool noneChosen(const Generator::Combination& c) {
    return std::all_of(c.begin(), c.end(), [](int index) { return index <= 0; });
}

// Draws that cannot succeed are ruled out before drawing, so this bound is
// never reached; it only keeps a selector that changes under the draw from
// holding the window.
constexpr int kMaxDraws = 100000;

} // namespace

Generator::Generator(TransportState& state, GeneratorHost& host, std::uint32_t seed)
    : m_state(state), m_host(host), m_random(seed) {}

Generator::Combination Generator::currentCombination() const {
    return {m_host.groupItemIndex(0), m_host.groupItemIndex(1), m_host.groupItemIndex(2)};
}

int Generator::uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(m_random);
}

void Generator::start() {
    if (m_host.selectedBellCount() < kLeastSelectedBells) {
        return;
    }
    m_host.uncheckPlayAllInTurn();
    m_state.generatorMode = true;
    if (!generateNext() && !m_host.sequencerRunning()) {
        // Nothing to play: the mode would only wait unseen for a later ringing.
        m_state.generatorMode = false;
    }
}

int Generator::pickOtherItem(int group) {
    const int count = m_host.groupItemCount(group);
    const int current = m_host.groupItemIndex(group);
    const bool hasOther = count >= 2 || (count == 1 && current != 0);
    if (!hasOther) {
        return current;
    }
    int r = current;
    while (r == current) {
        r = uniform(0, count - 1);
    }
    return r;
}

bool Generator::isNewCombination(const Combination& drawn) const {
    if (noneChosen(drawn)) {
        return false;
    }
    return drawn != currentCombination();
}

bool Generator::newCombinationExists() const {
    const Combination current = currentCombination();
    if (noneChosen(current)) {
        // The first draw fills every group that offers a ringing.
        for (int g = 0; g < 3; ++g) {
            if (m_host.groupItemCount(g) >= 2) {
                return true;
            }
        }
        return false;
    }
    // A later draw changes one group that offers a ringing to another item.
    for (int g = 0; g < 3; ++g) {
        const int count = m_host.groupItemCount(g);
        if (count < 2) {
            continue;
        }
        for (int r = 0; r < count; ++r) {
            if (r == current[g]) {
                continue;
            }
            Combination drawn = current;
            drawn[g] = r;
            if (isNewCombination(drawn)) {
                return true;
            }
        }
    }
    return false;
}

bool Generator::generateNext() {
    if (!newCombinationExists()) {
        return false;
    }
    bool applied = false;
    for (int draw = 0; draw < kMaxDraws && !applied; ++draw) {
        Combination drawn = currentCombination();
        if (noneChosen(drawn)) {
            for (int g = 0; g < 3; ++g) {
                if (m_host.groupItemCount(g) >= 2) {
                    drawn[g] = pickOtherItem(g);
                }
            }
        } else {
            int g = uniform(0, 2);
            while (m_host.groupItemCount(g) < 2) {
                g = uniform(0, 2);
            }
            drawn[g] = pickOtherItem(g);
        }
        if (!isNewCombination(drawn)) {
            continue;
        }
        // Small, middle, big: each selector that differs takes its drawn ringing.
        for (int g = 0; g < 3; ++g) {
            if (m_host.groupItemIndex(g) != drawn[g]) {
                m_host.chooseGroupRinging(g, drawn[g]);
            }
        }
        applied = true;
    }
    if (!applied) {
        return false;
    }
    if (!m_host.sequencerRunning()) {
        m_host.play();
    }
    return true;
}
