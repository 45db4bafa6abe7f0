// Titles, captions and geometry of the printed score.

#include "output/PrintLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace printlayout;

TEST(PrintTitles, CurrentPageTitleAndCaptions) {
    struct Case {
        const char* what;
        TitleInput input;
        int pages, page;
        QString title;
        std::array<QString, 3> captions;
    };
    TitleInput named;
    named.ringingName = QStringLiteral("Трезвон");
    TitleInput group;
    group.ringingName = QStringLiteral("Трезвон"); // a stale common name is not shown in group mode
    group.groupRingingMode = true;
    group.groupRingingNames = {QStringLiteral("Малый"), QString(), QStringLiteral("Большой")};
    const Case cases[] = {
        {"no ringing: only the prefix",
         TitleInput{},
         3,
         1,
         QStringLiteral("Campanix 1.2 : "),
         {QStringLiteral("Малые колокола: "), QStringLiteral("Средние колокола: "),
          QStringLiteral("Большие колокола: ")}},
        // One page: the quoted name with its blank and no page part.
        {"one page",
         named,
         1,
         0,
         QStringLiteral("Campanix 1.2 : \"Трезвон\" "),
         {QStringLiteral("Малые колокола: "), QStringLiteral("Средние колокола: "),
          QStringLiteral("Большие колокола: ")}},
        // The page part counts from 1.
        {"page 2 of 3",
         named,
         3,
         1,
         QStringLiteral("Campanix 1.2 : \"Трезвон\" (Страница 2)"),
         {QStringLiteral("Малые колокола: "), QStringLiteral("Средние колокола: "),
          QStringLiteral("Большие колокола: ")}},
        // Group mode: no name in the title, each group's ringing in its caption.
        {"group ringings",
         group,
         2,
         0,
         QStringLiteral("Campanix 1.2 : "),
         {QStringLiteral("Малые колокола: Малый"), QStringLiteral("Средние колокола: "),
          QStringLiteral("Большие колокола: Большой")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(currentPageTitle(c.input, c.pages, c.page), c.title) << c.what;
        for (int g = 0; g < 3; ++g) {
            EXPECT_EQ(currentPageCaption(c.input, g), c.captions[static_cast<std::size_t>(g)]) << c.what << g;
        }
    }
    EXPECT_EQ(sheetName(named), QStringLiteral("Трезвон"));
    EXPECT_EQ(sheetName(group), QString());
    EXPECT_EQ(sheetName(TitleInput{}), QString());
    EXPECT_EQ(sheetPageLabel(2), QStringLiteral("(Страница 2)"));
}

// Sheets pair the pages; the number counts sheets; an odd last page leaves
// the right half blank; no pages, no sheets.
TEST(PrintSheets, PagesPairedOnNumberedSheets) {
    EXPECT_TRUE(planSheets(0).empty());
    const std::vector<SheetPlan> three = planSheets(3);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(three[0].number, 1);
    EXPECT_EQ(three[0].leftPage, 0);
    EXPECT_EQ(three[0].rightPage, 1);
    EXPECT_EQ(three[1].number, 2);
    EXPECT_EQ(three[1].leftPage, 2);
    EXPECT_EQ(three[1].rightPage, -1);
    const std::vector<SheetPlan> four = planSheets(4);
    ASSERT_EQ(four.size(), 2u);
    EXPECT_EQ(four[1].rightPage, 3);
    EXPECT_EQ(planSheets(1).size(), 1u);
    // A range: pages 2..4 of 6 on sheets numbered from 1; a range past the
    // ringing is cut to its pages.
    const std::vector<SheetPlan> range = planSheets(1, 3, 6);
    ASSERT_EQ(range.size(), 2u);
    EXPECT_EQ(range[0].number, 1);
    EXPECT_EQ(range[0].leftPage, 1);
    EXPECT_EQ(range[0].rightPage, 2);
    EXPECT_EQ(range[1].leftPage, 3);
    EXPECT_EQ(range[1].rightPage, -1);
    EXPECT_EQ(planSheets(4, 9, 6).size(), 1u);
    EXPECT_TRUE(planSheets(-1, -1, 6).empty());
}

TEST(PrintSheets, Geometry) {
    const SheetGeometry sheet{QSize(700, 120)};
    EXPECT_EQ(sheet.pictureSize(), QSize(1450, 810));
    EXPECT_EQ(sheet.imagePos(0, 0), QPoint(25, 150));
    EXPECT_EQ(sheet.imagePos(1, 2), QPoint(725, 590));
    EXPECT_EQ(sheet.captionPos(0), QPoint(25, 100));
    EXPECT_EQ(sheet.captionPos(1), QPoint(25, 320)); // H + 200
    EXPECT_EQ(sheet.captionPos(2), QPoint(25, 540)); // 2H + 300

    CurrentPageGeometry page;
    page.boxWidth = 800;
    page.staff = {QSize(780, 100), QSize(781, 110), QSize(782, 120)};
    EXPECT_EQ(page.pictureSize(), QSize(800, 430));
    // Every group moves down by the small staff's height plus 20.
    EXPECT_EQ(page.captionPos(1), QPoint(10, 150));
    EXPECT_EQ(page.imagePos(2), QPoint(10, 290));
    // Copies are as wide as the middle staff; the middle one as high as its
    // own staff, the others as the small one.
    EXPECT_EQ(page.imageSize(0), QSize(781, 100));
    EXPECT_EQ(page.imageSize(1), QSize(781, 110));
    EXPECT_EQ(page.imageSize(2), QSize(781, 100));
}

TEST(PrintScaling, KeepsTheAspectRatio) {
    struct Case {
        QSize picture, page, printed;
    };
    const Case cases[] = {
        {{2000, 1000}, {1000, 800}, {1000, 500}},  // wider than the page: full width
        {{1000, 1000}, {1000, 800}, {800, 800}},   // taller: full height
        {{500, 400}, {1000, 800}, {1000, 800}},    // same ratio: the whole page
        {{1450, 810}, {3000, 2000}, {3000, 1675}}, // multiply first, then divide (1675.86 truncated)
        {{0, 10}, {1000, 800}, {0, 0}},            // an empty picture prints nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scaleToPage(c.picture, c.page), c.printed)
            << c.picture.width() << "x" << c.picture.height();
    }
}

} // namespace
