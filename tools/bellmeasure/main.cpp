// Measures bell samples, or draws their spectrograms.
//
//   bellmeasure [--peaks N] [--strike-ratio R] FILE...
//       for each file: format and length, peak, RMS and loudness of the first
//       second, the time to fall 60 dB and the decay rate, the strike pitch,
//       and the strongest spectral peaks of the first second with their
//       ratios to the nominal (the strike pitch divided by R, 0.5 by default;
//       give 1 for plates).
//   bellmeasure --spectrogram OUT.png [--seconds S] FILE[=TITLE]...

#include "playback/audio/analysis/BellAnalysis.h"
#include "Sonogram.h"

#include <QGuiApplication>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace bellmeasure;

namespace {

std::string describeFormat(const Audio& a) {
    const int sub = a.format & SF_FORMAT_SUBMASK;
    const char* bits = sub == SF_FORMAT_PCM_16   ? "16-bit PCM"
                       : sub == SF_FORMAT_PCM_24 ? "24-bit PCM"
                       : sub == SF_FORMAT_FLOAT  ? "32-bit float"
                                                 : "other sample format";
    return std::to_string(a.sampleRate) + " Hz, " + std::to_string(a.channels.size()) + " channel" +
           (a.channels.size() == 1 ? "" : "s") + ", " + bits;
}

// The partial an octave above the strike (a bell's nominal), or the strike
// itself for a plate: the strongest peak within a semitone of strike / ratio.
double nominalOf(const std::vector<Peak>& peaks, double strike, double ratio) {
    const double expected = strike / ratio;
    double best = expected;
    double bestLevel = -1e9;
    for (const Peak& p : peaks) {
        if (std::abs(cents(expected, p.freqHz)) < 100.0 && p.levelDb > bestLevel) {
            best = p.freqHz;
            bestLevel = p.levelDb;
        }
    }
    return best;
}

int report(const std::vector<std::string>& files, size_t peakCount, double strikeRatio) {
    int failures = 0;
    for (const std::string& path : files) {
        std::string error;
        const std::optional<Audio> a = readAudio(path, error);
        if (!a) {
            std::fprintf(stderr, "bellmeasure: %s\n", error.c_str());
            ++failures;
            continue;
        }
        const size_t second = std::min(a->frames(), static_cast<size_t>(a->sampleRate));
        const std::vector<float> mono = a->mono();
        const std::vector<Peak> peaks = spectralPeaks(mono.data(), second, a->sampleRate, 90.0, 200);
        const double strike = strikePitchOf(mono.data(), mono.size(), a->sampleRate);
        const double nominal = nominalOf(peaks, strike, strikeRatio);
        const Decay d = measureDecay(*a);
        std::printf("%s\n", path.c_str());
        std::printf("  %s, %.2f s\n", describeFormat(*a).c_str(), a->seconds());
        std::printf("  peak %.2f dBFS, RMS %.2f dBFS, loudness %.2f (K-weighted, first second)\n",
                    peakDbfs(*a), rmsDbfs(*a, 0, second), loudnessDb(*a, second));
        std::printf("  falls 60 dB in %.2f s, decay rate T60 %.2f s\n", d.fall60Seconds, d.t60Seconds);
        std::printf("  strike %.2f Hz (%s), nominal %.2f Hz\n", strike, noteName(strike).c_str(), nominal);
        std::printf("  strongest peaks of the first second:\n  %10s %8s %8s  %s\n", "Hz", "dB", "ratio",
                    "note");
        for (size_t i = 0; i < std::min(peakCount, peaks.size()); ++i) {
            std::printf("  %10.2f %8.1f %8.4f  %s\n", peaks[i].freqHz, peaks[i].levelDb,
                        peaks[i].freqHz / nominal, noteName(peaks[i].freqHz).c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}

int spectrogram(const std::string& out, const std::vector<std::string>& files, double seconds, int argc,
                char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    std::vector<Audio> audio;
    std::vector<QString> titles;
    for (const std::string& argument : files) {
        const size_t eq = argument.find('=');
        const std::string path = argument.substr(0, eq);
        std::string error;
        std::optional<Audio> a = readAudio(path, error);
        if (!a) {
            std::fprintf(stderr, "bellmeasure: %s\n", error.c_str());
            return 1;
        }
        audio.push_back(std::move(*a));
        titles.push_back(QString::fromStdString(eq == std::string::npos ? path : argument.substr(eq + 1)));
    }
    std::vector<SpectrogramPanel> panels;
    for (size_t i = 0; i < audio.size(); ++i) {
        panels.push_back({titles[i], &audio[i]});
    }
    SpectrogramStyle style;
    style.seconds = seconds;
    const QImage image = drawSpectrograms(panels, style);
    if (!image.save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "bellmeasure: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    std::string picture;
    size_t peakCount = 24;
    double strikeRatio = 0.5;
    double seconds = 20.0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--peaks" && hasValue) {
            peakCount = static_cast<size_t>(std::max(1, std::atoi(argv[++i])));
        } else if (a == "--strike-ratio" && hasValue) {
            strikeRatio = std::atof(argv[++i]);
        } else if (a == "--spectrogram" && hasValue) {
            picture = argv[++i];
        } else if (a == "--seconds" && hasValue) {
            seconds = std::atof(argv[++i]);
        } else if (!a.empty() && a[0] != '-') {
            files.push_back(a);
        } else {
            std::fprintf(stderr, "bellmeasure: unknown or incomplete option %s\n", a.c_str());
            return 2;
        }
    }
    if (files.empty() || strikeRatio <= 0.0 || seconds <= 0.0) {
        std::fprintf(stderr, "usage: bellmeasure [--peaks N] [--strike-ratio R] FILE...\n"
                             "       bellmeasure --spectrogram OUT.png [--seconds S] FILE[=TITLE]...\n");
        return 2;
    }
    return picture.empty() ? report(files, peakCount, strikeRatio)
                           : spectrogram(picture, files, seconds, argc, argv);
}
