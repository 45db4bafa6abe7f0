#pragma once

#include "score/ScoreLayout.h"

#include <QColor>
#include <QImage>

class QFont;
class QPainter;
struct ScoreText;

// Staff lines black, the notation maroon, the background the window's face.
inline const QColor kScoreStaffColour(0, 0, 0);
inline const QColor kScoreInkColour(128, 0, 0);

// Draws primitives at logical pixel coordinates: a line leaves out its end
// point, a box leaves out its right and bottom edges. The painter's
// transform may scale (a HiDPI surface, a printer page); at scale 1 every
// primitive lands on whole pixels.
void paintScorePrimitives(QPainter& painter, const std::vector<ScorePrimitive>& primitives,
                          const QColor& face);

// Draws the readable view's texts in `font` at each text's own size.
void paintScoreTexts(QPainter& painter, const std::vector<ScoreText>& texts, const QColor& face,
                     const QFont& font);

// Draws the grid and page of one group into the rectangle (0, 0, size).
void paintScoreGroup(QPainter& painter, int group, QSize size, const ScorePage& page, const QColor& face);

// The grid and page of one group as a new image of `size` logical pixels,
// `devicePixelRatio` device pixels each.
QImage renderScoreGroup(int group, QSize size, const ScorePage& page, const QColor& face,
                        qreal devicePixelRatio = 1.0);
