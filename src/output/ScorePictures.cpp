#include "output/ScorePictures.h"

#include "ui/ColourKey.h"

#include <QPainter>
#include <QPrinter>

namespace scorepictures {

namespace {

void drawTopLeftText(QPainter& painter, QPoint at, const QString& text) {
    const QRect area(
        at, QSize(std::max(1, painter.device()->width() - at.x()), painter.fontMetrics().height() * 2));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

QFont fontOfSize(int points, bool boldUnderlined = false) {
    QFont font;
    font.setPointSize(points);
    font.setBold(boldUnderlined);
    font.setUnderline(boldUnderlined);
    return font;
}

QImage whitePicture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

} // namespace

QImage transparentCopy(const QImage& image, QSize size, const QColor& face) {
    QImage copy(size, QImage::Format_ARGB32);
    copy.fill(face);
    {
        QPainter painter(&copy);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), image);
    }
    clearColourKey(copy, face.rgb());
    return copy;
}

QImage currentPage(const printlayout::CurrentPageGeometry& geometry, const QString& title,
                   const std::array<QString, 3>& captions, const std::array<QImage, 3>& images,
                   const QColor& face) {
    QImage picture = whitePicture(geometry.pictureSize());
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setFont(fontOfSize(8));
    drawTopLeftText(painter, printlayout::CurrentPageGeometry::titlePos(), title);
    for (int g = 0; g < 3; ++g) {
        const auto i = static_cast<std::size_t>(g);
        drawTopLeftText(painter, geometry.captionPos(g), captions[i]);
        painter.drawImage(geometry.imagePos(g), transparentCopy(images[i], geometry.imageSize(g), face));
    }
    return picture;
}

QImage sheet(const printlayout::SheetGeometry& geometry, const QString& name, int sheetNumber,
             const std::array<QImage, 3>& left, const std::array<QImage, 3>& right, const QColor& face) {
    QImage picture = whitePicture(geometry.pictureSize());
    QPainter painter(&picture);
    const std::array<QImage, 3>* columns[2] = {&left, &right};
    for (int c = 0; c < 2; ++c) {
        for (int g = 0; g < 3; ++g) {
            const QImage& image = (*columns[c])[static_cast<std::size_t>(g)];
            if (!image.isNull()) {
                painter.drawImage(geometry.imagePos(c, g), transparentCopy(image, image.size(), face));
            }
        }
    }
    painter.setPen(Qt::black);
    painter.setFont(fontOfSize(18, true));
    drawTopLeftText(painter, printlayout::SheetGeometry::namePos(), name);
    painter.setFont(fontOfSize(14));
    drawTopLeftText(painter, printlayout::SheetGeometry::pageLabelPos(),
                    printlayout::sheetPageLabel(sheetNumber));
    for (int g = 0; g < 3; ++g) {
        drawTopLeftText(painter, geometry.captionPos(g), printlayout::sheetCaption(g));
    }
    return picture;
}

struct PicturePrinter::State {
    QPainter painter;
    int pages = 0;
};

PicturePrinter::PicturePrinter(QPrinter& printer) : m_printer(printer) {}

PicturePrinter::~PicturePrinter() {
    end();
}

bool PicturePrinter::begin(const QString& title) {
    end();
    m_printer.setPageOrientation(QPageLayout::Landscape);
    m_printer.setDocName(title);
    m_state = std::make_unique<State>();
    if (!m_state->painter.begin(&m_printer)) {
        m_state.reset();
        return false;
    }
    return true;
}

bool PicturePrinter::addPage(const QImage& picture) {
    if (!m_state) {
        return false;
    }
    if (m_state->pages > 0 && !m_printer.newPage()) {
        return false;
    }
    ++m_state->pages;
    const QRect page = m_printer.pageLayout().paintRectPixels(m_printer.resolution());
    const QSize printed = printlayout::scaleToPage(picture.size(), page.size());
    m_state->painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_state->painter.drawImage(QRect(QPoint(0, 0), printed), picture);
    return true;
}

bool PicturePrinter::end() {
    if (!m_state) {
        return false;
    }
    const bool ok = m_state->painter.end();
    m_state.reset();
    return ok;
}

} // namespace scorepictures
