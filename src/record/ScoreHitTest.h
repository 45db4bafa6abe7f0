#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where a pixel of a staff falls in the score, from the same geometry the
// score is drawn with: the column whose heads stand nearest, and the bell
// whose line (or space) lies nearest within half a row.
struct ScoreHit {
    int column = 0;   // index in the score: page * 64 + the place on the page
    int position = 0; // 1-based place of the bell in its group; 0: between the lines
};

// group: 0 small, 1 middle, 2 big; size: the staff's picture; count: the
// group's selected bells; staffTop: how far below the picture's top edge the
// staff's top line stands, staffLeft: how far right of its left edge the staff
// begins (ScoreStaffArea). Nothing for a point outside the picture or in the
// margin left of the staff.
std::optional<ScoreHit> hitScore(int group, QSize size, int page, int count, QPoint point, int staffTop = 0,
                                 int staffLeft = 0);

// The horizontal extent of columns first..last of `page` in a staff of
// `size` (clipped to the page), for marks drawn over the score; the staff
// begins `staffLeft` pixels right of the picture's left edge.
QRect columnsRect(QSize size, int page, int first, int last, int staffLeft = 0);
