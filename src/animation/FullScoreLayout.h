#pragma once

#include "score/ScoreLayout.h"

#include <QRect>
#include <QSize>
#include <QStringList>

#include <array>
#include <vector>

// The vertical score of the full view: one image per group, time running
// downwards, a lane per selected bell and every strike a dot on its lane
// (no stems, beams, flags or rests). The same primitives as the staves;
// the staff colour draws the lanes, the ink the dots, in the group's colour.
namespace fullscore {

inline constexpr int kDotRadius = 5;

// The face, then lanes at k/(bells + 1) of the width for k = 1..bells from
// y 2 to H - 4, and bar lines at a quarter, half and three quarters of the
// height from x 2 to W - 4.
std::vector<ScorePrimitive> gridOf(QSize size, int bells);

// Image index 0 small, 1 middle, 2 big, as the groups.
struct NotesInput {
    std::array<QStringList, 3> scores; // group scores, small, middle, big
    int page = 0;
    std::array<QSize, 3> sizes;      // the images' sizes
    std::array<int, 3> bellCounts{}; // selected bells per group
};

struct Notes {
    std::array<std::vector<ScorePrimitive>, 3> dots;
    // A token whose position is not a digit stopped the page's dots there;
    // the dots before it stay.
    bool stopped = false;
};

// The dots of the page: per column of each group score a row, Y growing by
// (big image height - 4) / kPageColumns per column. Only tokens of exactly two
// characters with a group letter and a position of the group (1..bells)
// draw; the big group's bell 1 is on the left lane, the middle and small groups' bell 1 on the right one.
Notes notesOf(const NotesInput& input);

// The centre y of the dots of current column `column` in images `height`
// high, as notesOf places them (a column of a later page counts from its
// page's start; -1 stands one column above the page).
int dotCentreY(int column, int height);
// The readable view's cursor bar for current column `column`: a frame
// around the row of its dots, its outline of `outline` pixels one pixel
// clear of them, so the dot just struck stays in sight. Its x and width
// are the usual bar's, 2 .. width - 2 of a column `width` wide.
QRect readableCursorBox(int column, QSize size, int outline);

} // namespace fullscore
