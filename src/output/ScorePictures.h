#pragma once

#include "output/PrintLayout.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <array>
#include <memory>

class QPrinter;

// The pictures that are printed: white pages with the score images copied
// onto them, the window colour of each copy left transparent so that the
// white shows through.
namespace scorepictures {

// A copy of `image` at `size` (cut or extended with the window colour), with
// every pixel of the window colour transparent.
QImage transparentCopy(const QImage& image, QSize size, const QColor& face);

// One page on one sheet: the title, each group's caption and score image.
QImage currentPage(const printlayout::CurrentPageGeometry& geometry, const QString& title,
                   const std::array<QString, 3>& captions, const std::array<QImage, 3>& images,
                   const QColor& face);

// A sheet of two pages; a null image in `right` leaves that place blank.
QImage sheet(const printlayout::SheetGeometry& geometry, const QString& name, int sheetNumber,
             const std::array<QImage, 3>& left, const std::array<QImage, 3>& right, const QColor& face);

// Prints pictures as the pages of one landscape document: each scaled to the
// printable area keeping its aspect ratio, from the page's top-left corner.
// One job for all of them, so that a PDF file keeps every page.
class PicturePrinter {
public:
    explicit PicturePrinter(QPrinter& printer);
    ~PicturePrinter();
    PicturePrinter(const PicturePrinter&) = delete;
    PicturePrinter& operator=(const PicturePrinter&) = delete;

    // False when the printer cannot start the document (no printer, a
    // cancelled job, an unwritable file).
    bool begin(const QString& title);
    bool addPage(const QImage& picture);
    bool end();

private:
    QPrinter& m_printer;
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace scorepictures
