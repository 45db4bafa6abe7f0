#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

#include <algorithm>
#include <cstddef>
#include <vector>

// Notes when the timer's event arrives; the window's handler runs after it,
// so the gap between the two is the cost of a tick as the window sees it.
class TickStart : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            started = clock.nsecsElapsed();
        }
        return false;
    }
    QElapsedTimer clock;
    qint64 started = -1;
};

// The value below which the share p (0..1) of the values lie.
template <class T> T percentile(std::vector<T> values, double p) {
    if (values.empty()) {
        return T{};
    }
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(p * (values.size() - 1) + 0.5))];
}
