#include "BellPictures.h"

#include "BellPainter.h"
#include "Fonts.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace bellpictures {

namespace {

constexpr qreal kBeamBottom = 11.0;

void paintBackground(QPainter& p) {
    QLinearGradient warm(0, 0, 0, kSide);
    warm.setColorAt(0.0, QColor(252, 246, 230));
    warm.setColorAt(1.0, QColor(240, 222, 184));
    p.fillRect(QRect(0, 0, kSide, kSide), warm);
    QLinearGradient wood(0, 0, 0, kBeamBottom);
    wood.setColorAt(0.0, QColor(150, 100, 56));
    wood.setColorAt(0.4, QColor(118, 76, 38));
    wood.setColorAt(1.0, QColor(62, 38, 16));
    p.fillRect(QRectF(0, 0, kSide, kBeamBottom), wood);
    p.setPen(QPen(QColor(70, 42, 18, 90), 1.0));
    p.drawLine(QPointF(0, 3.5), QPointF(kSide, 4.0));
    p.drawLine(QPointF(0, 7.0), QPointF(kSide, 6.6));
    p.setPen(QPen(QColor(40, 24, 8), 1.0));
    p.drawLine(QPointF(0, kBeamBottom - 0.5), QPointF(kSide, kBeamBottom - 0.5));
}

void paintKeyCap(QPainter& p, QChar key) {
    const QRectF cap(kSide - 23.5, kBeamBottom + 4.5, 19, 19);
    p.setPen(QPen(QColor(110, 96, 80), 1.0));
    QLinearGradient face(0, cap.top(), 0, cap.bottom());
    face.setColorAt(0.0, QColor(255, 255, 255));
    face.setColorAt(1.0, QColor(222, 214, 200));
    p.setBrush(face);
    p.drawRoundedRect(cap, 3.5, 3.5);
    p.setPen(QColor(50, 40, 30));
    p.setFont(fonts::sans(13, true));
    p.drawText(cap.adjusted(0, -0.5, 0, -0.5), Qt::AlignCenter, QString(key));
}

} // namespace

qreal bellWidth(int bell) {
    // From 78 % of the picture down to 40 %, in equal steps of ratio.
    const qreal largest = 0.78 * kSide;
    const qreal smallest = 0.40 * kSide;
    return largest * std::pow(smallest / largest, bell / 14.0);
}

QImage render(int bell, QChar key, bool selected) {
    QImage image(kSide, kSide, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    paintBackground(p);
    const qreal w = bellWidth(bell);
    const qreal cx = kSide / 2.0 - (bell < 4 ? 3.0 : 0.0);
    const QPointF crown(cx, kBeamBottom + 2.5);
    p.setPen(QPen(QColor(48, 44, 40), std::max(1.5, w * 0.06), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(cx, kBeamBottom - 1), crown + QPointF(0, w * 0.04));
    bellart::paintBronzeBell(p, crown, w, bellart::Pose{});
    if (!key.isNull()) {
        paintKeyCap(p, key);
    }
    p.end();
    return selected ? image : dimmed(image);
}

QImage dimmed(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = line[x];
            const int grey = qGray(c);
            // Mostly grey, a trace of the colour, and pulled towards a pale grey.
            auto channel = [grey](int v) {
                const qreal mixed = 0.82 * grey + 0.18 * v;
                return qBound(0, qRound(0.55 * mixed + 0.45 * 200.0), 255);
            };
            line[x] = qRgb(channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c)));
        }
    }
    return out;
}

} // namespace bellpictures
