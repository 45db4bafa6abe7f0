#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QStringList>

#include <array>

// The vertical score of the full view: one image per group, time running
// downwards, a lane per selected bell and every strike a dot on its lane
// (no stems, beams, flags or rests). Pixel coordinates only; the painter
// draws them.
namespace fullscore {

inline constexpr int kColumnsPerPage = 64;
inline constexpr int kDotRadius = 5;

// The shift of a place in the bar towards the bar's middle: (8 - p) * 0.6
// below 9, (9 - p) * 0.6 from 9 on. The dots pass the place 1..16, the
// cursor its 0-based place.
double barShiftOfPlace(int place);

struct Primitive {
    enum class Kind { Line, Dot };
    Kind kind = Kind::Line;
    // Line: from `from` to `to`, the end point excluded. Dot: a filled
    // circle in the box from - (5, 5) to from + (5, 5), right and bottom excluded.
    QPoint from;
    QPoint to;
    bool operator==(const Primitive&) const = default;
};

// Lanes and bar lines of one image of the given size for a group of `bells`
// selected bells: a lane at k/(bells + 1) of the width for k = 1..bells,
// bar lines at a quarter, half and three quarters of the height.
QList<Primitive> gridOf(QSize size, int bells);

// Image index 0 small, 1 middle, 2 big, as the groups.
struct NotesInput {
    std::array<QStringList, 3> scores; // group scores, small, middle, big
    int page = 0;
    std::array<QSize, 3> sizes;      // the images' sizes
    std::array<int, 3> bellCounts{}; // selected bells per group
};

struct Notes {
    std::array<QList<Primitive>, 3> dots;
    // A token whose position is not a digit stopped the page's dots there;
    // the dots before it stay.
    bool stopped = false;
};

// The dots of the page: per column of each group score a row, Y growing by
// (big image height - 4) / 64 per column. Only tokens of exactly two
// characters with a group letter draw; the big group's bell 1 is on the
// left lane, the middle and small groups' bell 1 on the right one.
Notes notesOf(const NotesInput& input);

} // namespace fullscore
