#pragma once

#include "score/ScoreLayout.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <vector>

// One group's image of the full view's vertical score: a drawing surface
// of the screen's size, allocated at the first drawing (the full view may
// never be entered), on which a page is drawn when it changes; between
// pages it is only shown.
class FullScoreImage : public QWidget {
    Q_OBJECT
public:
    explicit FullScoreImage(QWidget* parent);

    // Draws the grid (face, lanes and bar lines) and the dots in `colour`
    // on the part of the surface the widget shows.
    void draw(const std::vector<ScorePrimitive>& grid, const std::vector<ScorePrimitive>& dots,
              const QColor& colour, const QColor& face);
    // Null until the first drawing.
    const QImage& surface() const { return m_surface; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_surface;
};

namespace fullscore {

// The dots of one group: filled circles in their boxes, right and bottom
// edges excluded, in the group's colour.
void paintDots(QPainter& painter, const std::vector<ScorePrimitive>& dots, const QColor& colour);

} // namespace fullscore
