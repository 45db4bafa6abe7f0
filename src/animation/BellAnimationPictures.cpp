#include "animation/BellAnimationPictures.h"

#include "base/Logging.h"
#include "ui/ColourKey.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace animation {

namespace {

const char* const kSetKeys[kSetCount] = {"s", "m", "b", "3s"};
constexpr int kCaptionMargin = 2;
constexpr int kSmallestCaptionPixels = 6;

} // namespace

QString frameFileName(int set, int frame, FrameStyle style) {
    const QString prefix = style == FrameStyle::Schematic ? QStringLiteral("l") : QString();
    return prefix + QLatin1String(kSetKeys[set]) + QLatin1Char('_') + QString::number(frame) +
           QStringLiteral(".bmp");
}

void loadFrames(AnimationPictures& pictures, const QString& folder) {
    // The user sees an empty place; one warning per folder says why.
    int failed = 0;
    QString firstFailed;
    for (int set = 0; set < kSetCount; ++set) {
        for (int frame = 0; frame < kFramesPerSet; ++frame) {
            for (FrameStyle style : {FrameStyle::General, FrameStyle::Schematic}) {
                QPixmap& target = pictures.frames[AnimationPictures::frameIndex(set, frame, style)];
                const QString path = folder + frameFileName(set, frame, style);
                target = QFile::exists(path) ? QPixmap(path) : QPixmap();
                if (target.isNull() && failed++ == 0) {
                    firstFailed = path;
                }
            }
        }
    }
    if (failed > 0) {
        qCWarning(lcAnimation) << failed << "animation pictures missing or unreadable, the first"
                               << firstFailed;
    }
}

QFont captionFont(const QFont& base, const QString& text, QPoint at, int width) {
    QFont font = base;
    // Keyed on pure white, the caption must not blend into its background.
    font.setStyleStrategy(QFont::NoAntialias);
    const int room = width - at.x() - kCaptionMargin;
    int pixels = QFontInfo(font).pixelSize();
    while (pixels > kSmallestCaptionPixels && QFontMetrics(font).horizontalAdvance(text) > room) {
        --pixels;
        font.setPixelSize(pixels);
    }
    return font;
}

QImage captionedPicture(const QString& path, const QString& text, QPoint at, const QFont& base) {
    QImage picture = QFile::exists(path) ? QImage(path) : QImage();
    if (picture.isNull()) {
        qCWarning(lcAnimation) << "caption picture missing or unreadable:" << path;
        return {};
    }
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    {
        QPainter painter(&picture);
        const QFont font = captionFont(base, text, at, picture.width());
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(at + QPoint(0, QFontMetrics(font).ascent()), text);
    }
    clearColourKey(picture, qRgb(255, 255, 255));
    return picture;
}

} // namespace animation

std::size_t AnimationPictures::frameIndex(int set, int frame, animation::FrameStyle style) {
    return static_cast<std::size_t>((set * animation::kFramesPerSet + frame) * animation::kStyleCount +
                                    static_cast<int>(style));
}

const QPixmap& AnimationPictures::picture(const animation::ShownPicture& shown) const {
    static const QPixmap none;
    switch (shown.kind) {
    case animation::ShownPicture::Kind::Frame:
        return frames[frameIndex(shown.set, shown.frame, shown.style)];
    case animation::ShownPicture::Kind::Chords:
        return chords;
    case animation::ShownPicture::Kind::AnimationOff:
        return animationOff;
    case animation::ShownPicture::Kind::Nothing:
        break;
    }
    return none;
}
