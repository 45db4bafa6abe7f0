#include "BellPainter.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>

namespace bellart {

namespace {

// Proportions of the profile, in lip diameters.
constexpr qreal kHeadY = 0.13;   // crown plate on top of the body
constexpr qreal kMouthY = 0.93;  // centre of the mouth ellipse
constexpr qreal kMouthRy = 0.06; // half height of the lip ellipse as seen from slightly below
constexpr qreal kPivotY = 0.24;  // where the clapper hangs inside
constexpr qreal kBallRadius = 0.055;

QRectF mouthRect(qreal inset) {
    const qreal rx = 0.5 - inset;
    const qreal ry = kMouthRy - inset * 0.35;
    return QRectF(-rx, kMouthY - ry - inset * 0.15, 2 * rx, 2 * ry);
}

QPainterPath crownPath() {
    // A single cast loop ("ear") on the crown plate.
    QPainterPath loop;
    loop.moveTo(-0.085, kHeadY + 0.01);
    loop.cubicTo(-0.095, 0.0, 0.095, 0.0, 0.085, kHeadY + 0.01);
    loop.lineTo(0.045, kHeadY + 0.01);
    loop.cubicTo(0.05, 0.05, -0.05, 0.05, -0.045, kHeadY + 0.01);
    loop.closeSubpath();
    return loop;
}

QPointF ballCentre(const Pose& pose) {
    return pose.clapperAtRim ? QPointF(0.405, kMouthY - 0.005) : QPointF(0.0, kMouthY + 0.035);
}

void setBellTransform(QPainter& p, QPointF crownTop, qreal width, const Pose& pose) {
    p.translate(crownTop);
    p.rotate(pose.swingDegrees);
    p.scale(width, width);
}

// Where the clapper can be seen: through the mouth and below the lip, never
// through the bronze in front of it.
QPainterPath clapperWindow(const QPainterPath& body) {
    QPainterPath all;
    all.addRect(QRectF(-1, -1, 2, 3));
    QPainterPath mouth;
    mouth.addEllipse(mouthRect(0.035));
    return mouth.united(all.subtracted(body));
}

void paintClapper(QPainter& p, const Pose& pose, const QPainterPath& body, const QColor& iron) {
    p.save();
    p.setClipPath(clapperWindow(body), Qt::IntersectClip);
    const QPointF ball = ballCentre(pose);
    p.setPen(QPen(iron, 0.035, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0.0, kPivotY), ball);
    QRadialGradient g(ball + QPointF(-0.02, -0.02), kBallRadius * 1.3);
    g.setColorAt(0.0, iron.lighter(230));
    g.setColorAt(1.0, iron);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(ball, kBallRadius, kBallRadius);
    p.restore();
}

} // namespace

Pose struckPose() {
    return Pose{3.5, true};
}

QPointF clapperTail(QPointF crownTop, qreal width, const Pose& pose) {
    QTransform t;
    t.translate(crownTop.x(), crownTop.y());
    t.rotate(pose.swingDegrees);
    t.scale(width, width);
    return t.map(ballCentre(pose) + QPointF(0.0, kBallRadius * 0.8));
}

qreal deviceScale(const QPainter& p) {
    const QTransform& t = p.worldTransform();
    return std::sqrt(std::abs(t.determinant()));
}

QPainterPath bodyPath() {
    // Right half from the top of the head down to the lip; the left half mirrors it.
    struct Seg {
        QPointF c1, c2, to;
    };
    const QPointF start(0.0, kHeadY - 0.015);
    const QPointF head(0.215, kHeadY);
    const Seg segs[] = {
        {{0.30, 0.133}, {0.335, 0.18}, {0.34, 0.27}}, // shoulder
        {{0.345, 0.40}, {0.35, 0.53}, {0.37, 0.62}},  // waist
        {{0.39, 0.73}, {0.47, 0.83}, {0.50, 0.895}},  // sound bow flaring to the lip
    };
    QPainterPath path;
    path.moveTo(-start.x(), start.y());
    path.quadTo(QPointF(0.12, kHeadY - 0.018), head);
    for (const Seg& s : segs) {
        path.cubicTo(s.c1, s.c2, s.to);
    }
    path.lineTo(0.50, kMouthY);
    path.arcTo(QRectF(-0.5, kMouthY - kMouthRy, 1.0, 2 * kMouthRy), 0, -180);
    path.lineTo(-0.50, 0.895);
    for (int i = 2; i >= 0; --i) {
        const Seg& s = segs[i];
        const QPointF from = i == 0 ? head : segs[i - 1].to;
        path.cubicTo(QPointF(-s.c2.x(), s.c2.y()), QPointF(-s.c1.x(), s.c1.y()),
                     QPointF(-from.x(), from.y()));
    }
    path.quadTo(QPointF(-0.12, kHeadY - 0.018), QPointF(0.0, kHeadY - 0.015));
    path.closeSubpath();
    return path;
}

void paintBronzeBell(QPainter& p, QPointF crownTop, qreal width, const Pose& pose) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal pixelsPerWidth = deviceScale(p) * width;
    setBellTransform(p, crownTop, width, pose);
    const qreal px = 1.0 / pixelsPerWidth; // one device pixel in bell units

    const QColor dark(58, 33, 12);
    const QColor iron(40, 38, 36);

    // Crown loop.
    QLinearGradient crownShade(-0.1, 0, 0.1, 0);
    crownShade.setColorAt(0.0, QColor(92, 58, 24));
    crownShade.setColorAt(0.45, QColor(214, 164, 92));
    crownShade.setColorAt(1.0, QColor(84, 52, 20));
    p.setPen(QPen(dark, std::max(px * 0.6, 0.008)));
    p.setBrush(crownShade);
    p.drawPath(crownPath());

    const QPainterPath body = bodyPath();

    // Body: a bronze cylinder lit from the upper left.
    QLinearGradient shade(-0.5, 0, 0.5, 0);
    shade.setColorAt(0.00, QColor(70, 40, 14));
    shade.setColorAt(0.14, QColor(140, 88, 36));
    shade.setColorAt(0.30, QColor(214, 160, 84));
    shade.setColorAt(0.38, QColor(250, 214, 140));
    shade.setColorAt(0.48, QColor(204, 148, 70));
    shade.setColorAt(0.72, QColor(150, 96, 40));
    shade.setColorAt(0.90, QColor(96, 58, 22));
    shade.setColorAt(1.00, QColor(60, 34, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawPath(body);

    // The shoulder turns away from the light: darken the top of the body.
    QLinearGradient top(0, kHeadY, 0, 0.42);
    top.setColorAt(0.0, QColor(40, 20, 4, 120));
    top.setColorAt(1.0, QColor(40, 20, 4, 0));
    p.setBrush(top);
    p.drawPath(body);

    // Cast bands round the shoulder and above the sound bow.
    p.save();
    p.setClipPath(body);
    const qreal band = std::max(px, 0.012);
    for (const qreal y : {0.30, 0.335, 0.78}) {
        p.setPen(QPen(QColor(70, 40, 14, 200), band));
        p.drawLine(QPointF(-0.6, y), QPointF(0.6, y + 0.0));
        p.setPen(QPen(QColor(255, 226, 160, 110), band * 0.8));
        p.drawLine(QPointF(-0.6, y + band * 1.1), QPointF(0.6, y + band * 1.1));
    }
    if (pixelsPerWidth >= 36) {
        // A row of raised dots between the shoulder bands: only where it can be seen.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 230, 170, 130));
        for (qreal x = -0.3; x <= 0.301; x += 0.06) {
            p.drawEllipse(QPointF(x, 0.3175), 0.009, 0.009);
        }
    }
    p.restore();

    // Outline.
    p.setPen(QPen(QColor(52, 28, 8, 210), std::max(px * 0.8, 0.01)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    // The inside of the bell, seen through the mouth.
    QRadialGradient inside(QPointF(0, kMouthY - 0.02), 0.5);
    inside.setColorAt(0.0, QColor(26, 14, 4));
    inside.setColorAt(1.0, QColor(70, 40, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(inside);
    p.drawEllipse(mouthRect(0.035));

    paintClapper(p, pose, body, iron);

    // Light catching the front of the lip.
    p.setPen(QPen(QColor(255, 220, 150, 150), std::max(px, 0.014)));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-0.47, kMouthY - kMouthRy + 0.004, 0.94, 2 * kMouthRy), -118 * 16, -44 * 16);
    p.restore();
}

void paintStrikeAccent(QPainter& p, QPointF crownTop, qreal width, const Pose& pose, const QColor& colour,
                       int waves) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal px = 1.0 / (deviceScale(p) * width);
    setBellTransform(p, crownTop, width, pose);

    // Flash where the clapper meets the rim.
    const QPointF hit = ballCentre(pose) + QPointF(kBallRadius * 0.8, 0.0);
    QRadialGradient flash(hit, 0.16);
    flash.setColorAt(0.0, QColor(255, 250, 220, 235));
    flash.setColorAt(0.35, QColor(colour.red(), colour.green(), colour.blue(), 150));
    flash.setColorAt(1.0, QColor(colour.red(), colour.green(), colour.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(flash);
    p.drawEllipse(hit, 0.16, 0.16);
    p.restore();

    // Sound waves below the mouth, drawn upright whatever the tilt.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(crownTop);
    p.scale(width, width);
    const QPointF centre(0.0, kMouthY + 0.02);
    for (int i = 0; i < waves; ++i) {
        const qreal r = 0.26 + 0.15 * i;
        QColor c = colour;
        c.setAlpha(230 - 55 * i);
        p.setPen(QPen(c, std::max(px * 1.1, 0.045 - 0.006 * i), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 235 * 16, 70 * 16);
    }
    p.restore();
}

void paintSchematicBell(QPainter& p, QPointF crownTop, qreal width, const Pose& pose,
                        const SchematicColours& colours) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal px = 1.0 / (deviceScale(p) * width);
    setBellTransform(p, crownTop, width, pose);
    const qreal line = std::max(px * 1.0, 0.04);

    p.setPen(QPen(colours.outline, line));
    p.setBrush(colours.fill);
    p.drawPath(crownPath());
    const QPainterPath body = bodyPath();
    p.drawPath(body);
    if (px < 0.03) {
        // The rim ellipse only where there is room for it.
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(mouthRect(0.0));
    }

    // Clapper: a line and a dot.
    const QPointF ball = ballCentre(pose);
    p.save();
    p.setClipPath(clapperWindow(body), Qt::IntersectClip);
    p.setPen(QPen(colours.clapper, line, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0.0, kPivotY), ball);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(colours.clapper);
    p.drawEllipse(ball, kBallRadius * 1.15, kBallRadius * 1.15);
    p.restore();
}

} // namespace bellart
