// The window's staves keep room above the top line: whatever a page of the
// highest bells draws (heads, stems, beams, flags, rests) lies inside the picture, in the usual and the readable
// view, and the staff starts at its top edge where nothing rises above it.

#include "score/ReadableScore.h"
#include "score/ScoreLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The pixels a primitive covers, its pen included.
QRect covered(const ScorePrimitive& p) {
    if (p.kind != ScorePrimitiveKind::Line) {
        return p.box();
    }
    const int half = p.penWidth / 2; // a wider pen spreads to both sides of the pixel line
    return QRect(QPoint(std::min(p.a.x(), p.b.x()), std::min(p.a.y(), p.b.y())),
                 QPoint(std::max(p.a.x(), p.b.x()), std::max(p.a.y(), p.b.y())))
        .adjusted(-half, -half, half, half);
}

// Every one of the fifteen beat patterns, all heads of position `position`,
// then a bar with a lone first strike (a half or whole note in the low groups).
ScorePage patternsOf(int group, int count, int position) {
    ScorePage page;
    page.counts[static_cast<size_t>(group)] = count;
    QStringList& columns = page.groups[static_cast<size_t>(group)];
    const QString token = QStringLiteral("smb").at(group) + QString::number(position);
    for (int mask = 1; mask < 16; ++mask) {
        for (int j = 0; j < 4; ++j) {
            columns << ((mask >> j) & 1 ? token : QString());
        }
    }
    columns << token;
    while (columns.size() < kScorePageColumns) {
        columns << QString();
    }
    return page;
}

// A head on the top line (small bells: five of them; big bells: eight) with
// its stems and beams stays inside the picture of the window's staves; the
// same page laid out from the picture's top edge does not, which is the
// fault the room mends.
TEST(ScoreStaffArea, TopLineHeadsStemsAndBeamsStayInsideThePicture) {
    struct Case {
        int group;
        int count;
        int position; // the one on the top line
        QSize size;
    };
    const Case cases[] = {
        {0, 5, 1, QSize(640, 90)},   // the window's small staff
        {0, 5, 1, QSize(1280, 160)}, // a large window
        {0, 5, 1, QSize(600, 48)},   // the smallest window
        {2, 8, 8, QSize(640, 110)},
    };
    for (const Case& c : cases) {
        for (const bool readable : {false, true}) {
            ScorePage page = patternsOf(c.group, c.count, c.position);
            page.readable = readable;
            const std::vector<ScorePrimitive> flush = layoutScoreGroup(c.group, c.size, page);
            const bool flushInside = std::all_of(flush.begin(), flush.end(), [&](const ScorePrimitive& p) {
                return p.colour != ScoreColourRole::Ink || QRect(QPoint(0, 0), c.size).contains(covered(p));
            });
            EXPECT_FALSE(flushInside) << "group " << c.group << " " << c.size.width();

            page.roomAbove = true;
            const ScoreStaffArea area = scoreStaffArea(c.group, c.size, page);
            EXPECT_GT(area.top, 0);
            EXPECT_EQ(area.top + area.size.height(), c.size.height());
            const std::vector<ScorePrimitive> drawn = layoutScoreGroup(c.group, c.size, page);
            ASSERT_FALSE(drawn.empty());
            EXPECT_EQ(drawn.front().box(), QRect(QPoint(0, 0), c.size)); // the background fills it all
            for (const ScorePrimitive& p : drawn) {
                if (p.colour != ScoreColourRole::Ink) {
                    continue; // the grid's lines at the far edges fall just outside, as they always did
                }
                EXPECT_TRUE(QRect(QPoint(0, 0), c.size).contains(covered(p)))
                    << "group " << c.group << " " << c.size.width() << "x" << c.size.height()
                    << (readable ? " readable" : "") << ": (" << p.a.x() << "," << p.a.y() << ")-("
                    << p.b.x() << "," << p.b.y() << ") pen " << p.penWidth;
            }
            // The top line is where the heads of the top position stand.
            const std::vector<ScoreHead> heads = scoreHeads(c.group, c.size, page);
            ASSERT_FALSE(heads.empty());
            EXPECT_EQ(heads.front().y, area.top);
            for (const ScoreText& text : layoutReadableTexts(c.group, c.size, page)) {
                EXPECT_GE(text.box.top(), 0);
                EXPECT_LE(text.box.bottom(), c.size.height() - 1);
            }
        }
    }
}

// Where nothing rises above the top line (two small bells, the usual middle
// group) the staff fills the picture as before; no room is kept without the ask.
TEST(ScoreStaffArea, NoRoomWhereNothingRisesAboveTheStaff) {
    ScorePage low = patternsOf(0, 2, 1);
    low.roomAbove = true;
    EXPECT_EQ(scoreStaffArea(0, QSize(640, 90), low).top, 0);
    ScorePage middle = patternsOf(1, 3, 1);
    middle.roomAbove = true;
    EXPECT_EQ(scoreStaffArea(1, QSize(640, 110), middle).top, 0);
    ScorePage asked = patternsOf(0, 5, 1);
    EXPECT_EQ(scoreStaffArea(0, QSize(640, 90), asked).top, 0);
    asked.roomAbove = true;
    EXPECT_EQ(scoreStaffArea(0, QSize(0, 0), asked).top, 0);
}

} // namespace
