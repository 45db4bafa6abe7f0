#pragma once

#include <QImage>
#include <QWidget>

// One staff's picture: a drawing surface allocated once, large enough for the
// whole work area at the screen's pixel ratio, of which the widget shows its
// own size. Resizing the widget never reallocates; drawing goes to the
// surface and appears at the next repaint.
class ScoreImage : public QWidget {
    Q_OBJECT
public:
    explicit ScoreImage(QWidget* parent = nullptr);

    // Allocates the surface for `logicalSize` at `devicePixelRatio`; keeps the
    // present one when it is already that large at that ratio.
    void ensureSurface(QSize logicalSize, qreal devicePixelRatio);
    QImage& surface() { return m_surface; }
    const QImage& surface() const { return m_surface; }
    // The logical size the surface can hold.
    QSize surfaceSize() const;

    // Fills the part of the surface that the widget shows with one colour.
    void clear(const QColor& colour);

signals:
    // The widget now lies on a screen of another pixel ratio than its
    // surface's (the window moved): the page wants drawing again.
    void pixelRatioChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_surface;
};
