#pragma once

// In-place radix-2 FFT of complex data whose length is a power of two.

#include <complex>
#include <vector>

namespace bellmeasure {

void fft(std::vector<std::complex<double>>& data);

// The smallest power of two not below n.
size_t nextPowerOfTwo(size_t n);

} // namespace bellmeasure
