#pragma once

#include "base/ScorePages.h"

#include <QString>

#include <cstdint>

// Captions, times and control rules of the transport, tempo and volume
// controls. Plain functions: the sequencer and the window both use them.
namespace transport {

using ::kPageColumns;
using ::pageOfColumn;

// Tempo: the interval (milliseconds per column) equals the tempo slider's
// position; the tempo shown is 1050 - interval.
constexpr int kTempoSliderMin = 50;
constexpr int kTempoSliderMax = 1000;
constexpr int kTempoStep = 25;
constexpr int kDefaultInterval = 144;
// The least interval the sequencer runs at: a ringing header may name 0 or
// less, which would make the timer fire without pause.
constexpr int kLeastInterval = 1;

// Volume: a device level 0..255; the slider stands upside down (position =
// 255 - level) so that its top is loudest.
constexpr int kVolumeMax = 255;
constexpr int kVolumeStep = 10;

QString tempoCaption(int interval);
// The tempo slider position after "faster" / "slower" (before the slider's
// own range clamps it).
int fasterTempoPosition(int position);
int slowerTempoPosition(int position);

QString volumeCaption(int level);
int louderLevel(int level);
int softerLevel(int level);
int volumeSliderPosition(int level);
int levelForVolumeSlider(int position);

// Whole seconds of `columns` columns at `interval` ms each; the product is
// taken in 64 bits so that long ringings at slow tempi cannot overflow.
std::int64_t playedSeconds(std::int64_t columns, std::int64_t interval);
// h:mm:ss as a time of day: hours without a leading zero, whole days dropped.
QString clockText(std::int64_t seconds);
QString totalDurationText(std::int64_t columns, std::int64_t interval);
QString playTimeText(std::int64_t column, std::int64_t interval);

// How a ringing reached the working set decides the page selector's maximum
// and the progress slider's maximum.
enum class RingingLoader {
    CommonChoice, // a ringing chosen in the common list
    GroupChoice,  // a group ringing selector (128-column common score)
    Chooser,      // the chooser, play-all-in-turn, an opened ringing file
};

struct PlaybackRanges {
    int pageMaximum = 1;
    bool pageEnabled = false;
    int sliderMaximum = 0;
};

PlaybackRanges rangesForLoader(RingingLoader loader, int columns);

} // namespace transport
