#pragma once

#include "practice/PracticePart.h"
#include "practice/TempoRamp.h"

#include <QList>

#include <optional>
#include <utility>

// What the training setup chose: the part, and optionally a passage of bars
// looped (first and last bar, 0-based, 16 columns each) and a tempo ramp.
// With a ramp and no passage the whole ringing loops.
struct PracticePlan {
    PracticePart part;
    std::optional<std::pair<int, int>> bars;
    std::optional<TempoRamp::Settings> ramp;

    bool loops() const { return bars.has_value() || ramp.has_value(); }
};

// The columns of bars first..last of a score of scoreSize columns, in order
// (bars past its end give nothing).
QList<int> passageColumns(int firstBar, int lastBar, int scoreSize);
