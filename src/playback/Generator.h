#pragma once

#include "playback/TransportState.h"

#include <array>
#include <cstdint>
#include <random>

// What the random generator needs of the window: the selection count, the
// three group ringing selectors (item 0 is "no ringing") with their choice
// rule, the chooser's play-all-in-turn and Play.
class GeneratorHost {
public:
    virtual ~GeneratorHost() = default;
    virtual int selectedBellCount() const = 0;
    // Items of the selector of group 0 small, 1 middle, 2 big ("Выбор звона" included).
    virtual int groupItemCount(int group) const = 0;
    virtual int groupItemIndex(int group) const = 0;
    // Sets the group's selector and its full-view mirror to `index` and runs
    // the group ringing choice, which loads (or clears) the group and merges.
    virtual void chooseGroupRinging(int group, int index) = 0;
    virtual void uncheckPlayAllInTurn() = 0;
    virtual bool sequencerRunning() const = 0;
    virtual void play() = 0;
};

// Plays the group ringings in random combinations without end: at each end of
// the combined ringing one group's ringing changes. All its choices go through
// the group ringing selectors, so they show there.
//
// When no new combination exists (no selector offers a ringing, or the one
// ringing offered in all three groups together is already chosen and silence
// everywhere is refused), the draw is not attempted: the selectors keep what
// they hold and the combination already playing goes on looping. A start that
// finds nothing to play leaves generator mode off.
class Generator {
public:
    using Combination = std::array<int, 3>;
    static constexpr int kLeastSelectedBells = 5;

    Generator(TransportState& state, GeneratorHost& host, std::uint32_t seed);

    // The generator command: with at least five bells selected, switches
    // generator mode on and draws the first combination.
    void start();
    // Draws and applies a new combination and makes sure playback runs.
    // False when no new combination exists; nothing is changed then.
    bool generateNext();
    // A random item of the group's selector other than its current one (the
    // current one when the selector has no other).
    int pickOtherItem(int group);
    // True when the indexes are not all 0 (or less) and differ from the
    // selectors' current indexes in at least one group.
    bool isNewCombination(const Combination& drawn) const;
    // True when a draw can give a new combination.
    bool newCombinationExists() const;

    void seed(std::uint32_t value) { m_random.seed(value); }

private:
    Combination currentCombination() const;
    int uniform(int low, int high);

    TransportState& m_state;
    GeneratorHost& m_host;
    std::mt19937 m_random;
};
