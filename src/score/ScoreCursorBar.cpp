#include "score/ScoreCursorBar.h"

#include <QPainter>

ScoreCursorBar::ScoreCursorBar(const QColor& colour, QWidget* parent) : QFrame(parent), m_colour(colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Light, colour.lighter(170));
    palette.setColor(QPalette::Dark, colour.darker(170));
    setPalette(palette);
    setAutoFillBackground(true);
}

void ScoreCursorBar::setSeeThrough(bool seeThrough, int tintAlpha) {
    m_seeThrough = seeThrough;
    m_tintAlpha = std::clamp(tintAlpha, 0, 255);
    setAutoFillBackground(!seeThrough);
    setAttribute(Qt::WA_TransparentForMouseEvents, seeThrough);
    update();
}

void ScoreCursorBar::paintEvent(QPaintEvent* event) {
    if (!m_seeThrough) {
        QFrame::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QRect area = rect();
    if (m_tintAlpha > 0) {
        QColor tint = m_colour;
        tint.setAlpha(m_tintAlpha);
        painter.fillRect(area.adjusted(kOutline, kOutline, -kOutline, -kOutline), tint);
    }
    // The four sides as filled strips: exact at any pixel ratio.
    const int w = std::min(kOutline, area.width());
    const int h = std::min(kOutline, area.height());
    painter.fillRect(QRect(area.left(), area.top(), area.width(), h), m_colour);
    painter.fillRect(QRect(area.left(), area.bottom() - h + 1, area.width(), h), m_colour);
    painter.fillRect(QRect(area.left(), area.top(), w, area.height()), m_colour);
    painter.fillRect(QRect(area.right() - w + 1, area.top(), w, area.height()), m_colour);
}
