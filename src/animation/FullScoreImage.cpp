#include "animation/FullScoreImage.h"

#include "score/ScorePainter.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

FullScoreImage::FullScoreImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FullScoreImage::draw(const std::vector<ScorePrimitive>& grid, const std::vector<ScorePrimitive>& dots,
                          const QColor& colour, const QColor& face) {
    if (m_surface.isNull()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        m_surface = QImage(screen ? screen->size() : QSize(1920, 1200), QImage::Format_RGB32);
        m_surface.fill(face);
    }
    if (width() > m_surface.width() || height() > m_surface.height()) {
        // A window stretched over more than the screen it started on.
        m_surface = QImage(size().expandedTo(m_surface.size()), QImage::Format_RGB32);
    }
    QPainter painter(&m_surface);
    paintScorePrimitives(painter, grid, face);
    fullscore::paintDots(painter, dots, colour);
    painter.end();
    update();
}

void FullScoreImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (m_surface.isNull()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Button));
        return;
    }
    painter.drawImage(event->rect(), m_surface, event->rect());
}

namespace fullscore {

void paintDots(QPainter& painter, const std::vector<ScorePrimitive>& dots, const QColor& colour) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const ScorePrimitive& dot : dots) {
        painter.drawEllipse(QRectF(dot.box()));
    }
    painter.restore();
}

} // namespace fullscore
