#pragma once

#include "bells/belfry/BelfryStore.h"

#include <QString>
#include <QStringList>

#include <optional>

// A belfry of one's own as the model row the bells sound with: which places
// have a bell, the sample each place strikes, the catalogue picture nearest
// each bell's size and what the information panel says of it.
class BelfryRow {
public:
    // The three synthesized rows come first in the model row list.
    static constexpr int kFirstBelfryRow = 3;
    // The list entry of a belfry.
    static QString caption(const QString& name);

    BelfryRow() = default;
    BelfryRow(Belfry belfry, QString folder);

    const Belfry& belfry() const { return m_belfry; }
    const QString& folder() const { return m_folder; }
    int bellCount() const { return static_cast<int>(m_belfry.bells.size()); }
    bool hasBell(int bell) const { return bell >= 0 && bell < bellCount(); }
    // The sample file of a place, in folder(); empty for a place without a bell.
    QString sampleFileName(int bell) const;

    // The catalogue bell whose hum (its note's figure in Hz, field 6 of the
    // catalogue: "... (63 Гц)") lies nearest this bell's hum: a bell's size
    // follows its pitch. -1 when the catalogue names no figures.
    int nearestCatalogueBell(int bell, const QStringList& catalogueNotes) const;

    // The information panel's text of a place.
    QString information(int bell) const;
    // The strip's hint of a place: its name and note.
    QString hint(int bell) const;

private:
    Belfry m_belfry;
    QString m_folder;
};

// The belfry `name` of the folder of belfries `belfriesDir`, or nothing with
// `error` set.
std::optional<BelfryRow> loadBelfryRow(const QString& belfriesDir, const QString& name, QString* error);

// "A3 +12 ц": the note and its deviation in cents.
QString noteText(double hz);
// The figure in Hz of a catalogue note ("си контроктавы (63 Гц)" gives 63), 0 without one.
double catalogueHz(const QString& note);
