#include "output/ScoreImages.h"

#include "app/TfrmMain.h"

#include <QPainter>

ScoreSnapshot scoreSnapshot(const TfrmMain& window) {
    ScoreSnapshot score;
    for (int g = 0; g < 3; ++g) {
        score.groups[static_cast<std::size_t>(g)] = window.channels().score(g);
    }
    score.counts = {window.ensemble().groupCount(kSmallGroup), window.ensemble().groupCount(kMiddleGroup),
                    window.ensemble().groupCount(kBigGroup)};
    score.simplified = window.cbGrid && window.cbGrid->isChecked();
    score.face = window.palette().color(QPalette::Window);
    return score;
}

QImage scoreGroupImage(const ScoreSnapshot& score, int group, int page, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(score.face);
    if (size.isEmpty() || group < 0 || group > 2) {
        return image;
    }
    QPainter painter(&image);
    const int rows = 5;
    const double rowH = size.height() / double(rows + 1);
    painter.setPen(Qt::black);
    for (int r = 1; r <= rows; ++r) {
        painter.drawLine(QPointF(0, r * rowH), QPointF(size.width(), r * rowH));
    }
    const QStringList& columns = score.groups[static_cast<std::size_t>(group)];
    const double step = size.width() / 66.0;
    painter.setBrush(Qt::black);
    for (int c = 0; c < 64; ++c) {
        const int column = page * 64 + c;
        if (column >= columns.size()) {
            break;
        }
        for (const QString& token : columns.at(column).split(u',', Qt::SkipEmptyParts)) {
            const int position = token.size() > 1 ? token.at(1).digitValue() : 0;
            painter.drawEllipse(QPointF((c + 1) * step, std::max(1, rows + 1 - position) * rowH), 3, 3);
        }
    }
    return image;
}
