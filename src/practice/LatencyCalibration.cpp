#include "practice/LatencyCalibration.h"

#include "base/ProfileFile.h"
#include "input/MidiSettings.h"


#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace LatencyCalibration {

namespace {

const QString kSection = QStringLiteral("Training");
const QString kKey = QStringLiteral("Latency");

// Where an input's offset is kept: section and key.
std::pair<QString, QString> placeOf(const StrikeInput& input) {
    switch (input.kind) {
    case StrikeInput::Kind::Midi:
        return {MidiSettings::sectionOf(input.port), kKey};
    case StrikeInput::Kind::Microphone:
        return {kSection, kKey + QStringLiteral(" Microphone")};
    case StrikeInput::Kind::Keys:
        break;
    }
    return {kSection, kKey};
}
constexpr double kLeastOutlierDistanceMs = 15.0;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

} // namespace

Estimate estimate(const std::vector<double>& clicksMs, const std::vector<double>& tapsMs) {
    Estimate result;
    std::vector<double> clicks = clicksMs;
    std::sort(clicks.begin(), clicks.end());
    std::vector<double> gaps;
    for (size_t i = 1; i < clicks.size(); ++i) {
        gaps.push_back(clicks[i] - clicks[i - 1]);
    }
    const double spacing = gaps.empty() ? 0.0 : median(gaps);
    if (spacing <= 0.0) {
        result.problem = QStringLiteral("Слишком мало щелчков");
        return result;
    }
    if (static_cast<int>(tapsMs.size()) < kLeastTaps) {
        result.problem = QStringLiteral("Слишком мало ударов в такт щелчкам");
        return result;
    }
    // Where the taps fall between the clicks, as an angle on one spacing:
    // a mean that does not break where one spacing turns into the next.
    constexpr double kTurn = 2.0 * std::numbers::pi;
    double sine = 0.0;
    double cosine = 0.0;
    for (double tap : tapsMs) {
        const double angle = kTurn * (tap - clicks.front()) / spacing;
        sine += std::sin(angle);
        cosine += std::cos(angle);
    }
    double delay = std::atan2(sine, cosine) / kTurn * spacing;
    // The same taps read as answers to an earlier or later click: the reading
    // within the bounds is the delay (none when the spacing leaves a gap).
    while (delay < kLeastOffsetMs) {
        delay += spacing;
    }
    while (delay - spacing >= kLeastOffsetMs) {
        delay -= spacing;
    }
    if (std::lround(delay) > kMostOffsetMs) {
        result.problem = QStringLiteral("Удары не попадают в такт щелчкам с задержкой от %1 до %2 мс")
                             .arg(kLeastOffsetMs)
                             .arg(kMostOffsetMs);
        return result;
    }
    std::vector<double> offsets;
    std::vector<std::ptrdiff_t> answered; // the click of each offset
    for (double tap : tapsMs) {
        // The click this tap answers: the one nearest to the tap less the delay.
        const double heard = tap - delay;
        const auto after = std::lower_bound(clicks.begin(), clicks.end(), heard);
        auto nearest = after;
        if (after == clicks.end() || (after != clicks.begin() && heard - *(after - 1) < *after - heard)) {
            nearest = after - 1;
        }
        const double offset = tap - *nearest;
        // A tap before the first click or long after the last answers none.
        if (std::abs(offset - delay) < spacing / 2.0) {
            offsets.push_back(offset);
            answered.push_back(nearest - clicks.begin());
        }
    }
    // Someone tapping along answers nearly every click; a handful of taps
    // that happen to fall together is no measurement.
    const int needed = std::max(kLeastTaps, static_cast<int>((clicks.size() * 2 + 2) / 3));
    if (static_cast<int>(offsets.size()) < needed) {
        result.problem = QStringLiteral("Слишком мало ударов в такт щелчкам: нужно хотя бы %1 из %2")
                             .arg(needed)
                             .arg(clicks.size());
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
    std::set<std::ptrdiff_t> keptClicks;
    for (size_t i = 0; i < offsets.size(); ++i) {
        if (std::abs(offsets[i] - first) <= limit) {
            kept.push_back(offsets[i]);
            keptClicks.insert(answered[i]);
        }
    }
    // A stumble or two is set aside; when a quarter of the taps must be,
    // they were not following the clicks. Nor were they when two of the taps
    // kept answer one click: a person tapping along answers each click once.
    if (static_cast<int>(keptClicks.size()) < needed || keptClicks.size() < kept.size() ||
        kept.size() * 4 < offsets.size() * 3) {
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
    if (result.spreadMs > kMostSpreadMs) {
        result.problem =
            QStringLiteral("Удары не следуют за щелчками: разброс ±%1 мс, а нужно не больше ±%2 мс. "
                           "Попробуйте еще раз")
                .arg(std::lround(result.spreadMs))
                .arg(std::lround(kMostSpreadMs));
        return result;
    }
    if (std::lround(result.offsetMs) < kLeastOffsetMs || std::lround(result.offsetMs) > kMostOffsetMs) {
        result.problem = QStringLiteral("Задержка вне допустимых пределов");
        return result;
    }
    result.valid = true;
    return result;
}

double toTenth(double milliseconds) {
    // + 0.0: never a minus zero, written or shown.
    return std::round(milliseconds * 10.0) / 10.0 + 0.0;
}

QString caption(double milliseconds) {
    return QString::number(toTenth(milliseconds), 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')) +
           QStringLiteral(" мс");
}

double readOffset(const ProfileFile& settings, const StrikeInput& input) {
    const auto [section, key] = placeOf(input);
    QString text = settings.readString(section, key, QString()).trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = toTenth(text.toDouble(&ok));
    if (!ok || !(value >= kLeastOffsetMs && value <= kMostOffsetMs)) {
        return 0.0;
    }
    return value;
}

bool writeOffset(ProfileFile& settings, double offsetMs, const StrikeInput& input) {
    const auto [section, key] = placeOf(input);
    const double value =
        std::isfinite(offsetMs) ? toTenth(std::clamp<double>(offsetMs, kLeastOffsetMs, kMostOffsetMs)) : 0.0;
    const bool whole = value == std::trunc(value);
    return settings.writeString(section, key, QString::number(value, 'f', whole ? 0 : 1));
}

} // namespace LatencyCalibration
