// Sample conversion at a 44.1 kHz output (the installation's samples are at
// 48 kHz): the cost and accuracy of each converter on the biggest bell, the
// time from start-up and from a change of model row until every sample of the
// row is ready, and the longest stall of the main thread meanwhile, measured
// as the longest hand strike (alias draw, open, play) of a strike every 10 ms.
//
//   build/bench/bench_sample_conversion [installation folder]   (default: build/campanix)

#include "playback/StrikeVoices.h"
#include "playback/audio/SampleDecoder.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QStringList samplesOf(const QString& folder) {
    QStringList files;
    for (const QFileInfo& info :
         QDir(folder).entryInfoList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name)) {
        files << info.absoluteFilePath();
    }
    return files;
}

QString biggestOf(const QStringList& files) {
    QString biggest;
    qint64 size = -1;
    for (const QString& file : files) {
        if (QFileInfo(file).size() > size) {
            size = QFileInfo(file).size();
            biggest = file;
        }
    }
    return biggest;
}

void converters(const QString& path) {
    struct Row {
        const char* name;
        audio::Converter converter;
    };
    const Row rows[] = {{"best", audio::Converter::Best},
                        {"medium", audio::Converter::Medium},
                        {"fastest", audio::Converter::Fastest}};
    std::shared_ptr<const audio::Sample> reference;
    std::printf("biggest bell %s (%.1f MB) to 44.1 kHz:\n", QFileInfo(path).fileName().toUtf8().constData(),
                static_cast<double>(QFileInfo(path).size()) / 1e6);
    for (const Row& row : rows) {
        double fastest = 1e9;
        std::shared_ptr<const audio::Sample> sample;
        for (int run = 0; run < 3; ++run) {
            const Clock::time_point start = Clock::now();
            sample = audio::decodeSample(path.toStdString(), 44100, nullptr, row.converter);
            fastest = std::min(fastest, msSince(start));
        }
        if (!sample) {
            std::printf("  %-8s cannot decode\n", row.name);
            continue;
        }
        if (!reference) {
            reference = sample;
            std::printf("  %-8s %7.1f ms (%.1f s of sound)\n", row.name, fastest,
                        static_cast<double>(sample->frames) / 44100.0);
            continue;
        }
        double signal = 0;
        double noise = 0;
        const std::size_t n = std::min(reference->data.size(), sample->data.size());
        for (std::size_t i = 0; i < n; ++i) {
            signal += double(reference->valueAt(i)) * reference->valueAt(i);
            const double d = double(reference->valueAt(i)) - sample->valueAt(i);
            noise += d * d;
        }
        std::printf("  %-8s %7.1f ms, difference from best %.1f dB below the signal\n", row.name, fastest,
                    10.0 * std::log10(signal / std::max(noise, 1e-30)));
    }
}

// Preloads `folder` on the engine and strikes a random bell of it every
// 10 ms until every sample is ready.
void preloadWhileStriking(const char* label, audio::AudioEngine& engine, StrikeVoices& voices,
                          const QString& folder) {
    const QStringList files = samplesOf(folder);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(files.size()) - 1);
    const auto allReady = [&] {
        return std::all_of(files.begin(), files.end(),
                           [&](const QString& f) { return engine.samples().isReady(f.toStdString()); });
    };
    const Clock::time_point start = Clock::now();
    engine.samples().preloadFolder(folder.toStdString());
    double longest = 0;
    int strikes = 0;
    int silent = 0;
    while (!allReady()) {
        const QString file = files.at(pick(random));
        const bool ready = engine.samples().isReady(file.toStdString());
        const Clock::time_point strike = Clock::now();
        voices.sound(file, kHandStrikeAliasMax);
        longest = std::max(longest, msSince(strike));
        ++strikes;
        silent += ready ? 0 : 1;
        if (strikes % 16 == 0) {
            voices.closeFinishedVoices();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::printf("%-13s every sample of the row ready after %7.1f ms; %d strikes meanwhile (%d silent, still "
                "converting), longest main-thread stall %.2f ms\n",
                label, msSince(start), strikes, silent, longest);
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path root = argc > 1 ? std::filesystem::path(argv[1])
                                          : std::filesystem::path(argv[0]).parent_path() / ".." / "campanix";
    const QString base = QString::fromStdString(root.lexically_normal().string()) + QStringLiteral("/Sound/");
    const QString row1 = base + QStringLiteral("Model1/Stereo/");
    const QString row2 = base + QStringLiteral("Model2/Stereo/");
    if (samplesOf(row1).isEmpty() || samplesOf(row2).isEmpty()) {
        std::fprintf(stderr, "no samples under %s (build the target campanix_data)\n",
                     base.toUtf8().constData());
        return 1;
    }
    converters(biggestOf(samplesOf(row1)));

    audio::AudioEngineOptions options;
    options.useDevice = false;
    options.sampleRate = 44100;
    auto engine = audio::AudioEngine::startRealtime(options);
    MciInterpreter mci(*engine);
    StrikeVoices voices(mci, 1);
    preloadWhileStriking("start-up:", *engine, voices, row1);
    preloadWhileStriking("model change:", *engine, voices, row2);
    return 0;
}
