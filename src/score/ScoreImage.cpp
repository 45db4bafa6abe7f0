#include "score/ScoreImage.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

ScoreImage::ScoreImage(QWidget* parent) : QWidget(parent) {
    // The surface covers every pixel: nothing behind needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScoreImage::ensureSurface(QSize logicalSize, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize present = surfaceSize();
    if (!m_surface.isNull() && m_surface.devicePixelRatio() == ratio &&
        present.width() >= logicalSize.width() && present.height() >= logicalSize.height()) {
        return;
    }
    const QSize logical = logicalSize.expandedTo(ratio == m_surface.devicePixelRatio() ? present : QSize());
    const QSize device(static_cast<int>(std::ceil(std::max(1, logical.width()) * ratio)),
                       static_cast<int>(std::ceil(std::max(1, logical.height()) * ratio)));
    QImage surface(device, QImage::Format_RGB32);
    if (surface.isNull()) {
        return; // out of memory: keep drawing on what there is
    }
    surface.setDevicePixelRatio(ratio);
    surface.fill(palette().color(QPalette::Window));
    m_surface = std::move(surface);
}

QSize ScoreImage::surfaceSize() const {
    if (m_surface.isNull()) {
        return {};
    }
    const qreal ratio = m_surface.devicePixelRatio();
    return QSize(static_cast<int>(m_surface.width() / ratio), static_cast<int>(m_surface.height() / ratio));
}

void ScoreImage::clear(const QColor& colour) {
    if (!m_surface.isNull()) {
        // Only what is shown: the surface may be many times the widget's size.
        QPainter painter(&m_surface);
        painter.fillRect(QRect(QPoint(0, 0), size()), colour);
    }
    update();
}

void ScoreImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    if (m_surface.isNull()) {
        painter.fillRect(area, palette().color(QPalette::Window));
        return;
    }
    const qreal ratio = m_surface.devicePixelRatio();
    if (ratio != devicePixelRatioF()) {
        emit pixelRatioChanged();
    }
    const QRect shown = area & QRect(QPoint(0, 0), surfaceSize());
    painter.drawImage(
        shown, m_surface,
        QRectF(shown.x() * ratio, shown.y() * ratio, shown.width() * ratio, shown.height() * ratio));
    // Beyond a surface that could not grow: the face colour.
    const QRegion rest = QRegion(area) - QRegion(shown);
    for (const QRect& r : rest) {
        painter.fillRect(r, palette().color(QPalette::Window));
    }
}
