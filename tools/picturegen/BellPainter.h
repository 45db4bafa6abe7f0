#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

// Drawing of one bell. A bell is described in units of its lip diameter with
// the origin at the top of its crown loop and y growing downwards; it is about
// as tall as it is wide (crown loop to the lowest point of the lip).
namespace bellart {

struct Pose {
    qreal swingDegrees = 0; // tilt about the crown; positive turns the lip to the left
    bool clapperAtRim = false;
};

// The pose of a struck bell: tilted a little, clapper against the right rim.
Pose struckPose();

// The lowest point of the clapper ball, in the painter's coordinates: where
// a rope tied to the clapper leaves it.
QPointF clapperTail(QPointF crownTop, qreal width, const Pose& pose);

// Outline of the body (without the crown loop) in bell units.
QPainterPath bodyPath();

// A bronze bell with shading, bands, crown loop and clapper.
void paintBronzeBell(QPainter& p, QPointF crownTop, qreal width, const Pose& pose);

// The marks of a strike: a flash where the clapper meets the rim and sound
// waves spreading below the mouth, all within the bell's width.
void paintStrikeAccent(QPainter& p, QPointF crownTop, qreal width, const Pose& pose, const QColor& colour,
                       int waves);

struct SchematicColours {
    QColor fill;
    QColor outline;
    QColor clapper;
};

// A flat diagram bell in the given colours.
void paintSchematicBell(QPainter& p, QPointF crownTop, qreal width, const Pose& pose,
                        const SchematicColours& colours);

// Pixels covered by one unit of the painter's current coordinates.
qreal deviceScale(const QPainter& p);

} // namespace bellart
