#include "FrameSets.h"

#include <cmath>

namespace frames {

const QVector<SetInfo>& sets() {
    static const QVector<SetInfo> all = {
        {QStringLiteral("s"), 7},
        {QStringLiteral("m"), 7},
        {QStringLiteral("b"), 7},
        {QStringLiteral("3s"), 3},
    };
    return all;
}

QString fileName(const QString& setKey, int frame, Style style) {
    const QString prefix = style == Style::Schematic ? QStringLiteral("l") : QString();
    return prefix + setKey + QLatin1Char('_') + QString::number(frame) + QStringLiteral(".bmp");
}

namespace {

struct SetShape {
    int count;
    qreal firstWidth; // the largest bell
    qreal ratio;      // each next bell's width to the one before
    qreal gap;        // free space between neighbouring bells
};

SetShape shapeOf(const QString& key) {
    // Big bells fall off steeply in size, small bells are more alike; the
    // small-three set has room to draw its bells larger.
    if (key == QLatin1String("b")) {
        return {7, 25.0, 0.84, 2.2};
    }
    if (key == QLatin1String("m")) {
        return {7, 21.0, 0.89, 2.4};
    }
    if (key == QLatin1String("3s")) {
        return {3, 30.0, 0.87, 10.0};
    }
    return {7, 19.0, 0.915, 2.6};
}

} // namespace

QVector<BellPlace> layout(const QString& setKey) {
    const SetShape shape = shapeOf(setKey);
    QVector<qreal> widths;
    qreal total = 0;
    qreal w = shape.firstWidth;
    for (int i = 0; i < shape.count; ++i) {
        widths.append(w);
        total += w;
        w *= shape.ratio;
    }
    total += shape.gap * (shape.count - 1);
    qreal x = (kCanvasWidth - total) / 2;
    const qreal crownTop = kBeamBottom + 2.0;

    QVector<BellPlace> places;
    for (int i = 0; i < shape.count; ++i) {
        BellPlace p;
        p.width = widths.at(i);
        p.centreX = x + p.width / 2;
        p.crownTop = crownTop;
        const qreal left = i == 0 ? 0.0 : x - shape.gap / 2;
        const qreal right = i == shape.count - 1 ? kCanvasWidth : x + p.width + shape.gap / 2;
        p.slot = QRectF(QPointF(left, kBeamBottom), QPointF(right, kCanvasHeight));
        places.append(p);
        x += p.width + shape.gap;
    }
    return places;
}

QRectF CanvasMapping::toPixels(const QRectF& r) const {
    return QRectF(r.x() * scale + dx, r.y() * scale + dy, r.width() * scale, r.height() * scale);
}

CanvasMapping mappingFor(QSize pixels) {
    CanvasMapping m;
    m.scale = std::min(pixels.width() / kCanvasWidth, pixels.height() / kCanvasHeight);
    m.dx = (pixels.width() - kCanvasWidth * m.scale) / 2;
    m.dy = (pixels.height() - kCanvasHeight * m.scale) / 2;
    return m;
}

} // namespace frames
