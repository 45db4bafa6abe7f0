#include "practice/TempoRamp.h"

#include <algorithm>
#include <cmath>

TempoRamp::TempoRamp(int interval, Settings settings)
    : m_interval(interval), m_settings(settings),
      m_percent(std::clamp(settings.startPercent, kLeastPercent, 100)) {
    // A step of nothing would never reach the full tempo.
    m_settings.stepPercent = std::max(1, m_settings.stepPercent);
    m_settings.goodSharePercent = std::clamp(m_settings.goodSharePercent, 0, 100);
}

int TempoRamp::interval() const {
    return static_cast<int>(std::lround(m_interval * 100.0 / m_percent));
}

TempoRamp::Step TempoRamp::passEnded(double shareWithin) {
    // Compared in whole tenths of a percent: 0.8 of the strikes is a good
    // pass at 80 % however the share was rounded on its way here.
    const bool good = std::lround(shareWithin * 1000.0) >= m_settings.goodSharePercent * 10;
    if (!good) {
        return Step::Again;
    }
    if (m_percent >= 100) {
        return Step::Full;
    }
    m_percent = std::min(100, m_percent + m_settings.stepPercent);
    return Step::Faster;
}
