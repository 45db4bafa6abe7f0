#pragma once

#include "base/ScorePages.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The score of one page as rhythmic notation, as plain geometry: what every
// picture of the score (the three staves of the window, the full view,
// printing, the HTML export, the lessons' excerpts) draws, at any size.
//
// A column of a ringing is a sixteenth; four columns make a beat, sixteen a
// bar, a page shows 64 columns. Group 0 is the small bells (5 staff rows),
// 1 the middle (11 rows), 2 the big (8 rows).

inline constexpr int kScoreGroupCount = 3;
inline constexpr int kScorePageColumns = kPageColumns;
inline constexpr int kScoreBarColumns = 16;
inline constexpr int kScoreBeatColumns = 4;

// What one page of the score shows.
struct ScorePage {
    // The column texts of the small, middle and big group scores: strike
    // tokens separated by ",", the empty text where the group is silent.
    std::array<QStringList, 3> groups;
    // 0-based; page p shows columns 64 p .. 64 p + 63.
    int page = 0;
    // Selected bells in the small, middle and big groups.
    std::array<int, 3> counts{};
    // The simplified view: only the staff rows that carry the group's bells.
    bool simplified = false;
    // The readable view (score/ReadableScore.h): heads scaled with the
    // staff, even beams, rests at fixed heights, lines labelled with their
    // bells' keys, bar numbers and the page. Off, the page is drawn exactly
    // as it always was.
    bool readable = false;
    // The readable view's line labels: the key of each position's bell
    // (index position - 1) in the small, middle and big groups; "" for none.
    std::array<QStringList, 3> keyLabels;
    // The window's staves: the staff stands low enough in its picture that
    // heads on its top line, their stems and beams stay inside the picture.
    // Off, the staff fills the picture from its top edge, as printed.
    bool roomAbove = false;
    // The window's staves in the readable view: the line labels stand in a
    // margin left of the staff (readableKeyMargin), the staff narrowed to
    // make room. Without the readable view, or off (printing, the export),
    // the staff starts at the picture's left edge.
    bool keyMargin = false;
};

enum class ScorePrimitiveKind {
    Line,          // from `a` to `b`, the end point `b` not drawn
    FilledEllipse, // in the box `a` (inclusive) .. `b` (exclusive)
    HollowEllipse, // outline in the colour, inside filled with the face colour
    FilledRect,    // the box `a` (inclusive) .. `b` (exclusive)
};

enum class ScoreColourRole {
    Staff, // black: staff and bar lines
    Ink,   // maroon: heads, stems, beams, flags, dots, rests
    Face,  // the window's face colour: the background
};

struct ScorePrimitive {
    ScorePrimitiveKind kind = ScorePrimitiveKind::Line;
    QPoint a;
    QPoint b;
    int penWidth = 1;
    ScoreColourRole colour = ScoreColourRole::Ink;

    // The box of an ellipse or rectangle (right and bottom edges excluded).
    QRect box() const { return QRect(a, QSize(b.x() - a.x(), b.y() - a.y())); }
    bool operator==(const ScorePrimitive&) const = default;
};

// A note head of the page, for marks drawn over it.
struct ScoreHead {
    int column = 0; // index in the group score
    int x = 0;      // centre of the head
    int y = 0;
    bool hollow = false; // a half or whole note
    QString token;
    bool operator==(const ScoreHead&) const = default;
};

// Staff rows of group 0, 1, 2 (5, 11, 8).
int scoreStaffRows(int group);
// The factor of stem length, beam spacing and flag step of a group.
double scoreStemFactor(int group);
// The shift of column `column` (an index in the score) towards the middle of
// its bar: 4.2 pixels at a bar's first column down to -4.2 at its last.
double scoreBarShift(int column);
// The shift of the 1-based place `place` in its bar: the one formula behind
// scoreBarShift and the cursor's shift.
double barShiftOfPlace(int place);
// The staff row of strike position `digit` in a group of `count` bells
// (may lie outside the staff for a position the group does not have).
int scoreStaffRow(int group, int digit, int count);
// True when position `digit` names one of the group's `count` bells and its
// row lies on the group's staff. Any other position has no place to be drawn:
// its token draws nothing in any picture of the score.
bool scorePositionOnStaff(int group, int digit, int count);

// The part of a picture of `size` that the staff of a group takes: all of
// it, or with room above it kept free for the stems (ScorePage::roomAbove)
// and a margin left of it for the line labels (ScorePage::keyMargin).
// Everything of the layout below, the hit test and the cursor bars use this one area.
struct ScoreStaffArea {
    QSize size;   // the staff's own width and height
    int top = 0;  // its top line's distance from the picture's top edge
    int left = 0; // its left edge's distance from the picture's left edge
};
ScoreStaffArea scoreStaffArea(int group, QSize size, const ScorePage& page);

// The grid and the page of one group (0..2) for an image of `size`, in
// drawing order; the first primitive fills the image with the face colour.
// Malformed tokens and columns, and positions off the group's staff, draw
// nothing; a page beyond the end of the score gives only the grid. An empty size gives nothing.
std::vector<ScorePrimitive> layoutScoreGroup(int group, QSize size, const ScorePage& page);
// Only the grid (background, bar and staff lines) of one group.
std::vector<ScorePrimitive> layoutScoreGrid(int group, QSize size, const ScorePage& page);
// Only the notation of the page (heads, stems, beams, flags, dots, rests).
std::vector<ScorePrimitive> layoutScorePage(int group, QSize size, const ScorePage& page);
// The heads of the page in one group, with their pixel centres, in the order
// they are drawn.
std::vector<ScoreHead> scoreHeads(int group, QSize size, const ScorePage& page);

// The left edge of the cursor bars of the usual view for current column
// `column` (-1 stands one column left of the page), the staves being
// `staffWidth` pixels wide.
int scoreCursorLeft(int column, int staffWidth);
// The same in a picture whose staff stands at `area`: never in the margin
// of the line labels.
int scoreCursorLeft(int column, const ScoreStaffArea& area);
// The top of the full view's cursor bars, its lanes `laneHeight` high.
int fullScoreCursorTop(int column, int laneHeight);
// The size of a cursor bar in a staff of client size `staff`.
QSize scoreCursorSize(QSize staff);
