#include "playback/audio/analysis/Fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace bellmeasure {

size_t nextPowerOfTwo(size_t n) {
    size_t p = 1;
    while (p < n) {
        p <<= 1;
    }
    return p;
}

void fft(std::vector<std::complex<double>>& data) {
    const size_t n = data.size();
    if (n < 2) {
        return;
    }
    if ((n & (n - 1)) != 0) {
        throw std::invalid_argument("fft length must be a power of two");
    }
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    // Twiddles of the largest stage, computed directly rather than by
    // repeated multiplication so that long transforms stay accurate.
    std::vector<std::complex<double>> twiddle(n / 2);
    for (size_t k = 0; k < n / 2; ++k) {
        twiddle[k] =
            std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const size_t half = len / 2;
        const size_t stride = n / len;
        for (size_t i = 0; i < n; i += len) {
            for (size_t k = 0; k < half; ++k) {
                // Written out: the library's complex product checks for
                // infinities on every call and is several times slower.
                const std::complex<double> b = data[i + k + half];
                const std::complex<double> w = twiddle[k * stride];
                const std::complex<double> t(b.real() * w.real() - b.imag() * w.imag(),
                                             b.real() * w.imag() + b.imag() * w.real());
                data[i + k + half] = data[i + k] - t;
                data[i + k] += t;
            }
        }
    }
}

} // namespace bellmeasure
