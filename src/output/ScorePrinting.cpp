#include "output/ScorePrinting.h"

#include "app/TfrmMain.h"
#include "output/KeyboardRingingPause.h"
#include "output/ScoreImages.h"
#include "output/ScorePictures.h"

#include <QPrintDialog>
#include <QPrinter>

void ScorePrinting::nPrintClick() {
    switchScoreOn();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, &m_window);
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    configureDialog(dialog, printer, pageCount());
    {
        const KeyboardRingingPause typing(m_window);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
    }
    switch (printer.printRange()) {
    case QPrinter::AllPages:
        printAllPages(printer);
        break;
    case QPrinter::PageRange:
        // The platform's dialog may offer a range even when asked not to:
        // the pages asked for are printed rather than some other page.
        printPages(printer, printer.fromPage() - 1, printer.toPage() - 1);
        break;
    default:
        printCurrentPage(printer);
        break;
    }
}

void ScorePrinting::configureDialog(QPrintDialog& dialog, QPrinter& printer, int pageCount) {
    const int last = std::max(1, pageCount);
    dialog.setMinMax(1, last);
    printer.setFromTo(1, last);
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintSelection, true);
    options.setFlag(QAbstractPrintDialog::PrintPageRange, false);
    options.setFlag(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOptions(options);
    dialog.setPrintRange(QAbstractPrintDialog::Selection);
}

int ScorePrinting::pageCount() const {
    return m_window.udPage ? m_window.udPage->max() : 0;
}

printlayout::TitleInput ScorePrinting::titleInput() const {
    printlayout::TitleInput input;
    if (m_window.cbCommon && m_window.cbCommon->currentIndex() > 0) {
        input.ringingName = m_window.cbCommon->currentText();
    }
    input.groupRingingMode = m_window.transportState().groupRingingMode;
    for (int g = 0; g < 3; ++g) {
        const QComboBox* selector = m_window.groupSelector(g);
        if (selector && selector->currentIndex() > 0) {
            input.groupRingingNames[static_cast<std::size_t>(g)] = selector->currentText();
        }
    }
    return input;
}

void ScorePrinting::switchScoreOn() {
    if (!m_window.cbShowNotes->isChecked()) {
        m_window.cbShowNotes->setChecked(true);
        m_window.cbShowNotesClick();
    }
}

bool ScorePrinting::printCurrentPage(QPrinter& printer) {
    switchScoreOn();
    const QFrame* staves[3] = {m_window.pnlSmallBells, m_window.pnlMiddleBells, m_window.pnlBigBells};
    printlayout::CurrentPageGeometry geometry;
    geometry.boxWidth = m_window.pnlBellsBox->contentsRect().width();
    for (int g = 0; g < 3; ++g) {
        geometry.staff[static_cast<std::size_t>(g)] = staves[g]->contentsRect().size();
    }
    const int page = m_window.transportState().currentPage;
    const ScoreSnapshot score = scoreSnapshot(m_window);
    const printlayout::TitleInput input = titleInput();
    std::array<QString, 3> captions;
    std::array<QImage, 3> images;
    for (int g = 0; g < 3; ++g) {
        const auto i = static_cast<std::size_t>(g);
        captions[i] = printlayout::currentPageCaption(input, g);
        images[i] = scoreGroupImage(score, g, page, geometry.staff[i]);
    }
    const QString title = printlayout::currentPageTitle(input, pageCount(), page);
    scorepictures::PicturePrinter out(printer);
    if (!out.begin(title)) {
        return false;
    }
    const bool printed =
        out.addPage(scorepictures::currentPage(geometry, title, captions, images, score.face));
    return out.end() && printed;
}

bool ScorePrinting::printAllPages(QPrinter& printer) {
    return printPages(printer, 0, pageCount() - 1);
}

bool ScorePrinting::printPages(QPrinter& printer, int first, int last) {
    switchScoreOn();
    const std::vector<printlayout::SheetPlan> sheets = printlayout::planSheets(first, last, pageCount());
    if (sheets.empty()) {
        return false;
    }
    const printlayout::SheetGeometry geometry{m_window.pnlBigBells->size()};
    const QSize middle = m_window.pnlMiddleBells->size();
    const ScoreSnapshot score = scoreSnapshot(m_window);
    const QString name = printlayout::sheetName(titleInput());

    // The score view follows the pages as they are printed, so that it shows
    // the last one afterwards.
    auto pageImages = [&](int page) {
        m_window.transportState().currentPage = page;
        m_window.RedrawScore();
        std::array<QImage, 3> images;
        for (int g = 0; g < 3; ++g) {
            images[static_cast<std::size_t>(g)] =
                scoreGroupImage(score, g, page, g == 1 ? middle : geometry.bigStaff);
        }
        return images;
    };

    scorepictures::PicturePrinter out(printer);
    if (!out.begin(name)) {
        return false;
    }
    bool printed = true;
    for (const printlayout::SheetPlan& plan : sheets) {
        const std::array<QImage, 3> left = pageImages(plan.leftPage);
        const std::array<QImage, 3> right =
            plan.rightPage >= 0 ? pageImages(plan.rightPage) : std::array<QImage, 3>{};
        if (!out.addPage(scorepictures::sheet(geometry, name, plan.number, left, right, score.face))) {
            printed = false;
            break;
        }
    }
    return out.end() && printed;
}
