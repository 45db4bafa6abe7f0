#pragma once

#include "input/KeyStrikeNotifier.h"
#include "practice/KeyEventClock.h"
#include "practice/LatencyCalibration.h"

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;

// The tap-along that measures the user's latency: a click sounds at a steady
// pace and the user taps any key (or the mouse) with it; the offset of the
// taps from the clicks is the latency.
class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    struct Clock {
        // Sounds a click on a frame of the output's clock.
        std::function<void(std::int64_t frame)> click;
        // The output's frame clock now.
        std::function<std::int64_t()> frame;
        int sampleRate = 48000;
    };

    static constexpr int kClicks = 16;
    // Wider than the span of delays the estimate accepts, so that a delay up
    // to its upper bound is not taken for an early tap to the next click.
    static constexpr int kClickIntervalMs = 800;
    static_assert(kClickIntervalMs > LatencyCalibration::kMostOffsetMs - LatencyCalibration::kLeastOffsetMs);

    CalibrationDialog(QWidget* parent, Clock clock, int currentOffsetMs);

    const LatencyCalibration::Estimate& estimate() const { return m_estimate; }
    int offsetMs() const;

    // Starts the clicks (the button "Начать").
    void startClicks();
    // A tap stamped eventTime (ms, 0 for none); from key presses and clicks.
    void tap(std::uint64_t eventTime);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void observe();
    void evaluate();

    Clock m_clock;
    KeyEventClock m_keys;
    EventTimeMapper m_eventTimes;
    QTimer m_poll;
    QTimer m_done;
    bool m_listening = false;
    std::vector<double> m_clicksMs;
    std::vector<double> m_tapsMs;
    LatencyCalibration::Estimate m_estimate;
    QLabel* m_status = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_save = nullptr;
};
