// Printing the score: the pictures, the PDF document the printer writes,
// the print dialog and the state printing leaves.

#include "OutputWindow.h"
#include "output/OutputHost.h"
#include "output/PrintFile.h"
#include "output/ScorePictures.h"
#include "output/ScorePrinting.h"
#include "playback/TransportPanel.h"
#include "playback/TransportState.h"
#include "support/FileSizeLimit.h"

#include <QCheckBox>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>

namespace {

// pdfinfo's "Pages:" and the page size; nothing when pdfinfo is missing.
struct PdfInfo {
    int pages = 0;
    double width = 0, height = 0;
};
std::optional<PdfInfo> pdfInfo(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit) {
        return std::nullopt;
    }
    PdfInfo info;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n')) {
        const QStringList words = line.simplified().split(u' ');
        if (words.value(0) == QStringLiteral("Pages:")) {
            info.pages = words.value(1).toInt();
        } else if (words.value(0) == QStringLiteral("Page") && words.value(1) == QStringLiteral("size:")) {
            info.width = words.value(2).toDouble();
            info.height = words.value(4).toDouble();
        }
    }
    return info;
}

class PrintWindow : public OutputWindow {
protected:
    QString pdfPath(const QString& name) const { return m_out.path() + u'/' + name; }
    void toPdf(QPrinter& printer, const QString& name) const {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath(name));
    }
    QTemporaryDir m_out;
};

// All pages of a three-page ringing: two landscape sheets in one document;
// the score stays on and shows the last page; the page selector and the play
// position stay where they were.
TEST_F(PrintWindow, AllPagesOfThreePagesMakeOneDocumentOfTwoSheets) {
    writeCommonList({{QStringLiteral("Трезвон"), 150}});
    start();
    choose(1);
    control<QCheckBox>(*frm, "cbShowNotes")->setChecked(false);
    ASSERT_EQ(control<TUpDown>(*frm, "udPage")->max(), 3);
    const int column = frm->transport().state().currentColumn;

    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, QStringLiteral("all.pdf"));
    ScorePrinting& printing = frm->output()->printing();
    ASSERT_TRUE(printing.printAllPages(printer));
    EXPECT_TRUE(control<QCheckBox>(*frm, "cbShowNotes")->isChecked());
    EXPECT_EQ(frm->transport().state().currentPage, 2);
    EXPECT_EQ(frm->transport().state().currentColumn, column);
    EXPECT_EQ(control<TUpDown>(*frm, "udPage")->position(), 1);
    EXPECT_EQ(printer.docName(), QStringLiteral("Трезвон"));

    const std::optional<PdfInfo> info = pdfInfo(pdfPath(QStringLiteral("all.pdf")));
    if (!info) {
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    }
    EXPECT_EQ(info->pages, 2);
    EXPECT_GT(info->width, info->height); // landscape

    QPrinter current(QPrinter::HighResolution);
    toPdf(current, QStringLiteral("current.pdf"));
    ASSERT_TRUE(printing.printCurrentPage(current));
    EXPECT_EQ(current.docName(), QStringLiteral("Campanix 1.2 : \"Трезвон\" (Страница 3)"));
    const std::optional<PdfInfo> one = pdfInfo(pdfPath(QStringLiteral("current.pdf")));
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(one->pages, 1);
    EXPECT_GT(one->width, one->height);
}

// A document that cannot be written prints nothing; the user is not told,
// the log names the file.
TEST_F(PrintWindow, AnUnwritableDocumentFailsAndIsLogged) {
    writeCommonList({{QStringLiteral("Трезвон"), 150}});
    start();
    choose(1);
    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, QStringLiteral("no such folder/out.pdf"));
    const OutputWarnings warnings;
    EXPECT_FALSE(frm->output()->printing().printCurrentPage(printer));
    EXPECT_FALSE(frm->output()->printing().printAllPages(printer));
    ASSERT_EQ(warnings.messages.size(), 2) << warnings.messages.join('\n').toStdString();
    for (const QString& message : warnings.messages) {
        EXPECT_TRUE(message.contains(QStringLiteral("no such folder/out.pdf"))) << message.toStdString();
    }
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_TRUE(frm->statusBar()->currentMessage().contains(QStringLiteral("no such folder/out.pdf")));
}

// A disk that fills up while the PDF is written (here a file size limit,
// which fails the writes as a full disk does): the earlier PDF stays as it
// was, no temporary file is left, and the status bar says the file was not
// written. Printing again with room replaces it with a whole document.
TEST_F(PrintWindow, AFullDiskKeepsTheEarlierDocument) {
    writeCommonList({{QStringLiteral("Трезвон"), 150}});
    start();
    choose(1);
    const QString path = pdfPath(QStringLiteral("score.pdf"));
    const QByteArray earlier("%PDF-1.4 an earlier document\n%%EOF\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }
    ScorePrinting& printing = frm->output()->printing();
    for (const bool allPages : {false, true}) {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, QStringLiteral("score.pdf"));
        bool printed = true;
        {
            const FileSizeLimit full(20000);
            printed = allPages ? printing.printAllPages(printer) : printing.printCurrentPage(printer);
        }
        EXPECT_FALSE(printed) << allPages;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), earlier) << allPages;
        EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("score.pdf")});
        const QString message = frm->statusBar()->currentMessage();
        EXPECT_TRUE(message.contains(QStringLiteral("score.pdf")) &&
                    message.contains(QStringLiteral("не записан")))
            << message.toStdString();
        EXPECT_EQ(printer.outputFileName(), path); // the dialog offers the same file next time
    }

    QPrinter printer(QPrinter::HighResolution);
    toPdf(printer, QStringLiteral("score.pdf"));
    ASSERT_TRUE(printing.printCurrentPage(printer));
    EXPECT_TRUE(isCompletePdf(path));
    EXPECT_EQ(QFileInfo(path).permissions() & QFile::ReadOther, QFile::ReadOther);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("score.pdf")});
}

// Group ringings: the titles read the group selectors, not the common list.
TEST_F(PrintWindow, GroupRingingTitlesNameTheGroupRingings) {
    writeCommonList({{QStringLiteral("Трезвон"), 150}});
    start();
    choose(1);
    for (int g : {0, 2}) {
        const QByteArray name = "cbCustomSelection" + QByteArray::number(g);
        control<QComboBox>(*frm, name.constData())->setCurrentIndex(1);
        frm->cbCustomSelectionChange(g);
    }
    const printlayout::TitleInput input = frm->output()->printing().titleInput();
    EXPECT_TRUE(input.groupRingingMode);
    EXPECT_EQ(input.groupRingingNames[0], QStringLiteral("Малый"));
    EXPECT_EQ(input.groupRingingNames[1], QString());
    EXPECT_EQ(input.groupRingingNames[2], QStringLiteral("Большой"));
    EXPECT_EQ(printlayout::currentPageTitle(input, control<TUpDown>(*frm, "udPage")->max(), 0),
              QStringLiteral("Campanix 1.2 : "));
    EXPECT_EQ(printlayout::sheetName(input), QString());
}

// The dialog offers the current page (preselected) and all pages, no
// ranges; cancelling prints nothing but leaves the score on.
TEST_F(PrintWindow, DialogOffersCurrentOrAllPages) {
    writeCommonList({{QStringLiteral("Трезвон"), 150}});
    start();
    choose(1);
    control<QCheckBox>(*frm, "cbShowNotes")->setChecked(false);
    const OutputHost& host = frm->output()->host();
    bool seen = false;
    QTimer::singleShot(0, frm.get(), [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            return;
        }
        seen = true;
        EXPECT_EQ(dialog->minPage(), 1);
        EXPECT_EQ(dialog->maxPage(), 3);
        EXPECT_EQ(dialog->printRange(), QAbstractPrintDialog::Selection);
        EXPECT_TRUE(dialog->testOption(QAbstractPrintDialog::PrintSelection));
        EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
        EXPECT_EQ(dialog->printer()->toPage(), 3);
        // Typing into the dialog rings no bells.
        EXPECT_FALSE(host.keyboardRinging());
        dialog->reject();
    });
    ASSERT_TRUE(host.keyboardRinging());
    frm->nPrintClick();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(host.keyboardRinging());
    EXPECT_TRUE(control<QCheckBox>(*frm, "cbShowNotes")->isChecked());
}

// A sheet: the images go where the layout says with the window colour
// turned white, and a blank right half stays white.
TEST(ScorePictures, SheetPlacesImagesWithTheWindowColourTransparent) {
    ensureQtApplication(); // the captions need fonts
    const QColor face(212, 208, 200);
    const printlayout::SheetGeometry geometry{QSize(200, 60)};
    QImage score(200, 60, QImage::Format_RGB32);
    score.fill(face);
    score.setPixel(5, 5, qRgb(0, 0, 0)); // a note
    const std::array<QImage, 3> left{score, score, score};
    const QImage sheet = scorepictures::sheet(geometry, QStringLiteral("Звон"), 1, left, {}, face);
    ASSERT_EQ(sheet.size(), geometry.pictureSize());
    for (int g = 0; g < 3; ++g) {
        const QPoint at = geometry.imagePos(0, g);
        EXPECT_EQ(sheet.pixel(at + QPoint(5, 5)), qRgb(0, 0, 0)) << g;
        EXPECT_EQ(sheet.pixel(at + QPoint(100, 30)), qRgb(255, 255, 255))
            << g; // the window colour shows white
        const QPoint right = geometry.imagePos(1, g);
        EXPECT_EQ(sheet.pixel(right + QPoint(5, 5)), qRgb(255, 255, 255)) << g;
    }
    // The name and the captions are written in black at their places.
    auto inkNear = [&](QPoint at) {
        for (int y = at.y(); y < at.y() + 20; ++y) {
            for (int x = at.x(); x < at.x() + 40; ++x) {
                if (qGray(sheet.pixel(x, y)) < 100) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(inkNear(printlayout::SheetGeometry::namePos()));
    EXPECT_TRUE(inkNear(geometry.captionPos(2)));
}

} // namespace
