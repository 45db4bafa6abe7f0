#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <array>

class OutputHost;

// The loaded ringing as the score painter draws it: the three group scores,
// the group counts, the simplified-view switch and the window colour the
// staves are drawn on. Taken from the window at one moment, so that a page
// drawn later shows the ringing that was loaded then.
struct ScoreSnapshot {
    std::array<QStringList, 3> groups;
    std::array<int, 3> counts{};
    bool simplified = false;
    QColor face;
};

ScoreSnapshot scoreSnapshot(const OutputHost& host);

// Group g (0 small, 1 middle, 2 big) of the zero-based score page, drawn at
// `size`: the same picture the score view shows for that page.
QImage scoreGroupImage(const ScoreSnapshot& score, int group, int page, QSize size);
