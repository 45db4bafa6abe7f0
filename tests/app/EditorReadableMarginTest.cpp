// «Крупные ноты» in a 1280 x 1024 window: the key letters' margin moves the
// staves right, and the cursor bars, the clicks of the editor and the
// editor's marks move with them.

#include "EditorWindowFixture.h"

#include "score/ReadableScore.h"

#include <QFrame>

TEST_F(EditorWindow, ReadableMarginMovesBarsAndClicksWithTheStaff) {
    TfrmMain& w = start();
    w.resize(1280, 1024);
    ScoreView& view = *w.scoreView();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    ASSERT_TRUE(waitFor([&] { return view.image(0)->width() < 1300 && view.image(0)->width() > 600; }));
    const int before = view.cursor(0)->x() - view.image(0)->x();
    EXPECT_EQ(view.cursorArea(0).left, 0);

    view.setReadable(true);
    QCoreApplication::processEvents();
    const QSize size = view.image(0)->size();
    const int margin = readableKeyMargin(size.width());
    for (int g = 0; g < kScoreGroupCount; ++g) {
        const ScoreStaffArea area = scoreStaffArea(g, view.image(g)->size(), view.currentPage());
        EXPECT_EQ(area.left, margin);
        EXPECT_EQ(view.cursorArea(g).left, margin);
        // The bar of column 0 stands right of the margin, over the first column.
        const int barLeft = view.cursor(g)->x() - view.image(g)->x();
        EXPECT_GE(barLeft, margin) << "group " << g;
        EXPECT_EQ(barLeft, scoreCursorLeft(0, area)) << "group " << g;
        // The letters of this window's staves are full size, the heads past the old 7 x 5.
        EXPECT_GE(readableMarginLabelPixels(g, area.size, area.left), kMarginLabelPixels) << "group " << g;
        const ReadableMetrics heads = readableMetrics(g, area.size, true);
        EXPECT_GT(heads.headWidth * heads.headHeight, 7 * 5) << "group " << g;
        std::cerr << "SIZE " << g << " " << view.image(g)->width() << "x" << view.image(g)->height()
                  << " staff " << area.size.width() << "x" << area.size.height() << " px "
                  << readableMarginLabelPixels(g, area.size, area.left) << " head "
                  << readableMetrics(g, area.size).headWidth << "x"
                  << readableMetrics(g, area.size).headHeight << "\n";
    }
    EXPECT_GT(view.cursor(0)->x() - view.image(0)->x(), before);

    // A click on a head's place writes that column and bell, margin or not.
    clickSmall(w, 4, 1);
    clickSmall(w, 63, 2);
    EXPECT_EQ(w.commonScoreLine(4), QStringLiteral("s1"));
    EXPECT_EQ(w.commonScoreLine(63), QStringLiteral("s2"));
    view.setReadable(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.cursor(0)->x() - view.image(0)->x(), before);
    clickSmall(w, 5, 2);
    EXPECT_EQ(w.commonScoreLine(5), QStringLiteral("s2"));
}
