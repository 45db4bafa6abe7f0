// With «Крупные ноты» in the window the staff stands right of the key
// letters' margin: the hit test, the editor's column marks and the cursor
// bars follow it.

#include "record/ScoreHitTest.h"
#include "score/ReadableScore.h"
#include "score/ScoreLayout.h"

#include <gtest/gtest.h>

namespace {

constexpr std::array<int, 3> kFullCounts = {5, 6, 8};

// Every position of every group struck in turn over the whole page, labelled.
ScorePage labelledPage() {
    ScorePage page;
    page.counts = kFullCounts;
    for (int g = 0; g < kScoreGroupCount; ++g) {
        const int count = kFullCounts[static_cast<size_t>(g)];
        for (int place = 0; place < kScorePageColumns; ++place) {
            page.groups[static_cast<size_t>(g)]
                << QStringLiteral("smb").at(g) + QString::number(place % count + 1);
        }
        page.keyLabels[static_cast<size_t>(g)] = QStringList(count, QStringLiteral("W"));
    }
    page.readable = true;
    page.keyMargin = true;
    page.roomAbove = true;
    return page;
}

// Every head drawn with the margin is hit as its own column and bell, its
// column's mark covers it, and a click on the margin edits nothing.
TEST(ScoreKeyMargin, HitTestAndMarksFollowTheMargin) {
    for (const QSize size : {QSize(700, 120), QSize(960, 190), QSize(1500, 280)}) {
        const ScorePage page = labelledPage();
        for (int g = 0; g < kScoreGroupCount; ++g) {
            SCOPED_TRACE(QStringLiteral("group %1 %2").arg(g).arg(size.width()).toStdString());
            const ScoreStaffArea area = scoreStaffArea(g, size, page);
            const int count = kFullCounts[static_cast<size_t>(g)];
            const std::vector<ScoreHead> heads = scoreHeads(g, size, page);
            ASSERT_EQ(heads.size(), size_t(kScorePageColumns));
            for (const ScoreHead& head : heads) {
                EXPECT_GT(head.x, area.left);
                const std::optional<ScoreHit> hit =
                    hitScore(g, size, 0, count, QPoint(head.x, head.y), area.top, area.left);
                ASSERT_TRUE(hit);
                EXPECT_EQ(hit->column, head.column);
                EXPECT_EQ(QStringLiteral("smb").at(g) + QString::number(hit->position), head.token);
                const QRect mark = columnsRect(size, 0, head.column, head.column, area.left);
                EXPECT_TRUE(mark.left() <= head.x && head.x <= mark.right()) << head.column;
                // The bar of the head's column stands over it.
                const int barLeft = scoreCursorLeft(head.column, area);
                const int barWidth = scoreCursorSize(QSize(area.size.width(), size.height())).width();
                EXPECT_LE(std::abs(barLeft + barWidth / 2 - head.x), barWidth) << head.column;
            }
            for (const ScoreText& label : layoutReadableLabels(g, size, page)) {
                EXPECT_FALSE(hitScore(g, size, 0, count, label.box.center(), area.top, area.left));
            }
        }
    }
}

} // namespace
