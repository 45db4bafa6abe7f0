#include "score/ScoreWelcomePainter.h"

#include "base/BellGroups.h"
#include "score/ScoreWelcome.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMargin = 8;
// Text smaller than this is not worth drawing: the staff is too small.
constexpr int kSmallestPixels = 8;

// The largest size from `largest` down at which `text` fits `area`, or 0.
int fittingPixelSize(const QString& text, QFont font, const QRect& area, int largest) {
    for (int pixels = largest; pixels >= kSmallestPixels; --pixels) {
        font.setPixelSize(pixels);
        const QRect needed = QFontMetrics(font).boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, text);
        if (needed.width() <= area.width() && needed.height() <= area.height()) {
            return pixels;
        }
    }
    return 0;
}

} // namespace

void paintScoreWelcome(QPainter& painter, int group, QSize size, const QColor& face, const QColor& ink,
                       const QFont& font) {
    painter.fillRect(QRect(QPoint(0, 0), size), face);
    if (group == groupIndex(BellGroup::Big)) {
        return;
    }
    const QString& text =
        group == groupIndex(BellGroup::Small) ? scorewelcome::kAbout : scorewelcome::kWhatToDo;
    const QRect area = QRect(QPoint(0, 0), size).adjusted(kMargin, kMargin / 2, -kMargin, -kMargin / 2);
    if (area.width() <= 0 || area.height() <= 0) {
        return;
    }
    QFont textFont = font;
    textFont.setBold(group == groupIndex(BellGroup::Small));
    // The window's text size, as pixels, so that the surface's own
    // resolution does not change it.
    const int base = std::max(kSmallestPixels, QFontInfo(font).pixelSize());
    const int pixels = fittingPixelSize(text, textFont, area, base * 3 / 2);
    if (pixels == 0) {
        return;
    }
    textFont.setPixelSize(pixels);
    painter.save();
    painter.setFont(textFont);
    painter.setPen(ink);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
    painter.restore();
}
