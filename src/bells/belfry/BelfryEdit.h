#pragma once

#include "bells/belfry/BelfryStore.h"

#include <QStringList>

#include <optional>
#include <vector>

// A belfry being changed in the dialog: its bells reordered, renamed and set
// louder or softer, each sample following its bell and its level. Nothing
// reaches the store until save().
class BelfryEdit {
public:
    // The levels a bell may be given, in dB; a level that would lift the
    // sample's peak over full scale is held under it.
    static constexpr double kLowestLevelDb = -24.0;
    static constexpr double kHighestLevelDb = 12.0;

    static std::optional<BelfryEdit> open(const BelfryStore& store, const QString& name, QString* error);

    const Belfry& belfry() const { return m_belfry; }
    int count() const { return static_cast<int>(m_belfry.bells.size()); }
    bool isChanged() const { return m_changed; }

    // The sample of a bell at its level now.
    bellmeasure::Audio sample(int bell) const;
    // Moves a bell to another place; the others close up. False out of range.
    bool move(int bell, int to);
    void rename(int bell, const QString& name);
    // Sets a bell's level and answers the level it got.
    double setLevel(int bell, double levelDb);
    // The highest level of a bell that keeps its peak under full scale.
    double highestLevel(int bell) const;

    // "Колокола 3 и 4 ближе четверти тона друг к другу" for each such pair.
    QStringList warnings() const;

    // Writes the belfry whole under its name, its samples named anew.
    bool save(const BelfryStore& store, QString* error);

private:
    struct Stored {
        bellmeasure::Audio audio; // as in the store
        double levelDb = 0.0;     // the level it was stored at
        double peakDb = 0.0;
    };

    Belfry m_belfry;
    std::vector<Stored> m_stored; // in the order of m_belfry.bells
    bool m_changed = false;
};
