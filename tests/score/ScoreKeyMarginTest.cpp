// «Крупные ноты» in the window: the key letters stand in a margin left of
// the staff, large enough to be read at arm's length, clear of the staff
// lines and of every column's cursor bar; without the margin nothing moves.

#include "score/ReadableScore.h"
#include "score/ScoreLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr std::array<int, 3> kFullCounts = {5, 6, 8}; // a label on every line of the small and big staves
const QStringList kKeys = {"W", "M", "Q", "A", "S", "D", "F", "G", "H", "J", "K"};

// Every position of every group struck in turn over the whole page.
ScorePage fullPage(bool readable, bool keyMargin) {
    ScorePage page;
    page.counts = kFullCounts;
    for (int g = 0; g < kScoreGroupCount; ++g) {
        const int count = kFullCounts[static_cast<size_t>(g)];
        QStringList& columns = page.groups[static_cast<size_t>(g)];
        for (int place = 0; place < kScorePageColumns; ++place) {
            columns << QStringLiteral("smb").at(g) + QString::number(place % count + 1);
        }
        page.keyLabels[static_cast<size_t>(g)] = kKeys.mid(0, count);
    }
    page.readable = readable;
    page.keyMargin = keyMargin;
    page.roomAbove = true;
    return page;
}

// The staves of a small window, of a window of 1280 x 1024 and of a large one.
const QSize kSizes[] = {QSize(700, 120), QSize(960, 190), QSize(1500, 280)};

QRect covered(const ScorePrimitive& p) {
    return QRect(QPoint(std::min(p.a.x(), p.b.x()), std::min(p.a.y(), p.b.y())),
                 QPoint(std::max(p.a.x(), p.b.x()), std::max(p.a.y(), p.b.y())));
}

TEST(ScoreKeyMargin, LettersStandLeftOfTheStaffClearOfLinesAndCursors) {
    for (const QSize size : kSizes) {
        const ScorePage page = fullPage(true, true);
        const int margin = readableKeyMargin(size.width());
        for (int g = 0; g < kScoreGroupCount; ++g) {
            SCOPED_TRACE(
                QStringLiteral("group %1 %2x%3").arg(g).arg(size.width()).arg(size.height()).toStdString());
            const ScoreStaffArea area = scoreStaffArea(g, size, page);
            // The same margin on the three staves: bars and cursors one above the other.
            EXPECT_EQ(area.left, margin);
            EXPECT_GE(area.left, 24);
            EXPECT_EQ(area.left + area.size.width(), size.width());

            const std::vector<ScoreText> labels = layoutReadableLabels(g, size, page);
            ASSERT_EQ(labels.size(), size_t(kFullCounts[static_cast<size_t>(g)]));
            std::vector<QRect> staffLines;
            for (const ScorePrimitive& p : layoutScoreGrid(g, size, page)) {
                if (p.kind == ScorePrimitiveKind::Line) {
                    staffLines.push_back(covered(p));
                }
            }
            const QSize bar = scoreCursorSize(QSize(area.size.width(), size.height()));
            const double row = double(area.size.height()) / scoreStaffRows(g);
            for (size_t i = 0; i < labels.size(); ++i) {
                const ScoreText& label = labels[i];
                // Full size from the staves of a 1280 x 1024 window up; the
                // smallest window's dense staves shrink them only as far as
                // the lines are close.
                const int least =
                    size == kSizes[0] ? std::min<int>(kMarginLabelPixels, row / 0.75) : kMarginLabelPixels;
                EXPECT_GE(label.pixelSize, least);
                EXPECT_GE(label.box.height(), least);
                // The widest capital fits, and a capital's height fits between the lines.
                EXPECT_LE(label.pixelSize * 1.05, label.box.width() + 1);
                EXPECT_LE(label.pixelSize * 0.75, row);
                EXPECT_GE(label.box.left(), 0);
                EXPECT_LT(label.box.right(), area.left);
                EXPECT_GE(label.box.top(), 0);
                EXPECT_LT(label.box.bottom(), size.height());
                for (const QRect& line : staffLines) {
                    EXPECT_FALSE(label.box.intersects(line));
                }
                for (int column = 0; column < kScorePageColumns; ++column) {
                    const QRect cursor(scoreCursorLeft(column, area), 4, bar.width(), bar.height());
                    EXPECT_FALSE(label.box.intersects(cursor)) << "column " << column;
                }
                // Centred on its own line unless the picture's edge holds it.
                const int lineY =
                    area.top + qRound(scoreStaffRow(g, int(i) + 1, kFullCounts[size_t(g)]) * row);
                if (label.box.top() > 0 && label.box.bottom() < size.height() - 1) {
                    EXPECT_LE(std::abs(label.box.top() + label.box.height() / 2 - lineY), 1);
                }
            }
            // The larger staff has the larger letters.
            if (size == kSizes[2]) {
                EXPECT_GT(labels.front().pixelSize,
                          readableMarginLabelPixels(g, scoreStaffArea(g, kSizes[0], page).size,
                                                    readableKeyMargin(kSizes[0].width())));
            }
        }
    }
}

// The window's readable heads grow past half a column (the 7 x 5
// at 1280 x 1024), yet neighbouring sixteenths keep pixels between them.
TEST(ScoreKeyMargin, WindowHeadsGrowAndStayApart) {
    for (const QSize size : kSizes) {
        const ScorePage page = fullPage(true, true);
        for (int g = 0; g < kScoreGroupCount; ++g) {
            SCOPED_TRACE(QStringLiteral("group %1 %2").arg(g).arg(size.width()).toStdString());
            const ScoreStaffArea area = scoreStaffArea(g, size, page);
            const ReadableMetrics wide = readableMetrics(g, area.size, true);
            const ReadableMetrics printed = readableMetrics(g, size);
            // A low staff keeps the heads its rows allow; from 1280 x 1024 up they grow.
            if (size == kSizes[0]) {
                EXPECT_GE(wide.headWidth * wide.headHeight, printed.headWidth * printed.headHeight);
            } else {
                EXPECT_GT(wide.headWidth * wide.headHeight, printed.headWidth * printed.headHeight);
            }
            EXPECT_GE(wide.headWidth, wide.headHeight);
            // Column spacing less the bar shift's step: heads well clear of each other.
            const double spacing = double(area.size.width()) / kScorePageColumns - 0.6;
            EXPECT_GE(spacing - wide.headWidth, 2.5);
            for (const ScorePrimitive& p : layoutScorePage(g, size, page)) {
                if (p.kind == ScorePrimitiveKind::FilledEllipse ||
                    p.kind == ScorePrimitiveKind::HollowEllipse) {
                    EXPECT_EQ(p.box().size(), QSize(wide.headWidth, wide.headHeight));
                }
            }
        }
    }
}

// Off, or without the readable view, or for printing (no margin asked),
// every primitive, head and text stays where it was.
TEST(ScoreKeyMargin, NothingMovesWithoutIt) {
    const struct {
        bool readable;
        bool keyMargin;
    } cases[] = {{false, true}, {true, false}, {false, false}};
    for (const QSize size : kSizes) {
        for (const auto& c : cases) {
            const ScorePage asked = fullPage(c.readable, c.keyMargin);
            ScorePage plain = asked;
            plain.keyMargin = false;
            for (int g = 0; g < kScoreGroupCount; ++g) {
                EXPECT_EQ(scoreStaffArea(g, size, asked).left, 0);
                EXPECT_EQ(layoutScoreGroup(g, size, asked), layoutScoreGroup(g, size, plain));
                EXPECT_EQ(scoreHeads(g, size, asked), scoreHeads(g, size, plain));
                EXPECT_EQ(layoutReadableTexts(g, size, asked), layoutReadableTexts(g, size, plain));
                EXPECT_EQ(scoreCursorLeft(5, scoreStaffArea(g, size, asked)),
                          scoreCursorLeft(5, size.width()));
            }
        }
    }
    // The margin never takes more than an eighth of a narrow picture, nor
    // anything of an empty one.
    EXPECT_LE(readableKeyMargin(100), 12);
    EXPECT_EQ(readableKeyMargin(0), 0);
    EXPECT_EQ(scoreStaffArea(0, QSize(0, 0), fullPage(true, true)).left, 0);
}

} // namespace
