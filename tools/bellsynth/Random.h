#pragma once

// A small deterministic generator: the same seed gives the same numbers on
// every machine and with every standard library, so the sounds come out
// byte for byte the same on every build.

#include <cstdint>

namespace bellsynth {

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

    // Uniform in [-width, width).
    double symmetric(double width) { return (2.0 * unit() - 1.0) * width; }

private:
    std::uint64_t m_state;
};

// Seed of one bell's sound, independent of the order bells are made in.
inline std::uint64_t bellSeed(int row, int bell, std::uint64_t stream) {
    return 0x5EEDB311ull * 1000003ull + static_cast<std::uint64_t>(row) * 7919ull +
           static_cast<std::uint64_t>(bell) * 104729ull + stream * 0x100000001B3ull;
}

} // namespace bellsynth
