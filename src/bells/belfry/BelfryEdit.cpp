#include "bells/belfry/BelfryEdit.h"

#include "bells/belfry/BelfryImport.h"

#include <QFile>

#include <algorithm>
#include <cmath>

std::optional<BelfryEdit> BelfryEdit::open(const BelfryStore& store, const QString& name, QString* error) {
    std::optional<Belfry> belfry = store.load(name, error);
    if (!belfry) {
        return std::nullopt;
    }
    BelfryEdit edit;
    for (const BelfryBell& bell : belfry->bells) {
        std::string failure;
        const QString path = store.folderOf(name) + bell.sample;
        std::optional<bellmeasure::Audio> audio =
            bellmeasure::readAudio(QFile::encodeName(path).toStdString(), failure);
        if (!audio) {
            *error = QString::fromStdString(failure);
            return std::nullopt;
        }
        const double peakDb = bellmeasure::peakDbfs(*audio);
        edit.m_stored.push_back({std::move(*audio), bell.levelDb, peakDb});
    }
    edit.m_belfry = std::move(*belfry);
    return edit;
}

bellmeasure::Audio BelfryEdit::sample(int bell) const {
    const Stored& s = m_stored.at(static_cast<size_t>(bell));
    return relevelled(s.audio, s.levelDb, m_belfry.bells.at(bell).levelDb);
}

bool BelfryEdit::move(int bell, int to) {
    if (bell < 0 || bell >= count() || to < 0 || to >= count()) {
        return false;
    }
    if (bell != to) {
        m_belfry.bells.move(bell, to);
        Stored s = std::move(m_stored[static_cast<size_t>(bell)]);
        m_stored.erase(m_stored.begin() + bell);
        m_stored.insert(m_stored.begin() + to, std::move(s));
        m_changed = true;
    }
    return true;
}

void BelfryEdit::rename(int bell, const QString& name) {
    if (bell >= 0 && bell < count() && m_belfry.bells.at(bell).name != name) {
        m_belfry.bells[bell].name = name;
        m_changed = true;
    }
}

double BelfryEdit::highestLevel(int bell) const {
    const Stored& s = m_stored.at(static_cast<size_t>(bell));
    return std::min(kHighestLevelDb, s.levelDb - 0.1 - s.peakDb);
}

double BelfryEdit::setLevel(int bell, double levelDb) {
    if (bell < 0 || bell >= count()) {
        return 0.0;
    }
    const double level = std::clamp(levelDb, kLowestLevelDb, std::max(kLowestLevelDb, highestLevel(bell)));
    BelfryBell& b = m_belfry.bells[bell];
    if (level != b.levelDb) {
        b.loudnessDb += level - b.levelDb;
        b.levelDb = level;
        m_changed = true;
    }
    return level;
}

QStringList BelfryEdit::warnings() const {
    std::vector<double> pitches;
    for (const BelfryBell& b : m_belfry.bells) {
        pitches.push_back(b.pitchHz);
    }
    QStringList out;
    for (const auto& [a, b] : belfry::closePitches(pitches, belfry::kQuarterToneCents)) {
        out << QStringLiteral("Колокола %1 и %2 ближе четверти тона друг к другу").arg(a + 1).arg(b + 1);
    }
    return out;
}

bool BelfryEdit::save(const BelfryStore& store, QString* error) {
    std::vector<bellmeasure::Audio> samples;
    for (int i = 0; i < count(); ++i) {
        samples.push_back(sample(i));
    }
    Belfry saved = m_belfry;
    ++saved.generation;
    if (!store.save(saved, samples, true, error)) {
        return false;
    }
    std::optional<Belfry> reread = store.load(saved.name, error);
    if (!reread) {
        return false;
    }
    m_belfry = std::move(*reread);
    for (int i = 0; i < count(); ++i) {
        Stored& s = m_stored[static_cast<size_t>(i)];
        s.audio = std::move(samples[static_cast<size_t>(i)]);
        s.levelDb = m_belfry.bells.at(i).levelDb;
        s.peakDb = bellmeasure::peakDbfs(s.audio);
    }
    m_changed = false;
    return true;
}
