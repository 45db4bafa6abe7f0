#include "playback/audio/analysis/BellAnalysis.h"

#include "playback/audio/analysis/Fft.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace bellmeasure {

std::vector<float> Audio::mono() const {
    std::vector<float> out(frames(), 0.0f);
    if (channels.empty()) {
        return out;
    }
    const float share = 1.0f / static_cast<float>(channels.size());
    for (const std::vector<float>& c : channels) {
        for (size_t i = 0; i < out.size(); ++i) {
            out[i] += c[i] * share;
        }
    }
    return out;
}

std::optional<Audio> readAudio(const std::string& path, std::string& error, size_t maxFrames) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        error = path + ": " + sf_strerror(nullptr);
        return std::nullopt;
    }
    const size_t frames = std::min(static_cast<size_t>(std::max<sf_count_t>(info.frames, 0)), maxFrames);
    std::vector<float> interleaved(frames * static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
    if (got != static_cast<sf_count_t>(frames)) {
        error = path + ": file is shorter than its header says";
        return std::nullopt;
    }
    Audio a;
    a.sampleRate = info.samplerate;
    a.format = info.format;
    a.channels.assign(static_cast<size_t>(info.channels), std::vector<float>(frames));
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < a.channels.size(); ++c) {
            a.channels[c][i] = interleaved[i * a.channels.size() + c];
        }
    }
    return a;
}

std::vector<Peak> spectralPeaks(const float* x, size_t count, double sampleRate, double rangeDb,
                                size_t maxPeaks, int segments) {
    segments = std::max(segments, 1);
    const size_t length = count * 2 / static_cast<size_t>(segments + 1);
    if (length < 16) {
        return {};
    }
    // Blackman-Harris: side lobes 92 dB down, so weak partials beside strong
    // ones are not hidden. Padding to four times the length or more puts
    // enough bins on each peak for the parabola to find its top. Several
    // half-overlapping segments average out the beating of close doublets.
    const size_t n = nextPowerOfTwo(length * 4);
    const size_t bins = n / 2;
    std::vector<double> window(length);
    const double step = 2.0 * std::numbers::pi / static_cast<double>(length - 1);
    for (size_t i = 0; i < length; ++i) {
        const double p = step * static_cast<double>(i);
        window[i] =
            0.35875 - 0.48829 * std::cos(p) + 0.14128 * std::cos(2.0 * p) - 0.01168 * std::cos(3.0 * p);
    }
    std::vector<double> power(bins, 0.0);
    std::vector<std::complex<double>> buf(n);
    for (int s = 0; s < segments; ++s) {
        const float* from = x + static_cast<size_t>(s) * (length / 2);
        std::fill(buf.begin(), buf.end(), std::complex<double>());
        for (size_t i = 0; i < length; ++i) {
            buf[i] = from[i] * window[i];
        }
        fft(buf);
        for (size_t i = 0; i < bins; ++i) {
            power[i] += std::norm(buf[i]);
        }
    }
    std::vector<double> db(bins);
    double top = -400.0;
    for (size_t i = 0; i < bins; ++i) {
        db[i] = 10.0 * std::log10(power[i] + 1e-300);
        top = std::max(top, db[i]);
    }
    // A peak must rule its neighbourhood of a bin and a half of the unpadded
    // analysis, which keeps the shoulders of one peak from counting twice.
    const size_t guard = std::max<size_t>(1, (n / length) * 3 / 2);
    std::vector<Peak> peaks;
    for (size_t i = 1; i + 1 < bins; ++i) {
        if (db[i] < top - rangeDb || db[i] < db[i - 1] || db[i] <= db[i + 1]) {
            continue;
        }
        const size_t from = i > guard ? i - guard : 0;
        const size_t to = std::min(bins - 1, i + guard);
        bool highest = true;
        for (size_t j = from; j <= to && highest; ++j) {
            highest = db[j] < db[i] || j == i || (db[j] == db[i] && j > i);
        }
        if (!highest) {
            continue;
        }
        const double a = db[i - 1];
        const double b = db[i];
        const double c = db[i + 1];
        const double denom = a - 2.0 * b + c;
        const double offset = denom < 0.0 ? 0.5 * (a - c) / denom : 0.0;
        const double level = b - 0.25 * (a - c) * offset;
        peaks.push_back(
            {(static_cast<double>(i) + offset) * sampleRate / static_cast<double>(n), level - top});
    }
    std::stable_sort(peaks.begin(), peaks.end(),
                     [](const Peak& p, const Peak& q) { return p.levelDb > q.levelDb; });
    if (peaks.size() > maxPeaks) {
        peaks.resize(maxPeaks);
    }
    return peaks;
}

double cents(double a, double b) {
    return 1200.0 * std::log2(b / a);
}

double strikePitch(const std::vector<Peak>& peaks) {
    // Subharmonic summation: only peaks within 40 dB of the strongest take
    // part; each counts once, for the harmonic it fits best, with a weight
    // falling by 0.84 per harmonic so that a low subharmonic explaining
    // everything loosely loses to the fundamental explaining the strong
    // partials well. The tolerance is wide because the ear accepts a bell's
    // stretched upper partials as harmonics. Candidates start an octave
    // below the lowest strong peak: no pitch is heard far below every partial.
    constexpr double kRange = 40.0;
    constexpr double kTolerance = 50.0; // cents
    constexpr int kHarmonics = 8;
    std::vector<Peak> used;
    double lowest = 0.0;
    for (const Peak& p : peaks) {
        if (p.levelDb >= -kRange && p.freqHz > 20.0) {
            used.push_back(p);
            if (p.levelDb >= -30.0 && (lowest == 0.0 || p.freqHz < lowest)) {
                lowest = p.freqHz;
            }
        }
    }
    if (used.empty()) {
        return 0.0;
    }
    const auto fit = [&](double f0, double* refined) {
        double score = 0.0;
        double sumW = 0.0;
        double sumF = 0.0;
        for (const Peak& p : used) {
            const double weight = std::pow(10.0, p.levelDb / 40.0);
            double best = 0.0;
            double bestCents = 0.0;
            int bestK = 0;
            for (int k = 1; k <= kHarmonics; ++k) {
                const double c = cents(k * f0, p.freqHz);
                const double m = (1.0 - std::abs(c) / kTolerance) * std::pow(0.84, k - 1);
                if (m > best) {
                    best = m;
                    bestCents = c;
                    bestK = k;
                }
            }
            if (best > 0.0) {
                score += weight * best;
                // Only close fits place the pitch; loose ones only vote for it.
                if (bestK <= 4 && std::abs(bestCents) < 15.0) {
                    sumW += weight * best;
                    sumF += weight * best * p.freqHz / bestK;
                }
            }
        }
        if (refined != nullptr) {
            *refined = sumW > 0.0 ? sumF / sumW : f0;
        }
        return score;
    };
    double bestF0 = 0.0;
    double bestScore = -1.0;
    const double start = std::max(20.0, lowest * 0.49);
    for (double f0 = start; f0 < 12000.0; f0 *= std::pow(2.0, 2.0 / 1200.0)) {
        const double s = fit(f0, nullptr);
        if (s > bestScore * (1.0 + 1e-9)) {
            bestScore = s;
            bestF0 = f0;
        }
    }
    double refined = bestF0;
    fit(bestF0, &refined);
    return refined;
}

double strikePitchOf(const float* x, size_t count, double sampleRate) {
    const size_t early = std::min(count, static_cast<size_t>(0.3 * sampleRate));
    return strikePitch(spectralPeaks(x, early, sampleRate, 60.0, 80, 3));
}

std::string noteName(double hz) {
    if (hz <= 0.0) {
        return "-";
    }
    static const char* names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const double midi = 69.0 + 12.0 * std::log2(hz / 440.0);
    const long nearest = std::lround(midi);
    const long dev = std::lround((midi - static_cast<double>(nearest)) * 100.0);
    const long pc = ((nearest % 12) + 12) % 12;
    const long octave = nearest / 12 - 1;
    std::string s = std::string(names[pc]) + std::to_string(octave);
    s += (dev >= 0 ? " +" : " ") + std::to_string(dev) + "c";
    return s;
}

Decay measureDecay(const Audio& audio) {
    Decay d;
    const size_t frames = audio.frames();
    if (frames == 0 || audio.sampleRate <= 0) {
        return d;
    }
    std::vector<double> energy(frames, 0.0);
    double peak = 0.0;
    for (const std::vector<float>& c : audio.channels) {
        for (size_t i = 0; i < frames; ++i) {
            energy[i] += static_cast<double>(c[i]) * c[i];
            peak = std::max(peak, static_cast<double>(std::abs(c[i])));
        }
    }
    const double threshold = peak * 1e-3;
    size_t last = 0;
    for (const std::vector<float>& c : audio.channels) {
        for (size_t i = frames; i-- > last;) {
            if (std::abs(c[i]) >= threshold) {
                last = i;
                break;
            }
        }
    }
    d.fall60Seconds = static_cast<double>(last) / audio.sampleRate;
    // The decay rate: the energy still to come at each moment (integrated
    // backwards from the end) falls smoothly through the beats; its
    // least-squares slope from -5 to -35 dB, in 10 ms steps, scaled to 60 dB.
    std::vector<double> remaining(frames + 1, 0.0);
    for (size_t i = frames; i-- > 0;) {
        remaining[i] = remaining[i + 1] + energy[i];
    }
    if (remaining[0] <= 0.0) {
        return d;
    }
    const size_t step = std::max<size_t>(1, static_cast<size_t>(audio.sampleRate) / 100);
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0, n = 0.0;
    for (size_t i = 0; i < frames; i += step) {
        const double level = 10.0 * std::log10(remaining[i] / remaining[0] + 1e-300);
        if (level > -5.0) {
            continue;
        }
        if (level < -35.0) {
            break;
        }
        const double x = static_cast<double>(i) / audio.sampleRate;
        sx += x;
        sy += level;
        sxx += x * x;
        sxy += x * level;
        n += 1.0;
    }
    if (n >= 3.0) {
        const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        if (slope < 0.0) {
            d.t60Seconds = -60.0 / slope;
        }
    }
    return d;
}

double peakDbfs(const Audio& audio) {
    float peak = 0.0f;
    for (const std::vector<float>& c : audio.channels) {
        for (float v : c) {
            peak = std::max(peak, std::abs(v));
        }
    }
    return 20.0 * std::log10(std::max(static_cast<double>(peak), 1e-12));
}

double rmsDbfs(const Audio& audio, size_t start, size_t count) {
    double sum = 0.0;
    size_t n = 0;
    for (const std::vector<float>& c : audio.channels) {
        for (size_t i = start; i < std::min(c.size(), start + count); ++i) {
            sum += static_cast<double>(c[i]) * c[i];
            ++n;
        }
    }
    return 10.0 * std::log10(std::max(sum / static_cast<double>(std::max<size_t>(n, 1)), 1e-24));
}

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
};

// The two stages of the K weighting (a high shelf for the head, a high pass
// for the low end), designed for any sample rate from their analogue corners.
std::pair<Biquad, Biquad> kWeighting(double fs) {
    const double pi = std::numbers::pi;
    double k = std::tan(pi * 1681.974450955533 / fs);
    const double q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    const Biquad shelf{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0,
                       (vh - vb * k / q + k * k) / a0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    k = std::tan(pi * 38.13547087602444 / fs);
    const double qh = 0.5003270373238773;
    a0 = 1.0 + k / qh + k * k;
    const Biquad high{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / qh + k * k) / a0};
    return {shelf, high};
}

double weightedPower(const float* x, size_t count, double fs) {
    const auto [s, h] = kWeighting(fs);
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0, z1 = 0, z2 = 0;
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double in = x[i];
        const double y = s.b0 * in + s.b1 * x1 + s.b2 * x2 - s.a1 * y1 - s.a2 * y2;
        x2 = x1;
        x1 = in;
        const double z = h.b0 * y + h.b1 * y1 + h.b2 * y2 - h.a1 * z1 - h.a2 * z2;
        y2 = y1;
        y1 = y;
        z2 = z1;
        z1 = z;
        sum += z * z;
    }
    return count > 0 ? sum / static_cast<double>(count) : 0.0;
}

} // namespace

double loudnessDb(const std::vector<const float*>& channels, size_t count, double sampleRate) {
    double power = 0.0;
    for (const float* c : channels) {
        power += weightedPower(c, count, sampleRate);
    }
    if (channels.size() == 1) {
        power *= 2.0;
    }
    return -0.691 + 10.0 * std::log10(std::max(power, 1e-24));
}

double loudnessDb(const Audio& audio, size_t count) {
    std::vector<const float*> ptrs;
    for (const std::vector<float>& c : audio.channels) {
        ptrs.push_back(c.data());
    }
    return loudnessDb(ptrs, std::min(count, audio.frames()), audio.sampleRate);
}

} // namespace bellmeasure
