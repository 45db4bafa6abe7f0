#pragma once

#include <QList>

// The adaptive amount of ear training: two right answers in a row make the
// amount smaller, one wrong answer makes it bigger (a two-down one-up rule,
// which settles where about 71 % of the answers are right). The amount is
// halved and doubled at first; each reversal of direction narrows the step
// (its square root) down to kLeastFactor, so the amount closes in on the
// listener's threshold instead of jumping around it. The threshold is the
// geometric mean of the amounts at the reversals after the first
// kSkippedReversals, which only find the region.
class Staircase {
public:
    static constexpr double kStartMs = 40.0;
    static constexpr double kFloorMs = 1.0;
    static constexpr double kCeilingMs = 200.0;
    static constexpr double kFirstFactor = 2.0;
    static constexpr double kLeastFactor = 1.19;
    static constexpr int kSkippedReversals = 2;
    // A staircase with this many reversals has found its threshold.
    static constexpr int kReversals = 12;

    explicit Staircase(double startMs = kStartMs);

    double amountMs() const { return m_amount; }
    void answer(bool right);

    int trials() const { return m_trials; }
    int reversals() const { return static_cast<int>(m_reversalAmounts.size()); }
    bool finished() const { return reversals() >= kReversals; }
    // The estimate so far: from the reversals past the skipped ones, or the
    // present amount before there are any.
    double thresholdMs() const;

private:
    void move(int direction);

    double m_amount;
    double m_factor = kFirstFactor;
    int m_rightInRow = 0;
    int m_lastDirection = 0; // -1 down, +1 up, 0 before the first move
    int m_trials = 0;
    QList<double> m_reversalAmounts;
};
