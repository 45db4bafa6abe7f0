#pragma once

#include <cmath>

// Pixel coordinates computed from real numbers are rounded to the nearest
// integer, halves to even (2.5 -> 2, 3.5 -> 4), everywhere in the program.
inline int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}
