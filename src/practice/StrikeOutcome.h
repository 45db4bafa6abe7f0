#pragma once

#include <cstdint>

// One result of a practice run: an expected strike hit (with its signed
// error: positive is late), an expected strike missed, or a key strike that
// matched nothing (an extra).
struct StrikeOutcome {
    enum class Kind { Hit, Missed, Extra };
    Kind kind = Kind::Hit;
    int bell = 0;
    // The column of the score the outcome belongs to (for an extra, the
    // column played nearest to it) and the pass through the ringing.
    int column = 0;
    int pass = 0;
    std::int64_t expectedFrame = 0; // 0 for an extra
    std::int64_t keyFrame = 0;      // 0 for a miss
    // keyFrame - expectedFrame in milliseconds (hits only).
    double errorMs = 0.0;
};
