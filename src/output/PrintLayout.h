#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <vector>

// What a printed score holds and where it goes: the titles and captions, the
// geometry of the current-page picture and of a two-page sheet, and the
// scaling of a picture onto the printed page. Plain rules, no drawing.
namespace printlayout {

// What the titles read of the window: the ringing chosen in the common list
// (empty when none), group-ringing mode and the ringing chosen in each
// group's selector (empty when none).
struct TitleInput {
    QString ringingName;
    bool groupRingingMode = false;
    std::array<QString, 3> groupRingingNames;
};

// The program's name and " : ", then the quoted ringing name and, for a ringing of more
// than one page, the page part "(Страница n)" of the zero-based current page.
QString currentPageTitle(const TitleInput& input, int pageCount, int currentPage);

// "Малые колокола: " (small), "Средние колокола: " or "Большие колокола: ",
// followed in group-ringing mode by that group's ringing.
QString currentPageCaption(const TitleInput& input, int group);

// The ringing's name on every sheet; empty in group-ringing mode or with no
// ringing chosen.
QString sheetName(const TitleInput& input);

// "(Страница n)": n counts sheets, not score pages.
QString sheetPageLabel(int sheetNumber);

// "Малые колокола", "Средние колокола", "Большие колокола".
QString sheetCaption(int group);

// The current-page picture. Client sizes of the staff panels (small, middle,
// big) and the client width of the box that holds them.
struct CurrentPageGeometry {
    int boxWidth = 0;
    std::array<QSize, 3> staff;

    QSize pictureSize() const;
    static QPoint titlePos() { return {10, 10}; }
    QPoint captionPos(int group) const;
    QPoint imagePos(int group) const;
    // The copy of group g's score image: as wide as the middle staff, as high
    // as the middle staff for the middle group and the small one otherwise.
    QSize imageSize(int group) const;

private:
    int groupTop(int group) const;
};

// A sheet of two score pages, with W x H the outer size of the big staff.
struct SheetGeometry {
    QSize bigStaff;

    QSize pictureSize() const;
    // Column 0 is the left page, 1 the right one.
    QPoint imagePos(int column, int group) const;
    static QPoint namePos() { return {25, 10}; }
    static QPoint pageLabelPos() { return {25, 50}; }
    QPoint captionPos(int group) const;
};

// One printed sheet: its number (from 1) and the zero-based score pages on
// its halves; -1 for a right half left blank.
struct SheetPlan {
    int number = 0;
    int leftPage = 0;
    int rightPage = -1;
};

// Two score pages per sheet in order; nothing for fewer than one page.
std::vector<SheetPlan> planSheets(int pageCount);
// The same for the zero-based pages first .. last (clamped to the ringing's
// pages), sheets numbered from 1.
std::vector<SheetPlan> planSheets(int firstPage, int lastPage, int pageCount);

// The printed size of a picture on a page, keeping its aspect ratio: the
// full page width when the picture is relatively wider than the page, the
// full page height otherwise (integer multiply, then divide).
QSize scaleToPage(QSize picture, QSize page);

} // namespace printlayout
