#include "FramePainter.h"

#include "BellPainter.h"
#include "Fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace frames {

namespace {

const QColor kAccent(232, 89, 12); // the struck bell of the diagram
const QColor kInk(47, 62, 78);     // lines and numbers of the diagram
const QColor kWave(236, 120, 0);   // sound waves of the drawn bells

void paintSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kCanvasHeight);
    sky.setColorAt(0.0, QColor(196, 220, 240));
    sky.setColorAt(0.65, QColor(232, 238, 238));
    sky.setColorAt(1.0, QColor(246, 236, 212));
    p.fillRect(QRectF(-5, -5, kCanvasWidth + 10, kCanvasHeight + 10), sky);
}

void paintWoodBeam(QPainter& p) {
    const QRectF beam(-5, kBeamTop, kCanvasWidth + 10, kBeamBottom - kBeamTop);
    QLinearGradient wood(0, beam.top(), 0, beam.bottom());
    wood.setColorAt(0.0, QColor(150, 100, 56));
    wood.setColorAt(0.35, QColor(118, 76, 38));
    wood.setColorAt(1.0, QColor(62, 38, 16));
    p.fillRect(beam, wood);
    p.fillRect(QRectF(-5, -5, kCanvasWidth + 10, kBeamTop + 5), QColor(90, 60, 30));
    if (bellart::deviceScale(p) >= 2.0) {
        // Grain, visible only where the beam is drawn large.
        p.setPen(QPen(QColor(70, 42, 18, 90), 0.25));
        for (const qreal y : {2.6, 4.1, 5.3}) {
            p.drawLine(QPointF(0, y), QPointF(kCanvasWidth, y + 0.2));
        }
    }
    p.setPen(QPen(QColor(40, 24, 8), 0.5));
    p.drawLine(QPointF(-5, kBeamBottom), QPointF(kCanvasWidth + 5, kBeamBottom));
}

void paintHanger(QPainter& p, const BellPlace& b, const QColor& colour, qreal thickness) {
    p.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(b.centreX, kBeamBottom - 0.5), QPointF(b.centreX, b.crownTop + b.width * 0.04));
}

void paintRope(QPainter& p, const BellPlace& b, const bellart::Pose& pose, const QColor& colour,
               qreal thickness) {
    const QPointF from = bellart::clapperTail(QPointF(b.centreX, b.crownTop), b.width, pose);
    p.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, QPointF(b.centreX, kRailTop + 0.5));
}

void paintRail(QPainter& p) {
    const QRectF rail(-5, kRailTop, kCanvasWidth + 10, 3.2);
    QLinearGradient wood(0, rail.top(), 0, rail.bottom());
    wood.setColorAt(0.0, QColor(150, 100, 56));
    wood.setColorAt(1.0, QColor(78, 48, 20));
    p.fillRect(rail, wood);
}

void paintGeneral(QPainter& p, const QVector<BellPlace>& bells, int struck) {
    paintSky(p);
    paintWoodBeam(p);
    paintRail(p);
    for (int i = 0; i < bells.size(); ++i) {
        const BellPlace& b = bells.at(i);
        const bool isStruck = i + 1 == struck;
        p.save();
        p.setClipRect(b.slot);
        // An iron strap holds each bell's crown loop to the beam; a rope runs
        // from its clapper down to the ringer's rail.
        paintHanger(p, b, QColor(48, 44, 40), std::max(0.9, b.width * 0.07));
        const bellart::Pose pose = isStruck ? bellart::struckPose() : bellart::Pose{};
        paintRope(p, b, pose, isStruck ? QColor(96, 66, 36) : QColor(150, 126, 92), 0.7);
        if (isStruck) {
            // The struck bell lights up a little, so it is found at a glance.
            const QPointF middle(b.centreX, b.crownTop + b.width * 0.55);
            QRadialGradient glow(middle, b.width * 0.8);
            glow.setColorAt(0.0, QColor(255, 226, 150, 190));
            glow.setColorAt(1.0, QColor(255, 226, 150, 0));
            p.fillRect(b.slot, glow);
        }
        bellart::paintBronzeBell(p, QPointF(b.centreX, b.crownTop), b.width, pose);
        if (isStruck) {
            bellart::paintStrikeAccent(p, QPointF(b.centreX, b.crownTop), b.width, pose, kWave, 3);
        }
        p.restore();
    }
}

void paintPeg(QPainter& p, const BellPlace& b, int number, bool struck) {
    // Numbers are set in device pixels so that they stay crisp at both sizes.
    const qreal scale = bellart::deviceScale(p);
    const QPointF centre = p.worldTransform().map(QPointF(b.centreX, kPegCentreY));
    p.save();
    p.resetTransform();
    const qreal radius = 4.3 * scale;
    p.setPen(QPen(struck ? kAccent : kInk, 0.9 * scale));
    p.setBrush(struck ? kAccent : QColor(251, 252, 253));
    p.drawEllipse(centre, radius, radius);
    p.setFont(fonts::sans(6.6 * scale, true));
    p.setPen(struck ? Qt::white : kInk);
    p.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), Qt::AlignCenter,
               QString::number(number));
    p.restore();
}

void paintSchematic(QPainter& p, const QVector<BellPlace>& bells, int struck) {
    p.fillRect(QRectF(-5, -5, kCanvasWidth + 10, kCanvasHeight + 10), QColor(251, 252, 253));
    // The beam as a single bar.
    p.fillRect(QRectF(1.5, kBeamBottom - 2.2, kCanvasWidth - 3.0, 2.2), kInk);
    const bellart::SchematicColours rest{QColor(222, 230, 238), kInk, kInk};
    const bellart::SchematicColours hit{kAccent, QColor(150, 50, 0), QColor(90, 30, 0)};
    for (int i = 0; i < bells.size(); ++i) {
        const BellPlace& b = bells.at(i);
        const bool isStruck = i + 1 == struck;
        p.save();
        p.setClipRect(b.slot);
        paintHanger(p, b, kInk, 0.8);
        const bellart::Pose pose = isStruck ? bellart::struckPose() : bellart::Pose{};
        paintRope(p, b, pose, isStruck ? kAccent : QColor(150, 162, 176), 0.6);
        bellart::paintSchematicBell(p, QPointF(b.centreX, b.crownTop), b.width, pose, isStruck ? hit : rest);
        if (isStruck) {
            bellart::paintStrikeAccent(p, QPointF(b.centreX, b.crownTop), b.width, pose, kAccent, 2);
        }
        paintPeg(p, b, i + 1, isStruck);
        p.restore();
    }
}

} // namespace

QImage renderFrame(const QString& setKey, int frame, Style style, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const CanvasMapping m = mappingFor(size);
    p.translate(m.dx, m.dy);
    p.scale(m.scale, m.scale);
    const QVector<BellPlace> bells = layout(setKey);
    const int struck = frame >= 1 && frame <= bells.size() ? frame : 0;
    if (style == Style::General) {
        paintGeneral(p, bells, struck);
    } else {
        paintSchematic(p, bells, struck);
    }
    return image;
}

} // namespace frames
