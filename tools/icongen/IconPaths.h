#pragma once

#include <QColor>
#include <QPainterPath>
#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

// The shapes of the scalable icon, read from its SVG file. The icon keeps to
// a small part of SVG: <path> elements whose "d" uses the absolute commands
// M, L, C, Q and Z, a solid "fill" and an optional solid "stroke" with
// "stroke-width". Anything else is refused, so that the drawn icons never
// silently differ from the scalable one.
struct IconShape {
    QPainterPath path;
    QColor fill;
    QColor stroke;
    double strokeWidth = 0;
};

struct IconDrawing {
    QSizeF viewBox;
    std::vector<IconShape> shapes;
};

// The drawing, or nothing with `error` set.
std::optional<IconDrawing> readIconDrawing(const QByteArray& svg, QString* error);
