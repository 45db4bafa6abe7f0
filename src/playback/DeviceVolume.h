#pragma once

#include <algorithm>
#include <cstdint>

// The device level 0..255 of the volume controls and the two 16-bit channel
// volumes it stands for: the level is the integer part of
// (left + right) / 512, and setting level v gives both channels v * 256.
inline int deviceLevelFromVolumes(std::uint16_t left, std::uint16_t right) {
    return (static_cast<int>(left) + static_cast<int>(right)) / 512;
}

inline std::uint16_t channelVolumeForLevel(int level) {
    return static_cast<std::uint16_t>(std::clamp(level, 0, 255) * 256);
}
