#include "score/FullScoreImage.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

FullScoreImage::FullScoreImage(QWidget* parent) : QWidget(parent) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1920, 1200);
    m_surface = QImage(size, QImage::Format_RGB32);
    m_surface.fill(palette().color(QPalette::Button));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FullScoreImage::draw(const QList<fullscore::Primitive>& lines, const QList<fullscore::Primitive>& dots,
                          const QColor& colour, const QColor& background) {
    if (width() > m_surface.width() || height() > m_surface.height()) {
        // A window stretched over more than the screen it started on.
        m_surface = QImage(size().expandedTo(m_surface.size()), QImage::Format_RGB32);
    }
    QPainter(&m_surface).fillRect(QRect(QPoint(0, 0), size()), background);
    fullscore::paint(m_surface, lines, dots, colour);
    update();
}

void FullScoreImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), m_surface, event->rect());
}

namespace fullscore {

void paint(QImage& image, const QList<Primitive>& lines, const QList<Primitive>& dots, const QColor& colour) {
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 0));
    for (const Primitive& line : lines) {
        // The end point is not part of the line.
        const QPoint step((line.to.x() > line.from.x()) - (line.to.x() < line.from.x()),
                          (line.to.y() > line.from.y()) - (line.to.y() < line.from.y()));
        painter.drawLine(line.from, line.to - step);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const Primitive& dot : dots) {
        painter.drawEllipse(
            QRectF(dot.from.x() - kDotRadius, dot.from.y() - kDotRadius, 2 * kDotRadius, 2 * kDotRadius));
    }
}

} // namespace fullscore
