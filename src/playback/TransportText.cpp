#include "playback/TransportText.h"

#include <algorithm>

namespace transport {

QString tempoCaption(int interval) {
    return QStringLiteral("Темп: ") + QString::number(1050 - interval);
}

int fasterTempoPosition(int position) {
    const int next = position - kTempoStep;
    return next < kTempoSliderMin ? kTempoSliderMin : next;
}

int slowerTempoPosition(int position) {
    const int next = position + kTempoStep;
    return next > 1050 ? 1050 : next;
}

QString volumeCaption(int level) {
    return QStringLiteral("Громкость: ") + QString::number(level);
}

int louderLevel(int level) {
    level = std::clamp(level, 0, kVolumeMax);
    return level >= kVolumeMax - 9 ? kVolumeMax : level + kVolumeStep;
}

int softerLevel(int level) {
    level = std::clamp(level, 0, kVolumeMax);
    return level <= 9 ? 0 : level - kVolumeStep;
}

int volumeSliderPosition(int level) {
    return kVolumeMax - std::clamp(level, 0, kVolumeMax);
}

int levelForVolumeSlider(int position) {
    return kVolumeMax - std::clamp(position, 0, kVolumeMax);
}

std::int64_t playedSeconds(std::int64_t columns, std::int64_t interval) {
    const std::int64_t product = columns * interval;
    return product > 0 ? product / 1000 : 0;
}

QString clockText(std::int64_t seconds) {
    const std::int64_t ofDay = seconds > 0 ? seconds % 86400 : 0;
    const std::int64_t hours = ofDay / 3600;
    const std::int64_t minutes = ofDay / 60 % 60;
    const std::int64_t secs = ofDay % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'));
}

QString totalDurationText(std::int64_t columns, std::int64_t interval) {
    return QStringLiteral("Общая длительность: ") + clockText(playedSeconds(columns, interval));
}

QString playTimeText(std::int64_t column, std::int64_t interval) {
    return clockText(playedSeconds(column, interval));
}

PlaybackRanges rangesForLoader(RingingLoader loader, int columns) {
    PlaybackRanges ranges;
    switch (loader) {
    case RingingLoader::CommonChoice:
        ranges.pageMaximum = std::max(1, (columns + kPageColumns - 1) / kPageColumns);
        ranges.sliderMaximum = columns - 1;
        break;
    case RingingLoader::GroupChoice:
        ranges.pageMaximum = 2;
        ranges.sliderMaximum = columns - 2;
        break;
    case RingingLoader::Chooser:
        ranges.pageMaximum = columns / kPageColumns + 1;
        ranges.sliderMaximum = columns;
        break;
    }
    ranges.sliderMaximum = std::max(0, ranges.sliderMaximum);
    ranges.pageEnabled = ranges.pageMaximum >= 2;
    return ranges;
}

} // namespace transport
