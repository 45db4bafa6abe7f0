#pragma once

#include <QColor>
#include <QFrame>

// A cursor bar over a score picture. Solid, it is the usual opaque bar;
// see-through (the readable view) it draws only an outline in its colour,
// over a faint tint of it when `tintAlpha` > 0, so that the heads under it
// stay visible, and lets clicks through to the picture.
class ScoreCursorBar : public QFrame {
    Q_OBJECT
public:
    explicit ScoreCursorBar(const QColor& colour, QWidget* parent = nullptr);

    void setSeeThrough(bool seeThrough, int tintAlpha = 0);
    bool seeThrough() const { return m_seeThrough; }

    // Width of the see-through outline.
    static constexpr int kOutline = 2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour;
    bool m_seeThrough = false;
    int m_tintAlpha = 0;
};
