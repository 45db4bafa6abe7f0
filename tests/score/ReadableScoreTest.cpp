#include "score/ReadableScore.h"
#include "score/ScorePainter.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>

// Golden values worked by hand for the small staff 1280 x 150: colW = 20,
// rowH = 30, stem unit u = 27, k = 1. The readable head is 8 high (0.45 of
// a row is 14, held to three quarters of the widest head) and 10 wide (half
// a column); beams 4 wide; the beat rests fixed from 62 to 88 (height 40 -
// 14 = 26 centred on 75). Column centres 14, 34, 53, 72 as usual, so head
// boxes start 5 to the left and stems stand on x + 4.

namespace {

constexpr QSize kSmall(1280, 150);
constexpr QSize kBig(1280, 240);

ScorePrimitive ink(ScorePrimitiveKind kind, int x0, int y0, int x1, int y1, int width = 1) {
    return {kind, {x0, y0}, {x1, y1}, width, ScoreColourRole::Ink};
}
ScorePrimitive line(int x0, int y0, int x1, int y1, int width = 1) {
    return ink(ScorePrimitiveKind::Line, x0, y0, x1, y1, width);
}
ScorePrimitive head(int x, int y) {
    return ink(ScorePrimitiveKind::FilledEllipse, x - 5, y - 4, x + 5, y + 4);
}

ScorePage readablePage(const QStringList& small, bool readable = true) {
    ScorePage page;
    page.groups[0] = small;
    page.counts = {5, 5, 5};
    page.readable = readable;
    page.keyLabels[0] = {"U", "I", "J", "K", "L"};
    return page;
}

// Four sixteenths s5 s4 s5 s3, then a beat of an eighth rest and an eighth
// on `eighth`.
QStringList twoBeats(const QString& eighth) {
    return {"s5", "s4", "s5", "s3", "", "", eighth, ""};
}

std::vector<ScorePrimitive> restsOf(const std::vector<ScorePrimitive>& prims, int fromX, int toX) {
    std::vector<ScorePrimitive> rests;
    for (const ScorePrimitive& p : prims) {
        if (p.a.x() >= fromX && p.a.x() < toX && p.kind != ScorePrimitiveKind::FilledRect) {
            rests.push_back(p);
        }
    }
    return rests;
}

} // namespace

TEST(ReadableScore, GoldenPageOfTheSmallStaff) {
    const std::vector<ScorePrimitive> expected = {
        head(14, 120), head(34, 90), head(53, 120), head(72, 60),
        // Four sixteenths: stems to the shared top 60 - 54, both beams 4 wide.
        line(18, 120, 18, 6), line(38, 90, 38, 6), line(57, 120, 57, 6), line(76, 60, 76, 6),
        line(18, 6, 76, 6, 4), line(18, 15, 76, 15, 4),
        // Column 6 at 131 (beat start B = 93, D = 42): eighth, flag, eighth rest at the fixed 62..88.
        head(131, 90), line(135, 90, 135, 36), line(135, 36, 145, 50, 2), line(145, 50, 145, 64),
        line(102, 88, 120, 62), ink(ScorePrimitiveKind::FilledEllipse, 102, 62, 106, 66),
        line(104, 66, 120, 62)};
    EXPECT_EQ(layoutScorePage(0, kSmall, readablePage(twoBeats("s4"))), expected);

    const std::vector<ScoreText> texts = layoutReadableTexts(0, kSmall, readablePage(twoBeats("s4")));
    // Labels 10 pixels bold (the 6 pixels before the first head), centred on
    // their lines and kept inside the staff; then the one bar's number.
    const auto label = [](int top, const char* text) {
        return ScoreText{QRect(1, top, 6, 12), text, 10, Qt::AlignLeft | Qt::AlignVCenter,
                         ScoreColourRole::Ink, true};
    };
    const std::vector<ScoreText> expectedTexts = {
        label(0, "U"),
        label(24, "I"),
        label(54, "J"),
        label(84, "K"),
        label(114, "L"),
        {QRect(9, 1, 314, 14), "1", 12, Qt::AlignLeft | Qt::AlignTop, ScoreColourRole::Staff}};
    EXPECT_EQ(texts, expectedTexts);
}

// The usual view hangs a beat's rest from its first head, so the same rest
// jumps with the melody; the readable one keeps it in one place.
TEST(ReadableScore, BeatRestsStayAtOneHeight) {
    const auto rests = [](const QString& eighth, bool readable) {
        return restsOf(layoutScorePage(0, kSmall, readablePage(twoBeats(eighth), readable)), 100, 125);
    };
    ASSERT_FALSE(rests("s4", true).empty());
    EXPECT_EQ(rests("s4", true), rests("s2", true));
    EXPECT_NE(rests("s4", false), rests("s2", false));
}

// Heads grow with the staff but never below the usual 6 x 4 and never
// wider than half a column; hollow heads keep a visible inside.
TEST(ReadableScore, HeadSizesAcrossStaves) {
    struct Case {
        int group;
        QSize size;
    } cases[] = {{0, {1900, 150}}, {1, {1900, 330}}, {2, {1900, 200}}, {1, {640, 110}},
                 {0, {64, 5}},     {2, {300, 900}},  {0, {4000, 60}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 %2x%3").arg(c.group).arg(c.size.width()).arg(c.size.height()).toStdString());
        const ReadableMetrics m = readableMetrics(c.group, c.size);
        const double row = double(c.size.height()) / scoreStaffRows(c.group);
        EXPECT_GE(m.headWidth, 6);
        EXPECT_GE(m.headHeight, 4);
        EXPECT_LE(m.headWidth, std::max(6, c.size.width() / 64 / 2));
        EXPECT_LE(m.headHeight, std::max(4, int(0.45 * row + 0.5)));
        EXPECT_GE(m.headWidth, m.headHeight); // an oval lying, not standing
        EXPECT_GT(m.restBottom, m.restTop - 1);
        ScorePage page;
        page.groups[static_cast<size_t>(c.group)] = QStringList{"b1,m1,s1"} + QStringList(15, QString());
        page.counts = {1, 1, 1};
        page.readable = true;
        for (const ScorePrimitive& p : layoutScorePage(c.group, c.size, page)) {
            if (p.kind == ScorePrimitiveKind::HollowEllipse) {
                EXPECT_EQ(p.box().size(), QSize(m.headWidth, m.headHeight));
                EXPECT_GT(p.box().height(), 2 * p.penWidth);
            }
        }
    }
}

TEST(ReadableScore, BarNumbersAndThePage) {
    // The last page of a score of 150 columns: bars 9 and 10 have columns, 11 and 12 not.
    ScorePage page = readablePage(QStringList(150, QString()));
    page.page = 2;
    std::vector<ScoreText> marks = layoutReadableMarks(0, kSmall, page);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].text, "9");
    EXPECT_EQ(marks[1].text, "10");
    EXPECT_EQ(marks[1].box.topLeft(), QPoint(323, 1));
    EXPECT_TRUE(layoutReadableMarks(1, kSmall, page).empty());

    marks = layoutReadableMarks(2, kBig, page);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].text, QStringLiteral("стр. 3 из 3"));
    EXPECT_EQ(marks[0].box, QRect(963, 224, 314, 14));
    EXPECT_EQ(marks[0].align, Qt::AlignRight | Qt::AlignBottom);

    // An empty score has neither numbers nor pages.
    EXPECT_TRUE(layoutReadableMarks(2, kBig, readablePage({})).empty());
    EXPECT_EQ(scorePageCount(readablePage(QStringList(64, QString()))), 1);
    EXPECT_EQ(scorePageCount(readablePage(QStringList(65, QString()))), 2);
}

TEST(ReadableScore, KeyLabels) {
    const struct {
        int key;
        const char* label;
    } cases[] = {{65, "A"},  {90, "Z"}, {49, "1"}, {97, "1"}, {186, ";"},
                 {222, "'"}, {32, ""},  {0, ""},   {300, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(readableKeyLabel(c.key), QString::fromLatin1(c.label)) << c.key;
    }
}

// A hollow head of the readable view keeps its two-pixel ring and its face
// inside when painted.
TEST(ReadableScore, HollowHeadPaintsItsRing) {
    const QColor face(240, 240, 240);
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(face);
    QPainter painter(&image);
    paintScorePrimitives(painter, {ink(ScorePrimitiveKind::HollowEllipse, 10, 10, 24, 20, 2)}, face);
    painter.end();
    EXPECT_EQ(image.pixelColor(17, 15), face);
    EXPECT_EQ(image.pixelColor(10, 15), kScoreInkColour);
    EXPECT_EQ(image.pixelColor(11, 15), kScoreInkColour);
    EXPECT_EQ(image.pixelColor(12, 15), face);
}
