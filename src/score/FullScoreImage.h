#pragma once

#include "score/FullScoreLayout.h"

#include <QColor>
#include <QImage>
#include <QWidget>

// One group's image of the full view's vertical score: a drawing surface
// of the screen's size, allocated once, on which a page is drawn when it
// changes; between pages it is only shown.
class FullScoreImage : public QWidget {
    Q_OBJECT
public:
    explicit FullScoreImage(QWidget* parent);

    // Clears the part the widget shows to `background`, then draws the
    // lines in black and the dots in `colour`.
    void draw(const QList<fullscore::Primitive>& lines, const QList<fullscore::Primitive>& dots,
              const QColor& colour, const QColor& background);
    const QImage& surface() const { return m_surface; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_surface;
};

namespace fullscore {

// Draws the primitives on `image` (lines 1 pixel black, end point excluded;
// dots filled circles in `colour`).
void paint(QImage& image, const QList<Primitive>& lines, const QList<Primitive>& dots, const QColor& colour);

} // namespace fullscore
