#include "CaptionPictures.h"

#include "BellPainter.h"
#include "FrameSets.h"

#include <QLinearGradient>
#include <QPainter>

namespace captions {

namespace {

const QColor kWave(236, 120, 0);

// Pixels this close to white would show as a pale fringe around the picture
// on the panel; they are made pure white, i.e. transparent.
void snapNearWhite(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            if (qRed(c) >= 240 && qGreen(c) >= 240 && qBlue(c) >= 240) {
                line[x] = qRgb(255, 255, 255);
            }
        }
    }
}

// A row of bells under a beam inside a rounded card: all struck together
// for chords, all still and grey with the animation off.
void paintBellCard(QPainter& p, const QRectF& card, Kind kind) {
    const bool chords = kind == Kind::Chords;
    const qreal radius = std::min(card.height() * 0.12, 8.0);
    QPainterPath shape;
    shape.addRoundedRect(card, radius, radius);
    p.save();
    p.setClipPath(shape);
    QLinearGradient sky(0, card.top(), 0, card.bottom());
    if (chords) {
        sky.setColorAt(0.0, QColor(196, 220, 240));
        sky.setColorAt(1.0, QColor(246, 236, 212));
    } else {
        sky.setColorAt(0.0, QColor(214, 218, 222));
        sky.setColorAt(1.0, QColor(232, 232, 230));
    }
    p.fillRect(card, sky);
    const qreal beamHeight = card.height() * 0.11;
    QLinearGradient wood(0, card.top(), 0, card.top() + beamHeight);
    wood.setColorAt(0.0, chords ? QColor(150, 100, 56) : QColor(140, 136, 130));
    wood.setColorAt(1.0, chords ? QColor(62, 38, 16) : QColor(80, 78, 76));
    p.fillRect(QRectF(card.left(), card.top(), card.width(), beamHeight), wood);

    const int count = 5;
    const qreal unit = card.width() / (count * 1.45);
    qreal w = std::min(unit * 1.05, card.height() * (card.height() < 30 ? 0.78 : 0.62));
    const qreal ratio = 0.88;
    qreal total = 0;
    for (int i = 0; i < count; ++i) {
        total += w * std::pow(ratio, i);
    }
    const qreal gap = (card.width() - total) / (count + 1);
    qreal x = card.left() + gap;
    for (int i = 0; i < count; ++i) {
        const qreal bw = w * std::pow(ratio, i);
        const QPointF crown(x + bw / 2, card.top() + beamHeight + card.height() * 0.04);
        p.setPen(QPen(chords ? QColor(48, 44, 40) : QColor(110, 110, 110), std::max(1.0, bw * 0.06)));
        p.drawLine(QPointF(crown.x(), card.top() + beamHeight - 1), crown);
        if (chords) {
            const bellart::Pose pose = bellart::struckPose();
            bellart::paintBronzeBell(p, crown, bw, pose);
            bellart::paintStrikeAccent(p, crown, bw, pose, kWave, card.height() < 30 ? 0 : 2);
        } else {
            bellart::SchematicColours grey{QColor(200, 202, 204), QColor(120, 122, 124),
                                           QColor(120, 122, 124)};
            bellart::paintSchematicBell(p, crown, bw, bellart::Pose{}, grey);
        }
        x += bw + gap;
    }
    p.restore();
    p.setPen(QPen(chords ? QColor(120, 80, 40) : QColor(130, 130, 130), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card, radius, radius);
}

} // namespace

QRect captionBand(QSize size) {
    if (size.width() <= frames::kUsualSize.width()) {
        return QRect(4, 10, size.width() - 4, 35);
    }
    return QRect(4, 8, 232, 42);
}

QImage render(Kind kind, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRect band = captionBand(size);
    const bool chords = kind == Kind::Chords;
    const QColor rule = chords ? QColor(150, 100, 50) : QColor(140, 140, 140);

    // A rule over the caption.
    const qreal ruleY = band.top() - 4.5;
    p.setPen(QPen(rule, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, ruleY), QPointF(size.width() - 3, ruleY));

    // Under the caption, the group's bells.
    const qreal top = band.bottom() + 1.5;
    const QRectF card(2.5, top, size.width() - 5.0, size.height() - top - 1.5);
    paintBellCard(p, card, kind);
    p.end();
    snapNearWhite(image);
    return image;
}

} // namespace captions
