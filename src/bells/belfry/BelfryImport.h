#pragma once

#include "bells/belfry/BelfryStore.h"

#include <QString>
#include <QStringList>

#include <vector>

// Turns recordings, one bell each, into a belfry: each file analysed, the
// refused ones told apart, the others trimmed, brought to one loudness and
// ordered by strike pitch, lowest first.

// Every bell's sample is brought to this loudness of its first second, as
// the bells of the synthesized rows are, unless its peak would rise above
// kBelfryPeakLimitDb; the user's level then moves it from there.
inline constexpr double kBelfryLoudnessDb = -15.0;
inline constexpr double kBelfryPeakLimitDb = -1.0;

struct ImportedFile {
    QString file; // as given
    int bell = -1; // its number in the belfry; -1: refused
    belfry::Refusal refusal = belfry::Refusal::None;
    QString why;
    belfry::BellMeasures measures;
};

struct BelfryImport {
    QList<ImportedFile> files; // in the order given
    Belfry belfry;
    std::vector<bellmeasure::Audio> samples; // of belfry.bells, same order
    QString error; // a reason the whole import cannot start (too many files)
};

// Analyses the files (in parallel where there are cores for it).
BelfryImport importRecordings(const QString& name, const QStringList& files);

// The sample of a bell at another level: `sample` was stored at `fromDb`.
bellmeasure::Audio relevelled(const bellmeasure::Audio& sample, double fromDb, double toDb);
