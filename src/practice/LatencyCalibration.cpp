#include "practice/LatencyCalibration.h"

#include "base/ProfileFile.h"

#include <algorithm>
#include <cmath>

namespace LatencyCalibration {

namespace {

const QString kSection = QStringLiteral("Training");
const QString kKey = QStringLiteral("Latency");
constexpr double kLeastOutlierDistanceMs = 15.0;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

} // namespace

Estimate estimate(const std::vector<double>& clicksMs, const std::vector<double>& tapsMs) {
    Estimate result;
    if (clicksMs.size() < 2) {
        result.problem = QStringLiteral("Слишком мало щелчков");
        return result;
    }
    std::vector<double> clicks = clicksMs;
    std::sort(clicks.begin(), clicks.end());
    std::vector<double> offsets;
    for (double tap : tapsMs) {
        const auto after = std::lower_bound(clicks.begin(), clicks.end(), tap);
        double best = 0.0;
        double bestDistance = -1.0;
        for (auto it : {after, after == clicks.begin() ? clicks.end() : after - 1}) {
            if (it == clicks.end()) {
                continue;
            }
            if (bestDistance < 0 || std::abs(tap - *it) < bestDistance) {
                bestDistance = std::abs(tap - *it);
                best = tap - *it;
            }
        }
        // Half the spacing of the clicks around it: further than that it is
        // no answer to any click.
        const size_t index = static_cast<size_t>(std::clamp<std::ptrdiff_t>(
            after - clicks.begin(), 1, static_cast<std::ptrdiff_t>(clicks.size()) - 1));
        const double spacing = clicks[index] - clicks[index - 1];
        if (bestDistance >= 0 && bestDistance < spacing / 2.0) {
            offsets.push_back(best);
        }
    }
    if (static_cast<int>(offsets.size()) < kLeastTaps) {
        result.problem = QStringLiteral("Слишком мало ударов в такт щелчкам");
        return result;
    }
    const double first = median(offsets);
    std::vector<double> deviations;
    for (double offset : offsets) {
        deviations.push_back(std::abs(offset - first));
    }
    // 1.4826 x MAD estimates the standard deviation of normal noise.
    const double limit = std::max(kLeastOutlierDistanceMs, 3.0 * 1.4826 * median(deviations));
    std::vector<double> kept;
    for (double offset : offsets) {
        if (std::abs(offset - first) <= limit) {
            kept.push_back(offset);
        }
    }
    if (static_cast<int>(kept.size()) < kLeastTaps || kept.size() * 2 < offsets.size()) {
        result.problem = QStringLiteral("Удары слишком неровные, попробуйте еще раз");
        return result;
    }
    result.offsetMs = median(kept);
    std::vector<double> spread;
    for (double offset : kept) {
        spread.push_back(std::abs(offset - result.offsetMs));
    }
    result.spreadMs = median(spread);
    result.usedTaps = static_cast<int>(kept.size());
    if (result.offsetMs < kLeastOffsetMs || result.offsetMs > kMostOffsetMs) {
        result.problem = QStringLiteral("Задержка вне допустимых пределов");
        return result;
    }
    result.valid = true;
    return result;
}

int readOffset(const ProfileFile& settings) {
    const QString text = settings.readString(kSection, kKey, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < kLeastOffsetMs || value > kMostOffsetMs) {
        return 0;
    }
    return value;
}

bool writeOffset(ProfileFile& settings, int offsetMs) {
    return settings.writeInteger(kSection, kKey, std::clamp(offsetMs, kLeastOffsetMs, kMostOffsetMs));
}

} // namespace LatencyCalibration
