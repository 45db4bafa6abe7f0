#pragma once

#include "input/KeyStrikeNotifier.h"
#include "practice/KeyEventClock.h"
#include "practice/LatencyCalibration.h"

#include <QDialog>
#include <QList>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

// The tap-along that measures the user's latency with one input: a click
// sounds at a steady pace and the user taps with it on any key (or the
// mouse), or on any pad of a MIDI port; the offset of the taps from the
// clicks is that input's latency. Only the chosen input's taps count.
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

    // An input that can be calibrated, and its offset now.
    struct Input {
        StrikeInput input;
        double offsetMs = 0.0;
    };

    static constexpr int kClicks = 16;
    // Wider than the span of delays the estimate accepts, so that a delay up
    // to its upper bound is not taken for an early tap to the next click.
    static constexpr int kClickIntervalMs = 800;
    static_assert(kClickIntervalMs > LatencyCalibration::kMostOffsetMs - LatencyCalibration::kLeastOffsetMs);

    // inputs: the keys first; never empty.
    CalibrationDialog(QWidget* parent, Clock clock, QList<Input> inputs);

    const LatencyCalibration::Estimate& estimate() const { return m_estimate; }
    // To a tenth of a millisecond.
    double offsetMs() const;
    // The input being calibrated.
    StrikeInput input() const;
    void chooseInput(int index);

    // Starts the clicks (the button "Начать").
    void startClicks();
    // A tap of the keys or the mouse stamped eventTime (ms, 0 for none).
    void tap(std::uint64_t eventTime);
    // A tap of another input (a pad) at steadyNs on the monotonic clock.
    void inputTap(const StrikeInput& input, std::int64_t steadyNs);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void observe();
    void evaluate();
    void tapAtFrame(std::int64_t frame);
    void showCurrent();

    Clock m_clock;
    KeyEventClock m_keys;
    EventTimeMapper m_eventTimes;
    QTimer m_poll;
    QTimer m_done;
    bool m_listening = false;
    std::vector<double> m_clicksMs;
    std::vector<double> m_tapsMs;
    LatencyCalibration::Estimate m_estimate;
    QList<Input> m_inputs;
    QComboBox* m_input = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_save = nullptr;
};
