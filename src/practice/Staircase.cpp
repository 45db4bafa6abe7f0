#include "practice/Staircase.h"

#include <algorithm>
#include <cmath>

Staircase::Staircase(double startMs) : m_amount(std::clamp(startMs, kFloorMs, kCeilingMs)) {}

void Staircase::answer(bool right) {
    ++m_trials;
    if (!right) {
        m_rightInRow = 0;
        move(+1);
        return;
    }
    if (++m_rightInRow >= 2) {
        m_rightInRow = 0;
        move(-1);
    }
}

void Staircase::move(int direction) {
    if (m_lastDirection != 0 && direction != m_lastDirection) {
        m_reversalAmounts << m_amount;
        m_factor = std::max(kLeastFactor, std::sqrt(m_factor));
    }
    m_lastDirection = direction;
    m_amount = std::clamp(direction > 0 ? m_amount * m_factor : m_amount / m_factor, kFloorMs, kCeilingMs);
}

double Staircase::thresholdMs() const {
    if (m_reversalAmounts.size() <= kSkippedReversals) {
        return m_amount;
    }
    double logSum = 0.0;
    for (qsizetype i = kSkippedReversals; i < m_reversalAmounts.size(); ++i) {
        logSum += std::log(m_reversalAmounts.at(i));
    }
    return std::exp(logSum / static_cast<double>(m_reversalAmounts.size() - kSkippedReversals));
}
