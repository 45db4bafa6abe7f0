// Built with full loop vectorisation (see src/CMakeLists.txt), like the
// voice loop: the dot product keeps one sum per vector lane, so the compiler
// turns it into vector code without reordering any addition.

#include "playback/audio/RateInterpolator.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace audio {

namespace {

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
#define CAMPANIX_INTERPOLATOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define CAMPANIX_INTERPOLATOR_CLONES
#endif

// The Kaiser window's shape and the cut-off as a share of the input's
// Nyquist frequency, chosen by measuring the error in the audible band
// against the best converter of libsamplerate (see the interpolator's
// checks). At 44.1 kHz what the filter lets through above 22 kHz folds back
// above 20 kHz, out of hearing; what must be rejected is the input's mirror
// image above 24.1 kHz, which would fold into the audible band.
constexpr double kBeta = 11.0;
constexpr double kCutoff = 0.95;
constexpr double kPi = 3.14159265358979323846;

// The zeroth-order modified Bessel function, by its series.
double besselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// The filter's coefficient for an input frame `distance` frames from the
// output position; `cutoff` in cycles per input frame.
double kernel(double distance, double cutoff, double halfWidth) {
    const double x = distance / halfWidth;
    if (std::fabs(x) >= 1.0) {
        return 0.0;
    }
    const double window = besselI0(kBeta * std::sqrt(1.0 - x * x)) / besselI0(kBeta);
    const double arg = 2.0 * cutoff * distance;
    const double sinc = std::fabs(arg) < 1e-12 ? 1.0 : std::sin(kPi * arg) / (kPi * arg);
    return 2.0 * cutoff * sinc * window;
}

static_assert(RateInterpolator::kTaps % 16 == 0, "the vector loops take 16 taps at a time");

CAMPANIX_INTERPOLATOR_CLONES
void dotStereo(const float* __restrict in, const float* __restrict row, float* __restrict out) noexcept {
    // Eight sums, one per lane; even lanes are left, odd lanes right.
    float acc[8] = {};
    for (int j = 0; j < 2 * RateInterpolator::kTaps; j += 8) {
        for (int l = 0; l < 8; ++l) {
            acc[l] += in[j + l] * row[j + l];
        }
    }
    out[0] = (acc[0] + acc[2]) + (acc[4] + acc[6]);
    out[1] = (acc[1] + acc[3]) + (acc[5] + acc[7]);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Four independent sums so that the fused multiply-adds do not wait for
// each other.
__attribute__((target("avx2,fma"))) void dotStereoAvx2(const float* in, const float* row,
                                                       float* out) noexcept {
    __m256 acc[4] = {_mm256_setzero_ps(), _mm256_setzero_ps(), _mm256_setzero_ps(), _mm256_setzero_ps()};
    for (int j = 0; j < 2 * RateInterpolator::kTaps; j += 32) {
        for (int k = 0; k < 4; ++k) {
            acc[k] =
                _mm256_fmadd_ps(_mm256_loadu_ps(in + j + 8 * k), _mm256_loadu_ps(row + j + 8 * k), acc[k]);
        }
    }
    const __m256 sum = _mm256_add_ps(_mm256_add_ps(acc[0], acc[1]), _mm256_add_ps(acc[2], acc[3]));
    // Lanes l, l + 2, l + 4, l + 6 belong to one channel.
    const __m128 half = _mm_add_ps(_mm256_castps256_ps128(sum), _mm256_extractf128_ps(sum, 1));
    const __m128 pair = _mm_add_ps(half, _mm_movehl_ps(half, half));
    _mm_storel_pi(reinterpret_cast<__m64*>(out), pair);
}

bool hasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

const bool kAvx2 = hasAvx2();
#endif

} // namespace

bool RateInterpolator::serves(int fromRate, int toRate) {
    if (fromRate <= 0 || toRate <= 0 ||
        static_cast<double>(toRate) * 480.0 < static_cast<double>(fromRate) * 441.0) {
        return false;
    }
    return toRate / std::gcd(fromRate, toRate) <= kMaxPhases;
}

RateInterpolator::RateInterpolator(int fromRate, int toRate) : m_from(fromRate), m_to(toRate) {
    const int divisor = std::gcd(std::max(1, fromRate), std::max(1, toRate));
    m_step = std::max(1, fromRate) / divisor;
    m_phases = std::max(1, toRate) / divisor;
    const double cutoff = 0.5 * kCutoff;
    m_rows.assign(static_cast<std::size_t>(m_phases) * 2 * kTaps, 0.0f);
    std::vector<double> row(kTaps);
    for (int p = 0; p < m_phases; ++p) {
        const double fraction = static_cast<double>(p) / m_phases;
        double sum = 0.0;
        for (int t = 0; t < kTaps; ++t) {
            row[static_cast<std::size_t>(t)] = kernel(fraction + kHalfTaps - 1 - t, cutoff, kHalfTaps);
            sum += row[static_cast<std::size_t>(t)];
        }
        // Every phase passes a steady level unchanged.
        float* out = m_rows.data() + static_cast<std::size_t>(p) * 2 * kTaps;
        for (int t = 0; t < kTaps; ++t) {
            out[2 * t] = out[2 * t + 1] = static_cast<float>(row[static_cast<std::size_t>(t)] / sum);
        }
    }
}

std::int64_t RateInterpolator::inputFrame(std::int64_t n) const {
    return n * m_step / m_phases;
}

void RateInterpolator::process(const float* in, std::int64_t inStart, float* out, std::int64_t first,
                               int frames) const noexcept {
    std::int64_t scaled = first * m_step;
    std::int64_t frame = scaled / m_phases;
    int phase = static_cast<int>(scaled - frame * m_phases);
#if defined(__x86_64__) && defined(__GNUC__)
    const auto dot = kAvx2 ? dotStereoAvx2 : dotStereo;
#else
    const auto dot = dotStereo;
#endif
    for (int f = 0; f < frames; ++f) {
        const float* window = in + 2 * (frame - kHalfTaps + 1 - inStart);
        dot(window, m_rows.data() + static_cast<std::size_t>(phase) * 2 * kTaps, out + 2 * f);
        phase += m_step;
        while (phase >= m_phases) {
            phase -= m_phases;
            ++frame;
        }
    }
}

} // namespace audio
