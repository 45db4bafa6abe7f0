#pragma once

#include "playback/audio/analysis/RecordedBell.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// One bell of a belfry of one's own: its sample in the belfry's folder and
// what was measured of its recording.
struct BelfryBell {
    QString name;   // shown on the strip; the note of its strike pitch unless renamed
    QString sample; // file name in the belfry's folder
    QString source; // the recording it was made from, as given
    double pitchHz = 0.0;
    double strikeSeconds = 0.0; // where the strike was in the recording
    double t30Seconds = 0.0;
    double loudnessDb = 0.0; // of the sample as stored
    double levelDb = 0.0;    // the user's level, already in the sample
    std::array<double, belfry::kPartialCount> partialsHz{};
};

struct Belfry {
    QString name;
    QList<BelfryBell> bells; // bell 0 first: the lowest as imported
    // Counts the saves after the import: each save names its samples anew,
    // because a sample once decoded is kept by its path while the program runs.
    int generation = 0;
};

// The belfries of the user: a folder each under `root`, holding the trimmed
// samples (FLAC) and a description (belfry.txt, UTF-8, tab-separated). A
// belfry is written into a hidden folder beside its place and renamed into
// it, so a belfry is there whole or not at all, even over one it replaces.
class BelfryStore {
public:
    explicit BelfryStore(const QString& root);

    static constexpr int kMaxBells = 15;
    static constexpr int kMaxNameLength = 60;

    // Why `name` cannot name a belfry (empty: it can): a folder name of one
    // path part, not hidden, printable, not too long.
    static QString nameProblem(const QString& name);
    // File name of bell `bell`'s sample: bell01.flac for bell 0 as imported,
    // bell01-3.flac as saved the third time after.
    static QString sampleFileName(int bell, int generation = 0);

    const QString& root() const { return m_root; }
    QString folderOf(const QString& name) const;
    QStringList names() const;
    bool exists(const QString& name) const;
    std::optional<Belfry> load(const QString& name, QString* error) const;

    // Writes `belfry` with `samples[i]` as the sample of bell i. Refuses an
    // existing name unless `replace`. False with `error` set on any failure,
    // which leaves what was there before untouched.
    bool save(const Belfry& belfry, const std::vector<bellmeasure::Audio>& samples, bool replace,
              QString* error) const;
    bool remove(const QString& name, QString* error) const;

private:
    QString m_root;
};

// The description file as text, and back.
QByteArray belfryDescription(const Belfry& belfry);
std::optional<Belfry> parseBelfryDescription(const QByteArray& text, QString* error);
