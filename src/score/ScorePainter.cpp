#include "score/ScorePainter.h"

#include "score/ReadableScore.h"

#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <QTransform>

#include <cmath>

namespace {

const QColor& colourOf(ScoreColourRole role, const QColor& face) {
    switch (role) {
    case ScoreColourRole::Staff:
        return kScoreStaffColour;
    case ScoreColourRole::Ink:
        return kScoreInkColour;
    default:
        return face;
    }
}

// Horizontal and vertical lines are filled as rectangles, which is exact at
// any scale: a pen of width w covers the w pixels from x - w / 2, and the
// line runs from its start up to, not including, its end.
void fillStraightLine(QPainter& painter, const ScorePrimitive& line, const QColor& colour) {
    const int w = std::max(1, line.penWidth);
    const int before = w / 2;
    if (line.a.x() == line.b.x()) {
        const int top = std::min(line.a.y(), line.b.y() + 1);
        const int bottom = std::max(line.a.y() + 1, line.b.y());
        painter.fillRect(QRect(line.a.x() - before, top, w, bottom - top), colour);
    } else {
        const int left = std::min(line.a.x(), line.b.x() + 1);
        const int right = std::max(line.a.x() + 1, line.b.x());
        painter.fillRect(QRect(left, line.a.y() - before, right - left, w), colour);
    }
}

// A slanted line through the centres of its pixels; the flat cap, pulled
// back half a pixel at both ends, leaves out the end point.
void drawSlantedLine(QPainter& painter, const ScorePrimitive& line, const QColor& colour) {
    const int w = std::max(1, line.penWidth);
    const double offset = w % 2 == 1 ? 0.5 : 0.0;
    const QPointF a(line.a.x() + offset, line.a.y() + offset);
    const QPointF b(line.b.x() + offset, line.b.y() + offset);
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF half = d * (0.5 / length);
    QPen pen(colour, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawLine(QLineF(a - half, b - half));
}

// Fills the pixels of the target whose centres lie inside the ellipse of
// `box`, row by row in the target's own pixels: exact at scale 1, and on a
// scaled surface (HiDPI) just as sharp at its finer grid. A rotated painter
// falls back to the painter's own ellipse.
void fillEllipse(QPainter& painter, const QRect& box, const QColor& colour) {
    if (box.width() <= 0 || box.height() <= 0) {
        return;
    }
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(box));
        return;
    }
    const QRectF device = t.mapRect(QRectF(box));
    const double cx = device.center().x();
    const double cy = device.center().y();
    const double rx = device.width() / 2;
    const double ry = device.height() / 2;
    const QTransform back = t.inverted();
    const int firstRow = static_cast<int>(std::floor(device.top()));
    const int lastRow = static_cast<int>(std::ceil(device.bottom()));
    for (int row = firstRow; row < lastRow; ++row) {
        const double dy = (row + 0.5 - cy) / ry;
        if (dy * dy >= 1) {
            continue;
        }
        const double half = rx * std::sqrt(1 - dy * dy);
        const int left = static_cast<int>(std::ceil(cx - half - 0.5));
        const int right = static_cast<int>(std::floor(cx + half - 0.5));
        if (right < left) {
            continue;
        }
        painter.fillRect(back.mapRect(QRectF(left, row, right - left + 1, 1)), colour);
    }
}

void drawPrimitive(QPainter& painter, const ScorePrimitive& p, const QColor& colour, const QColor& face) {
    switch (p.kind) {
    case ScorePrimitiveKind::Line:
        if (p.a == p.b) {
            return; // a line to its own start draws nothing
        }
        if (p.a.x() == p.b.x() || p.a.y() == p.b.y()) {
            fillStraightLine(painter, p, colour);
        } else {
            drawSlantedLine(painter, p, colour);
        }
        return;
    case ScorePrimitiveKind::FilledRect:
        painter.fillRect(p.box(), colour);
        return;
    case ScorePrimitiveKind::FilledEllipse:
    case ScorePrimitiveKind::HollowEllipse: {
        const QRect box = p.box();
        fillEllipse(painter, box, colour);
        const int outline = std::max(1, p.penWidth);
        if (p.kind == ScorePrimitiveKind::HollowEllipse && box.width() > 2 * outline &&
            box.height() > 2 * outline) {
            // The outline is penWidth pixels wide: the inside takes the face colour.
            fillEllipse(painter, box.adjusted(outline, outline, -outline, -outline), face);
        }
        return;
    }
    }
}

} // namespace

void paintScorePrimitives(QPainter& painter, const std::vector<ScorePrimitive>& primitives,
                          const QColor& face) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const ScorePrimitive& p : primitives) {
        drawPrimitive(painter, p, colourOf(p.colour, face), face);
    }
    painter.restore();
}

void paintScoreTexts(QPainter& painter, const std::vector<ScoreText>& texts, const QColor& face,
                     const QFont& font) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const ScoreText& text : texts) {
        QFont sized = font;
        sized.setPixelSize(std::max(1, text.pixelSize));
        sized.setBold(text.bold);
        painter.setFont(sized);
        painter.setPen(colourOf(text.colour, face));
        painter.drawText(text.box, static_cast<int>(text.align) | Qt::TextSingleLine, text.text);
    }
    painter.restore();
}

void paintScoreGroup(QPainter& painter, int group, QSize size, const ScorePage& page, const QColor& face) {
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), size), Qt::IntersectClip);
    paintScorePrimitives(painter, layoutScoreGroup(group, size, page), face);
    paintScoreTexts(painter, layoutReadableTexts(group, size, page), face, QFont());
    painter.restore();
}

QImage renderScoreGroup(int group, QSize size, const ScorePage& page, const QColor& face,
                        qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize device(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    QImage image(device.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(ratio);
    image.fill(face);
    QPainter painter(&image);
    paintScoreGroup(painter, group, size, page, face);
    return image;
}
