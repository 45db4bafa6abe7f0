#pragma once

#include "score/ScoreLayout.h"

#include <QRect>
#include <QString>
#include <Qt>

#include <vector>

// The readable view of the score ("Крупные ноты"), for a learner who reads
// the score while it plays: the same places as the usual drawing (columns,
// rows, stems and the cursor stay where they are), with
//   - heads scaled with the staff space: about 0.45 of a row high, never
//     smaller than the usual 6 x 4, never wider than half a column (0.7 in
//     the window's staves),
//     hollow heads with a heavier outline;
//   - both beams of the same weight;
//   - eighth and sixteenth rests at one fixed height in the staff's middle
//     instead of following the first head of their beat;
//   - each line of a bell labelled at the left edge with the bell's key,
//     bar numbers at the top of the small bells' staff and "стр. p из N"
//     in the lower right corner of the big bells' staff.

struct ReadableMetrics {
    int headWidth = 6;
    int headHeight = 4;
    int hollowOutline = 1;
    int beamWidth = 2; // both beams
    int restTop = 0;   // eighth and sixteenth rests, fixed on the staff
    int restBottom = 0;
    int labelPixels = 0;  // font size of the line labels
    int numberPixels = 0; // font size of the bar numbers and the page
};

// The metrics of one group's staff of `size`. `wideHeads`: the window's
// staves with the labels' margin (ScorePage::keyMargin), read at arm's
// length, let the heads grow to 0.7 of a column instead of half of one, a
// few pixels still between the heads of neighbouring sixteenths.
ReadableMetrics readableMetrics(int group, QSize size, bool wideHeads = false);

// The window's margin for the line labels, left of a staff in a picture
// `pictureWidth` wide (ScorePage::keyMargin): the same for the three staves,
// which are equally wide, so their bars and cursors stay one above the other.
int readableKeyMargin(int pictureWidth);
// The smallest font size of the labels in that margin: a capital about
// 11 pixels high, to be read at arm's length.
inline constexpr int kMarginLabelPixels = 16;
// The font size of the labels in that margin for a staff of `staff` (its own
// size, the margin left out): growing with the staff's rows, never below
// kMarginLabelPixels where the rows have room for it, never wider than the margin.
int readableMarginLabelPixels(int group, QSize staff, int margin);

// A text of the readable view, drawn inside its box with its alignment.
struct ScoreText {
    QRect box;
    QString text;
    int pixelSize = 0;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    ScoreColourRole colour = ScoreColourRole::Staff;
    bool bold = false;
    bool operator==(const ScoreText&) const = default;
};

// The line labels of one group's staff, which go with its grid (nothing
// when the page is not readable or the size is empty).
std::vector<ScoreText> layoutReadableLabels(int group, QSize size, const ScorePage& page);
// The bar numbers and the page, which go with the notation.
std::vector<ScoreText> layoutReadableMarks(int group, QSize size, const ScorePage& page);
// Both, labels first.
std::vector<ScoreText> layoutReadableTexts(int group, QSize size, const ScorePage& page);

// Pages of the score: the longest group score in whole pages, 0 for an
// empty score.
int scorePageCount(const ScorePage& page);

// The label of a key by its virtual-key code as the bell catalogue stores
// it: a letter or digit as printed on the key ("Num 1" for the numeric
// pad), "" for a code that has no short name.
QString readableKeyLabel(int virtualKey);
