#include "bells/belfry/BelfryImport.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace {

struct Analysed {
    belfry::RecordingResult result;
    bellmeasure::Audio sample;
    double gainDb = 0.0;
};

// Analyses one file and keeps only the trimmed sample: a recording of a
// minute is let go as soon as its bell is cut out of it.
Analysed analyseOne(const QString& file) {
    Analysed a;
    a.result = belfry::analyseRecordingFile(QFile::encodeName(file).toStdString());
    if (a.result.ok()) {
        const double gain = belfry::levelGain(a.result.measures, kBelfryLoudnessDb, kBelfryPeakLimitDb);
        a.gainDb = 20.0 * std::log10(gain);
        a.sample = belfry::trimmedRecording(a.result.audio, a.result.measures, gain);
    }
    a.result.audio = {};
    return a;
}

} // namespace

BelfryImport importRecordings(const QString& name, const QStringList& files) {
    BelfryImport out;
    out.belfry.name = name;
    if (files.isEmpty()) {
        out.error = QStringLiteral("no recordings given");
        return out;
    }
    if (files.size() > BelfryStore::kMaxBells) {
        out.error = QStringLiteral("%1 recordings given; a belfry holds at most %2 bells")
                        .arg(files.size())
                        .arg(BelfryStore::kMaxBells);
        return out;
    }
    std::vector<Analysed> analysed(static_cast<size_t>(files.size()));
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < files.size(); i = next++) {
            analysed[static_cast<size_t>(i)] = analyseOne(files.at(i));
        }
    };
    const unsigned helpers = std::min<unsigned>(std::thread::hardware_concurrency(), 4);
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < helpers && t < static_cast<unsigned>(files.size()); ++t) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) {
        t.join();
    }

    std::vector<double> pitches;
    std::vector<size_t> usable;
    for (int i = 0; i < files.size(); ++i) {
        const Analysed& a = analysed[static_cast<size_t>(i)];
        ImportedFile f;
        f.file = files.at(i);
        f.refusal = a.result.refusal;
        f.why = QString::fromStdString(a.result.why);
        f.measures = a.result.measures;
        out.files.append(f);
        if (a.result.ok()) {
            usable.push_back(static_cast<size_t>(i));
            pitches.push_back(a.result.measures.pitchHz);
        }
    }
    const std::vector<size_t> order = belfry::orderByPitch(pitches);
    for (size_t place = 0; place < order.size(); ++place) {
        const size_t i = usable[order[place]];
        Analysed& a = analysed[i];
        ImportedFile& f = out.files[static_cast<int>(i)];
        f.bell = static_cast<int>(place);
        const belfry::BellMeasures& m = a.result.measures;
        BelfryBell bell;
        bell.name = QFileInfo(f.file).completeBaseName();
        bell.source = f.file;
        bell.pitchHz = m.pitchHz;
        bell.strikeSeconds = m.onsetSeconds();
        bell.t30Seconds = m.t30Seconds;
        bell.loudnessDb = m.loudnessDb + a.gainDb;
        for (int p = 0; p < belfry::kPartialCount; ++p) {
            bell.partialsHz[static_cast<size_t>(p)] = m.partials[static_cast<size_t>(p)].hz;
        }
        out.belfry.bells.append(bell);
        out.samples.push_back(std::move(a.sample));
    }
    return out;
}

bellmeasure::Audio relevelled(const bellmeasure::Audio& sample, double fromDb, double toDb) {
    bellmeasure::Audio out = sample;
    const float gain = static_cast<float>(std::pow(10.0, (toDb - fromDb) / 20.0));
    for (std::vector<float>& c : out.channels) {
        for (float& v : c) {
            v *= gain;
        }
    }
    return out;
}
