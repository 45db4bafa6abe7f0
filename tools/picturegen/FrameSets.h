#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

// The animation frame sets: for each group a picture of its bells hanging
// from a beam, frame 0 at rest and frame f (1..7) with the group's f-th bell
// (counted from the largest) struck. Every set is drawn on one logical
// canvas of 129 x 60 units and scaled to the size of each view.
namespace frames {

constexpr int kFramesPerSet = 8;
constexpr qreal kCanvasWidth = 129.0;
constexpr qreal kCanvasHeight = 60.0;

// The pixel sizes of the usual view and of the full view.
constexpr QSize kUsualSize(129, 60);
constexpr QSize kFullSize(364, 170);

enum class Style { General, Schematic };

struct SetInfo {
    QString key;   // "s", "m", "b", "3s"
    int bellCount; // bells drawn; frames above it show the set at rest
};

// The four sets in the program's order: small, middle, big, small-three.
const QVector<SetInfo>& sets();

// "s_0.bmp" for the general style, "ls_0.bmp" for the schematic one.
QString fileName(const QString& setKey, int frame, Style style);

// One bell of a set in canvas units.
struct BellPlace {
    qreal centreX = 0;  // axis of the bell
    qreal crownTop = 0; // top of the crown loop, just under its hanger
    qreal width = 0;    // diameter at the lip
    QRectF slot;        // everything drawn for this bell, struck or not, stays inside
};

// The beam runs across the top of every set.
constexpr qreal kBeamTop = 1.0;
constexpr qreal kBeamBottom = 7.5;
// The ropes of the drawn bells end on a rail at the bottom; the lines of the
// diagram end on numbered pegs there.
constexpr qreal kRailTop = 54.0;
constexpr qreal kPegCentreY = 54.6;

// Height of a drawn bell (crown loop to the lowest point of its lip) for its width.
constexpr qreal kBellHeightPerWidth = 1.0;

QVector<BellPlace> layout(const QString& setKey);

// Maps the canvas onto an image of the given size (uniform scale, centred).
struct CanvasMapping {
    qreal scale = 1;
    qreal dx = 0;
    qreal dy = 0;
    QRectF toPixels(const QRectF& canvasRect) const;
};
CanvasMapping mappingFor(QSize pixels);

} // namespace frames
