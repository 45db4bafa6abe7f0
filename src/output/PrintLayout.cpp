#include "output/PrintLayout.h"

#include "base/WindowCaptions.h"

#include <algorithm>
#include <cstdint>

namespace printlayout {

namespace {

const QString kGroupCaptions[3] = {QStringLiteral("Малые колокола"), QStringLiteral("Средние колокола"),
                                   QStringLiteral("Большие колокола")};

bool validGroup(int group) {
    return group >= 0 && group < 3;
}

} // namespace

QString currentPageTitle(const TitleInput& input, int pageCount, int currentPage) {
    QString title = captions::kProgram + QStringLiteral(" : ");
    if (!input.groupRingingMode && !input.ringingName.isEmpty()) {
        title += u'"' + input.ringingName + QStringLiteral("\" ");
        if (pageCount > 1) {
            title += QStringLiteral("(Страница %1)").arg(currentPage + 1);
        }
    }
    return title;
}

QString currentPageCaption(const TitleInput& input, int group) {
    if (!validGroup(group)) {
        return {};
    }
    QString caption = kGroupCaptions[group] + QStringLiteral(": ");
    if (input.groupRingingMode) {
        caption += input.groupRingingNames[static_cast<std::size_t>(group)];
    }
    return caption;
}

QString sheetName(const TitleInput& input) {
    return input.groupRingingMode ? QString() : input.ringingName;
}

QString sheetPageLabel(int sheetNumber) {
    return QStringLiteral("(Страница %1)").arg(sheetNumber);
}

QString sheetCaption(int group) {
    return validGroup(group) ? kGroupCaptions[group] : QString();
}

QSize CurrentPageGeometry::pictureSize() const {
    return {boxWidth, staff[0].height() + staff[1].height() + staff[2].height() + 100};
}

// Every group advances by the small staff's height: the bands are laid out
// with equal heights, and the picture keeps that spacing.
int CurrentPageGeometry::groupTop(int group) const {
    return group * (staff[0].height() + 20);
}

QPoint CurrentPageGeometry::captionPos(int group) const {
    return {10, groupTop(group) + 30};
}

QPoint CurrentPageGeometry::imagePos(int group) const {
    return {10, groupTop(group) + 50};
}

QSize CurrentPageGeometry::imageSize(int group) const {
    return {staff[1].width(), group == 1 ? staff[1].height() : staff[0].height()};
}

QSize SheetGeometry::pictureSize() const {
    return {2 * bigStaff.width() + 50, 3 * bigStaff.height() + 450};
}

QPoint SheetGeometry::imagePos(int column, int group) const {
    return {25 + column * bigStaff.width(), 150 + group * (bigStaff.height() + 100)};
}

QPoint SheetGeometry::captionPos(int group) const {
    return {25, 100 + group * (bigStaff.height() + 100)};
}

std::vector<SheetPlan> planSheets(int pageCount) {
    return planSheets(0, pageCount - 1, pageCount);
}

std::vector<SheetPlan> planSheets(int firstPage, int lastPage, int pageCount) {
    const int first = std::max(0, firstPage);
    const int last = std::min(lastPage, pageCount - 1);
    std::vector<SheetPlan> sheets;
    for (int page = first; page <= last; page += 2) {
        SheetPlan sheet;
        sheet.number = static_cast<int>(sheets.size()) + 1;
        sheet.leftPage = page;
        sheet.rightPage = page + 1 <= last ? page + 1 : -1;
        sheets.push_back(sheet);
    }
    return sheets;
}

QSize scaleToPage(QSize picture, QSize page) {
    if (picture.width() <= 0 || picture.height() <= 0 || page.width() <= 0 || page.height() <= 0) {
        return {0, 0};
    }
    const std::int64_t pw = picture.width();
    const std::int64_t ph = picture.height();
    const std::int64_t w = page.width();
    const std::int64_t h = page.height();
    if (pw * h > w * ph) {
        return {page.width(), static_cast<int>(ph * w / pw)};
    }
    return {static_cast<int>(pw * h / ph), page.height()};
}

} // namespace printlayout
