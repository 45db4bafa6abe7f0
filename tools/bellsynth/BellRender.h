#pragma once

// Renders a struck bell: the modes, the contact onset and common splash, the
// strike noise with the clapper's bounce, and the early reflections of the
// belfry. The result is in floating point, before levels are set.

#include "BellModel.h"

#include <cstddef>
#include <vector>

namespace bellsynth {

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;
    size_t frames() const { return left.size(); }
};

// Renders the first `frames` frames of the bell.
StereoBuffer renderBell(const BellVoice& voice, size_t frames);

// Where the ring has fallen `belowDb` under `peak`: the frame at which the
// power of the modes, summed without regard to their beating, reaches that
// level. Beats make the sound dip below it earlier and rise above it again,
// so the time of the last such sample would jump from bell to bell.
size_t ringEndFrame(const BellVoice& voice, double peak, double belowDb);

// Adds the modes to two channel buffers; exposed for the benchmark and tests.
void addModes(const std::vector<Mode>& modes, double sampleRate, double* left, double* right, size_t frames);

} // namespace bellsynth
