#pragma once

#include "output/PrintLayout.h"

class OutputHost;
class QPrintDialog;
class QPrinter;

// "Печать": the score of the ringing in the main window, either the current
// page on one sheet or all pages (or the range of pages the user asked for)
// two to a sheet. The window's score is
// switched on first and stays on; printing all pages leaves the last page
// current in the score view, while the play position and the page selector
// stay where they were.
class ScorePrinting {
public:
    explicit ScorePrinting(OutputHost& host) : m_host(host) {}

    // The menu command: the print dialog, then the range the user chose.
    void nPrintClick();

    // The dialog offers the current page (the selection, preselected) or all
    // pages, with no page ranges.
    static void configureDialog(QPrintDialog& dialog, QPrinter& printer, int pageCount);

    // False when nothing could be printed; the user is not told, the step
    // that failed is logged. A file printed to is replaced only by a complete
    // document; when it cannot be, the status bar says so and an earlier
    // file stays as it was.
    bool printCurrentPage(QPrinter& printer);
    bool printAllPages(QPrinter& printer);
    // Pages first .. last (zero-based), two to a sheet, as all pages are.
    bool printPages(QPrinter& printer, int first, int last);

    int pageCount() const;
    printlayout::TitleInput titleInput() const;

private:
    // Runs `print` with the printer's file (if any) written whole or not at all.
    template <typename Print> bool printWhole(QPrinter& printer, Print print);
    bool drawCurrentPage(QPrinter& printer);
    bool drawPages(QPrinter& printer, int first, int last);

    OutputHost& m_host;
};
