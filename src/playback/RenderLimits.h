#pragma once

#include "playback/RingingRenderer.h"

#include <QString>

#include <cstdint>
#include <optional>

// What a render will need before it starts: the length of the sound and the
// bytes of the file, checked against a stated longest output, the format's
// own limit and the free space of the target's disk, so that a long ringing
// is refused at once rather than after filling the disk.

// The longest output rendered unless the user raises it.
inline constexpr int kDefaultMaxRenderMinutes = 240;

// Time allowed after the last column for the bells to ring out, in the
// estimate only (the render itself stops when every voice has ended).
inline constexpr int kRingOutAllowanceSeconds = 60;

struct RenderSize {
    double ringingSeconds = 0; // the columns alone
    std::int64_t frames = 0;   // with the ring-out allowance
    std::int64_t bytes = 0;    // of the file (for FLAC, an expected size)
};

RenderSize estimateRenderSize(const RenderJob& job);

enum class RenderLimit {
    Fits,
    TooLong,        // the ringing is longer than the stated maximum
    TooLargeForWav, // a WAV file cannot hold more than 4 GiB
    NoSpace,        // the disk has less free space than the file needs
};

struct RenderCheck {
    RenderLimit limit = RenderLimit::Fits;
    RenderSize size;
    std::int64_t freeBytes = -1; // -1 when unknown
};

// `freeBytes` empty: the free space is not known and not checked.
RenderCheck checkRenderLimits(const RenderJob& job, int maxMinutes, std::optional<std::int64_t> freeBytes);

// The free space of the disk that holds `outputPath`'s folder (a link's
// target's); nothing when the folder does not exist, the space cannot be
// told, or the output is standard output ("-"), a device or a pipe.
std::optional<std::int64_t> freeSpaceFor(const QString& outputPath);

// "1:05:00" style text for a length in seconds.
QString renderLengthText(double seconds);
