#include "ContactSheet.h"

#include "Artwork.h"
#include "BellPictures.h"
#include "CaptionPictures.h"
#include "Catalogue.h"
#include "Fonts.h"
#include "FramePainter.h"
#include "Generator.h"

#include <QFontMetrics>
#include <QPainter>

namespace contactsheet {

namespace {

constexpr int kMargin = 16;
constexpr int kGap = 6;
constexpr int kWidth = 1548;
const QColor kPaper(236, 236, 234);
const QColor kLabel(60, 60, 60);

class Sheet {
public:
    explicit Sheet(int height) : m_image(kWidth, height, QImage::Format_RGB32), m_painter(&m_image) {
        m_image.fill(kPaper);
        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    }

    void heading(const QString& text) {
        m_y += 8;
        m_painter.setFont(fonts::sans(17, true));
        m_painter.setPen(kLabel);
        m_painter.drawText(QPointF(kMargin, m_y + 17), text);
        m_y += 28;
    }

    void label(const QString& text, int x, int y) {
        m_painter.setFont(fonts::sans(11));
        m_painter.setPen(kLabel);
        m_painter.drawText(QPointF(x, y), text);
    }

    // Places pictures in a row from the left margin, each with its label below.
    void row(const QVector<QImage>& pictures, const QStringList& labels, qreal scale = 1.0) {
        int x = kMargin;
        int tallest = 0;
        for (int i = 0; i < pictures.size(); ++i) {
            const QSize size = (QSizeF(pictures.at(i).size()) * scale).toSize();
            m_painter.drawImage(QRect(QPoint(x, m_y), size), pictures.at(i));
            if (i < labels.size()) {
                label(labels.at(i), x, m_y + size.height() + 13);
            }
            x += size.width() + kGap;
            tallest = std::max(tallest, size.height());
        }
        m_y += tallest + (labels.isEmpty() ? kGap : 20);
    }

    // A caption picture shown over the grey of a panel, the way the program shows it.
    QImage onPanel(const QImage& picture, const QString& caption, QPoint at) {
        QImage shown(picture.size(), QImage::Format_RGB32);
        shown.fill(QColor(239, 239, 239));
        QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < keyed.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x) {
                if ((line[x] & 0xffffff) == 0xffffff) {
                    line[x] = 0;
                }
            }
        }
        QPainter p(&shown);
        p.drawImage(0, 0, keyed);
        // As the program writes it: the largest size up to 12 pixels that
        // ends inside the picture.
        qreal size = 12;
        while (size > 6 &&
               QFontMetrics(fonts::sans(size)).horizontalAdvance(caption) > picture.width() - at.x() - 2) {
            size -= 1;
        }
        p.setFont(fonts::sans(size));
        p.setPen(Qt::black);
        p.drawText(QRect(at, QSize(picture.width(), 20)), Qt::AlignLeft | Qt::AlignTop, caption);
        return shown;
    }

    int y() const { return m_y; }
    QImage take() {
        m_painter.end();
        return m_image.copy(0, 0, kWidth, m_y + kMargin);
    }

private:
    QImage m_image;
    QPainter m_painter;
    int m_y = kMargin;
};

} // namespace

QImage render(const QStringList& lines) {
    Sheet sheet(4200);

    sheet.heading(QStringLiteral("Bells (Images/): selected and not selected, bell 0 at the left"));
    QVector<QImage> on;
    QVector<QImage> off;
    QStringList names;
    for (int i = 0; i < catalogue::kBellCount; ++i) {
        const QChar key = i < lines.size() ? generator::keyLetter(lines.at(i)) : QChar();
        on.append(bellpictures::render(i, key, true));
        off.append(bellpictures::render(i, key, false));
        names.append(catalogue::pictureFileName(i));
    }
    sheet.row(on, names);
    sheet.row(off, {});

    const struct {
        frames::Style style;
        const char* title;
    } styles[] = {{frames::Style::General, "general"}, {frames::Style::Schematic, "schematic"}};

    for (const auto& style : styles) {
        sheet.heading(QStringLiteral("Usual view frames (Animate/, 129 x 60), %1 style")
                          .arg(QLatin1String(style.title)));
        for (const frames::SetInfo& set : frames::sets()) {
            QVector<QImage> row;
            QStringList labels;
            for (int f = 0; f < frames::kFramesPerSet; ++f) {
                row.append(frames::renderFrame(set.key, f, style.style, frames::kUsualSize));
                labels.append(frames::fileName(set.key, f, style.style));
            }
            sheet.row(row, labels);
        }
    }

    sheet.heading(
        QStringLiteral("Chord and animation-off pictures over a panel, with the program's captions"));
    const QImage accordSmall = captions::render(captions::Kind::Chords, frames::kUsualSize);
    const QImage offSmall = captions::render(captions::Kind::AnimationOff, frames::kUsualSize);
    const QImage accordBig = captions::render(captions::Kind::Chords, frames::kFullSize);
    const QImage offBig = captions::render(captions::Kind::AnimationOff, frames::kFullSize);
    const QString chordsText = QStringLiteral("Игра аккордами");
    const QString offText = QStringLiteral("Анимация отключена");
    sheet.row({sheet.onPanel(accordSmall, chordsText, {20, 26}), sheet.onPanel(offSmall, offText, {10, 26}),
               sheet.onPanel(accordBig, chordsText, {20, 26}), sheet.onPanel(offBig, offText, {10, 26})},
              {QStringLiteral("Animate/accord.bmp"), QStringLiteral("Animate/disable.bmp"),
               QStringLiteral("BigAnimate/accord.bmp"), QStringLiteral("BigAnimate/disable.bmp")});

    for (const auto& style : styles) {
        sheet.heading(
            QStringLiteral("Full view frames (BigAnimate/, 364 x 170, shown at half size), %1 style")
                .arg(QLatin1String(style.title)));
        for (const frames::SetInfo& set : frames::sets()) {
            QVector<QImage> row;
            QStringList labels;
            for (int f = 0; f < frames::kFramesPerSet; ++f) {
                row.append(frames::renderFrame(set.key, f, style.style, frames::kFullSize));
                labels.append(frames::fileName(set.key, f, style.style));
            }
            sheet.row(row, labels, 0.5);
        }
    }

    sheet.heading(QStringLiteral("Splash and about picture, banner, export background (Images/)"));
    sheet.row({artwork::renderSplash(), artwork::renderBanner(), artwork::renderBackgroundTile()},
              {QStringLiteral("splash.jpg"), QStringLiteral("banner.jpg"), QStringLiteral("bk.jpg")});
    return sheet.take();
}

} // namespace contactsheet
