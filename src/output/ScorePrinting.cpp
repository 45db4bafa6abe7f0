#include "output/ScorePrinting.h"

#include "base/Logging.h"
#include "output/KeyboardRingingPause.h"
#include "output/OutputHost.h"
#include "output/PrintFile.h"
#include "output/ScoreImages.h"
#include "output/ScorePictures.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace {

// Where a print job goes, for the log: the PDF file or the printer.
QString printTarget(const QPrinter& printer) {
    return printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
}

// A failed print is not shown to the user; the log names the step.
void logPrintFailure(const QPrinter& printer, const char* step) {
    qCWarning(lcOutput) << "printing to" << printTarget(printer) << "failed:" << step;
}

} // namespace

void ScorePrinting::nPrintClick() {
    m_host.switchScoreOn();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, m_host.window());
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    configureDialog(dialog, printer, pageCount());
    {
        const KeyboardRingingPause typing(m_host);
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
    return m_host.pageCount();
}

printlayout::TitleInput ScorePrinting::titleInput() const {
    printlayout::TitleInput input;
    const int chosen = m_host.chosenCommonRinging();
    if (chosen > 0) {
        input.ringingName = m_host.commonRingingName(chosen);
    }
    input.groupRingingMode = m_host.groupRingingMode();
    for (int g = 0; g < kGroupCount; ++g) {
        input.groupRingingNames[static_cast<std::size_t>(g)] = m_host.chosenGroupRinging(groupAt(g));
    }
    return input;
}

template <typename Print> bool ScorePrinting::printWhole(QPrinter& printer, Print print) {
    PrintFile file(printer);
    const bool existed = file.toFile() && QFileInfo::exists(file.target());
    const bool ready = file.ready();
    const bool printed = ready && print();
    if (file.finish(printed)) {
        return true;
    }
    if (!file.toFile()) {
        return false;
    }
    if (!ready) {
        qCWarning(lcOutput) << "printing to" << file.target()
                            << "failed: no temporary file can be made beside it";
    } else if (printed) {
        qCWarning(lcOutput) << "printing to" << file.target() << "failed: the document was not written whole";
    }
    const QString path = QDir::toNativeSeparators(file.target());
    m_host.showStatusMessage(
        existed ? QStringLiteral("Печать не выполнена: файл %1 не записан, прежний файл оставлен как был")
                      .arg(path)
                : QStringLiteral("Печать не выполнена: файл %1 не записан").arg(path));
    return false;
}

bool ScorePrinting::printCurrentPage(QPrinter& printer) {
    return printWhole(printer, [&] { return drawCurrentPage(printer); });
}

bool ScorePrinting::drawCurrentPage(QPrinter& printer) {
    m_host.switchScoreOn();
    printlayout::CurrentPageGeometry geometry;
    geometry.boxWidth = m_host.stavesBox()->contentsRect().width();
    for (int g = 0; g < kGroupCount; ++g) {
        geometry.staff[static_cast<std::size_t>(g)] = m_host.staff(groupAt(g))->contentsRect().size();
    }
    const int page = m_host.currentPage();
    const ScoreSnapshot score = scoreSnapshot(m_host);
    const printlayout::TitleInput input = titleInput();
    std::array<QString, 3> captions;
    std::array<QImage, 3> images;
    for (int g = 0; g < kGroupCount; ++g) {
        const auto i = static_cast<std::size_t>(g);
        captions[i] = printlayout::currentPageCaption(input, g);
        images[i] = scoreGroupImage(score, g, page, geometry.staff[i]);
    }
    const QString title = printlayout::currentPageTitle(input, pageCount(), page);
    scorepictures::PicturePrinter out(printer);
    if (!out.begin(title)) {
        logPrintFailure(printer, "starting the document of the current page");
        return false;
    }
    const bool printed =
        out.addPage(scorepictures::currentPage(geometry, title, captions, images, score.face));
    if (!printed) {
        logPrintFailure(printer, "printing the current page");
    }
    if (!out.end()) {
        logPrintFailure(printer, "finishing the document of the current page");
        return false;
    }
    return printed;
}

bool ScorePrinting::printAllPages(QPrinter& printer) {
    return printPages(printer, 0, pageCount() - 1);
}

bool ScorePrinting::printPages(QPrinter& printer, int first, int last) {
    return printWhole(printer, [&] { return drawPages(printer, first, last); });
}

bool ScorePrinting::drawPages(QPrinter& printer, int first, int last) {
    m_host.switchScoreOn();
    const std::vector<printlayout::SheetPlan> sheets = printlayout::planSheets(first, last, pageCount());
    if (sheets.empty()) {
        logPrintFailure(printer, "planning the sheets: no score page in the range");
        return false;
    }
    const printlayout::SheetGeometry geometry{m_host.staff(BellGroup::Big)->size()};
    const QSize middle = m_host.staff(BellGroup::Middle)->size();
    const ScoreSnapshot score = scoreSnapshot(m_host);
    const QString name = printlayout::sheetName(titleInput());

    // The score view follows the pages as they are printed, so that it shows
    // the last one afterwards.
    auto pageImages = [&](int page) {
        m_host.drawScorePage(page);
        std::array<QImage, 3> images;
        for (int g = 0; g < kGroupCount; ++g) {
            images[static_cast<std::size_t>(g)] =
                scoreGroupImage(score, g, page, groupAt(g) == BellGroup::Middle ? middle : geometry.bigStaff);
        }
        return images;
    };

    scorepictures::PicturePrinter out(printer);
    if (!out.begin(name)) {
        logPrintFailure(printer, "starting the document of the sheets");
        return false;
    }
    bool printed = true;
    for (const printlayout::SheetPlan& plan : sheets) {
        const std::array<QImage, 3> left = pageImages(plan.leftPage);
        const std::array<QImage, 3> right =
            plan.rightPage >= 0 ? pageImages(plan.rightPage) : std::array<QImage, 3>{};
        if (!out.addPage(scorepictures::sheet(geometry, name, plan.number, left, right, score.face))) {
            qCWarning(lcOutput) << "printing to" << printTarget(printer) << "failed: sheet" << plan.number;
            printed = false;
            break;
        }
    }
    if (!out.end()) {
        logPrintFailure(printer, "finishing the document of the sheets");
        return false;
    }
    return printed;
}
