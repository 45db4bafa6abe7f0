#include "Artwork.h"

#include "BellPainter.h"
#include "Fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>

namespace artwork {

namespace {

const QColor kStone(240, 232, 216);
const QColor kStoneShade(206, 192, 168);
const QColor kOpening(52, 38, 28);
const QColor kTitle(255, 246, 226);
const QColor kGold(236, 196, 112);

void paintDuskSky(QPainter& p, const QRectF& r, qreal warmth) {
    QLinearGradient sky(0, r.top(), 0, r.bottom());
    sky.setColorAt(0.0, QColor(24, 44, 84));
    sky.setColorAt(0.45, QColor(58, 90, 138));
    sky.setColorAt(0.78, QColor::fromRgbF(0.23 + 0.61 * warmth, 0.35 + 0.24 * warmth, 0.54 - 0.11 * warmth));
    sky.setColorAt(1.0, QColor::fromRgbF(0.35 + 0.61 * warmth, 0.35 + 0.43 * warmth, 0.5 + 0.01 * warmth));
    p.fillRect(r, sky);
}

// Darkens the left of a picture so that light text there stays readable.
void shadeLeft(QPainter& p, const QRectF& r, qreal width, int alpha) {
    QLinearGradient shade(r.left(), 0, r.left() + width, 0);
    shade.setColorAt(0.0, QColor(10, 16, 36, alpha));
    shade.setColorAt(1.0, QColor(10, 16, 36, 0));
    p.fillRect(r, shade);
}

// An arched opening of the belfry wall with a bell hanging in it.
void paintOpening(QPainter& p, const QRectF& r, qreal bellWidth) {
    QPainterPath arch;
    const qreal radius = r.width() / 2;
    arch.moveTo(r.left(), r.bottom());
    arch.lineTo(r.left(), r.top() + radius);
    arch.arcTo(QRectF(r.left(), r.top(), r.width(), 2 * radius), 180, -180);
    arch.lineTo(r.right(), r.bottom());
    arch.closeSubpath();
    QLinearGradient dark(0, r.top(), 0, r.bottom());
    dark.setColorAt(0.0, kOpening);
    dark.setColorAt(1.0, QColor(92, 64, 44));
    p.setPen(QPen(kStoneShade, 1.2));
    p.setBrush(dark);
    p.drawPath(arch);
    // The beam across the opening and the bell under it.
    const qreal beamY = r.top() + radius * 0.75;
    p.fillRect(QRectF(r.left(), beamY - 2.5, r.width(), 4.0), QColor(88, 58, 30));
    const QPointF crown(r.center().x(), beamY + 2.0);
    bellart::paintBronzeBell(p, crown, bellWidth, bellart::Pose{});
}

void paintBelfry(QPainter& p, const QRectF& wall) {
    // Wall of the belfry: a higher middle part carrying a small dome.
    QPainterPath shape;
    const qreal step = wall.height() * 0.22;
    const qreal third = wall.width() / 3;
    shape.moveTo(wall.left(), wall.bottom());
    shape.lineTo(wall.left(), wall.top() + step);
    shape.lineTo(wall.left() + third, wall.top() + step);
    shape.lineTo(wall.left() + third, wall.top());
    shape.lineTo(wall.right() - third, wall.top());
    shape.lineTo(wall.right() - third, wall.top() + step);
    shape.lineTo(wall.right(), wall.top() + step);
    shape.lineTo(wall.right(), wall.bottom());
    shape.closeSubpath();
    QLinearGradient lit(wall.left(), 0, wall.right(), 0);
    lit.setColorAt(0.0, kStone);
    lit.setColorAt(1.0, kStoneShade);
    p.setPen(Qt::NoPen);
    p.setBrush(lit);
    p.drawPath(shape);
    // Cornices.
    p.setBrush(QColor(226, 214, 194));
    p.drawRect(QRectF(wall.left() - 3, wall.top() + step - 4, third + 3, 5));
    p.drawRect(QRectF(wall.right() - third, wall.top() + step - 4, third + 3, 5));
    p.drawRect(QRectF(wall.left() + third - 3, wall.top() - 4, third + 6, 5));

    // Small onion dome with a cross over the middle part.
    const QPointF domeBase(wall.center().x(), wall.top() - 4);
    const qreal dw = third * 0.42;
    p.setBrush(QColor(222, 208, 186));
    p.drawRect(QRectF(domeBase.x() - dw * 0.38, domeBase.y() - dw * 0.5, dw * 0.76, dw * 0.5));
    QPainterPath onion;
    const qreal oy = domeBase.y() - dw * 0.5;
    onion.moveTo(domeBase.x() - dw * 0.42, oy);
    onion.cubicTo(domeBase.x() - dw * 0.75, oy - dw * 0.55, domeBase.x() - dw * 0.1, oy - dw * 0.75,
                  domeBase.x(), oy - dw * 1.15);
    onion.cubicTo(domeBase.x() + dw * 0.1, oy - dw * 0.75, domeBase.x() + dw * 0.75, oy - dw * 0.55,
                  domeBase.x() + dw * 0.42, oy);
    onion.closeSubpath();
    QLinearGradient gilt(domeBase.x() - dw * 0.5, 0, domeBase.x() + dw * 0.5, 0);
    gilt.setColorAt(0.0, QColor(150, 104, 30));
    gilt.setColorAt(0.35, QColor(255, 224, 130));
    gilt.setColorAt(1.0, QColor(130, 88, 24));
    p.setBrush(gilt);
    p.drawPath(onion);
    const qreal crossTop = oy - dw * 1.15 - dw * 0.75;
    p.setPen(QPen(QColor(230, 190, 100), std::max(1.2, dw * 0.07)));
    const qreal cx = domeBase.x();
    p.drawLine(QPointF(cx, oy - dw * 1.15), QPointF(cx, crossTop));
    p.drawLine(QPointF(cx - dw * 0.22, crossTop + dw * 0.2), QPointF(cx + dw * 0.22, crossTop + dw * 0.2));
    p.drawLine(QPointF(cx - dw * 0.14, crossTop + dw * 0.04), QPointF(cx + dw * 0.14, crossTop + dw * 0.04));
    p.drawLine(QPointF(cx - dw * 0.14, crossTop + dw * 0.5), QPointF(cx + dw * 0.14, crossTop + dw * 0.38));

    // Openings: one large in the middle, two smaller at the sides.
    const qreal openingTop = wall.top() + step * 0.55;
    paintOpening(p,
                 QRectF(wall.left() + third + third * 0.16, openingTop, third * 0.68, wall.height() * 0.52),
                 third * 0.5);
    const qreal sideTop = wall.top() + step + 14;
    paintOpening(p, QRectF(wall.left() + third * 0.2, sideTop, third * 0.6, wall.height() * 0.36),
                 third * 0.36);
    paintOpening(p, QRectF(wall.right() - third * 0.8, sideTop, third * 0.6, wall.height() * 0.36),
                 third * 0.28);
}

void drawShadowedText(QPainter& p, const QPointF& at, const QString& text, const QColor& colour,
                      qreal offset) {
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(at + QPointF(offset, offset), text);
    p.setPen(colour);
    p.drawText(at, text);
}

// Integer hash giving a value in [0, 1); the same inputs always give the same value.
qreal hash01(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / qreal(0x1000000);
}

// Value noise on a lattice that wraps at the tile's edge, so the tile repeats seamlessly.
qreal tiledNoise(qreal x, qreal y, int cellsX, int cellsY, int tile, std::uint32_t seed) {
    const qreal gx = x * cellsX / tile;
    const qreal gy = y * cellsY / tile;
    const int x0 = int(std::floor(gx));
    const int y0 = int(std::floor(gy));
    const qreal fx = gx - x0;
    const qreal fy = gy - y0;
    auto at = [&](int i, int j) {
        return hash01(std::uint32_t(((i % cellsX) + cellsX) % cellsX),
                      std::uint32_t(((j % cellsY) + cellsY) % cellsY), seed);
    };
    const qreal sx = fx * fx * (3 - 2 * fx);
    const qreal sy = fy * fy * (3 - 2 * fy);
    const qreal a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const qreal b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return a + (b - a) * sy;
}

} // namespace

QImage renderSplash() {
    QImage image(kSplashSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF all(QPointF(0, 0), kSplashSize);
    paintDuskSky(p, all, 1.0);

    // Glow of the setting sun behind the belfry.
    QRadialGradient sun(QPointF(390, 270), 190);
    sun.setColorAt(0.0, QColor(255, 226, 160, 170));
    sun.setColorAt(1.0, QColor(255, 226, 160, 0));
    p.fillRect(all, sun);

    shadeLeft(p, all, 320, 150);
    paintBelfry(p, QRectF(306, 112, 162, 176));

    // Ground.
    QLinearGradient ground(0, 282, 0, 300);
    ground.setColorAt(0.0, QColor(70, 62, 58));
    ground.setColorAt(1.0, QColor(40, 34, 32));
    p.fillRect(QRectF(0, 284, kSplashSize.width(), 16), ground);

    p.setFont(fonts::serif(54, true));
    drawShadowedText(p, QPointF(28, 104), QStringLiteral("Campanix"), kTitle, 2.5);
    p.setFont(fonts::serif(22, true));
    drawShadowedText(p, QPointF(30, 140), QStringLiteral("версия 1.2"), kGold, 1.5);
    p.setPen(QPen(kGold, 1.5));
    p.drawLine(QPointF(30, 156), QPointF(236, 156));
    p.setFont(fonts::serif(17));
    drawShadowedText(p, QPointF(30, 186), QStringLiteral("Русский колокольный звон:"), kTitle, 1.2);
    drawShadowedText(p, QPointF(30, 209), QStringLiteral("тренажёр и проигрыватель"), kTitle, 1.2);
    p.setFont(fonts::sans(13));
    drawShadowedText(p, QPointF(30, 272), QStringLiteral("© Tolvena"), kTitle, 1.0);

    // A frame of one gilt line inside the edge.
    p.setPen(QPen(QColor(236, 196, 112, 200), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.5, 4.5, kSplashSize.width() - 9, kSplashSize.height() - 9));
    return image;
}

QImage renderBanner() {
    QImage image(kBannerSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF all(QPointF(0, 0), kBannerSize);
    paintDuskSky(p, all, 0.45);
    QRadialGradient glow(QPointF(44, 100), 90);
    glow.setColorAt(0.0, QColor(255, 226, 160, 150));
    glow.setColorAt(1.0, QColor(255, 226, 160, 0));
    p.fillRect(all, glow);

    // One arched opening of a belfry with its bell.
    QPainterPath wall;
    wall.addRect(QRectF(8, 14, 66, 90));
    p.setPen(Qt::NoPen);
    QLinearGradient lit(8, 0, 74, 0);
    lit.setColorAt(0.0, kStone);
    lit.setColorAt(1.0, kStoneShade);
    p.setBrush(lit);
    p.drawPath(wall);
    p.setBrush(QColor(226, 214, 194));
    p.drawRect(QRectF(5, 10, 72, 6));
    paintOpening(p, QRectF(17, 24, 48, 80), 40);

    p.setFont(fonts::serif(30, true));
    drawShadowedText(p, QPointF(84, 50), QStringLiteral("Tolvena"), kTitle, 1.5);
    p.setPen(QPen(kGold, 1.0));
    p.drawLine(QPointF(86, 60), QPointF(222, 60));
    p.setFont(fonts::serif(13));
    drawShadowedText(p, QPointF(86, 78), QStringLiteral("колокольные звоны"), kTitle, 1.0);
    p.setFont(fonts::sans(11));
    drawShadowedText(p, QPointF(86, 95), QStringLiteral("уроки · ноты · звонницы"), kGold, 1.0);

    p.setPen(QPen(QColor(236, 196, 112, 200), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, kBannerSize.width() - 3, kBannerSize.height() - 3));
    return image;
}

QImage renderBackgroundTile() {
    const int side = kBackgroundSize.width();
    QImage image(kBackgroundSize, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            // Broad clouding, finer mottle and fibres along the paper.
            const qreal broad = tiledNoise(x, y, 4, 4, side, 11) - 0.5;
            const qreal mottle = tiledNoise(x, y, 16, 16, side, 23) - 0.5;
            const qreal grain = tiledNoise(x, y, 16, 96, side, 37) - 0.5;
            const qreal v = broad * 7.0 + mottle * 5.0 + grain * 3.0;
            line[x] = qRgb(qBound(0, qRound(248 + v), 255), qBound(0, qRound(242 + v), 255),
                           qBound(0, qRound(228 + v * 1.1), 255));
        }
    }
    return image;
}

} // namespace artwork
