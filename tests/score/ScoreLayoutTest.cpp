#include "score/ScoreLayout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

// Expected coordinates below are worked by hand from the notation's rules.
// The middle staff 640 x 110 has colW = 10, rowH = 10, stem unit u = 9 and
// k = 1.85: stem length L = 33, second-beam gap S = 6, flag step F = 8.
// Its first beat's heads stand at x = 9, 19, 28, 37 (centres 5, 15, 25, 35
// plus the bar shift 4.2, 3.6, 3.0, 2.4), their stems at X = 11, 21, 30, 39,
// and the beat starts at B = 10. With five middle bells m1 lies on row 6.

void PrintTo(const ScorePrimitive& p, std::ostream* os) {
    static const char* kinds[] = {"Line", "FilledEllipse", "HollowEllipse", "FilledRect"};
    static const char* roles[] = {"Staff", "Ink", "Face"};
    *os << kinds[static_cast<int>(p.kind)] << "(" << p.a.x() << "," << p.a.y() << ")-(" << p.b.x() << ","
        << p.b.y() << ") w" << p.penWidth << " " << roles[static_cast<int>(p.colour)];
}

void PrintTo(const ScoreHead& h, std::ostream* os) {
    *os << "head c" << h.column << " (" << h.x << "," << h.y << ")" << (h.hollow ? " hollow " : " ")
        << h.token.toStdString();
}

namespace {

constexpr QSize kMiddle(640, 110);

ScorePrimitive line(int x0, int y0, int x1, int y1, int width = 1) {
    return {ScorePrimitiveKind::Line, {x0, y0}, {x1, y1}, width, ScoreColourRole::Ink};
}
ScorePrimitive staff(int x0, int y0, int x1, int y1) {
    return {ScorePrimitiveKind::Line, {x0, y0}, {x1, y1}, 1, ScoreColourRole::Staff};
}
ScorePrimitive head(int x, int y, bool hollow = false) {
    return {hollow ? ScorePrimitiveKind::HollowEllipse : ScorePrimitiveKind::FilledEllipse,
            {x - 3, y - 2},
            {x + 3, y + 2},
            1,
            ScoreColourRole::Ink};
}
ScorePrimitive blob(int x0, int y0, int x1, int y1) {
    return {ScorePrimitiveKind::FilledEllipse, {x0, y0}, {x1, y1}, 1, ScoreColourRole::Ink};
}
ScorePrimitive rect(int x0, int y0, int x1, int y1) {
    return {ScorePrimitiveKind::FilledRect, {x0, y0}, {x1, y1}, 1, ScoreColourRole::Ink};
}

ScorePage pageOf(int group, const QStringList& columns, int count, int page = 0) {
    ScorePage p;
    p.groups[static_cast<size_t>(group)] = columns;
    p.counts[static_cast<size_t>(group)] = count;
    p.page = page;
    return p;
}

// The notation of a page without its grid.
std::vector<ScorePrimitive> notation(int group, QSize size, const ScorePage& page) {
    return layoutScorePage(group, size, page);
}

// Strokes of the quarter rest's zigzag that go four pixels left; nothing else
// in the notation runs leftwards.
int zigzagStrokes(const std::vector<ScorePrimitive>& prims) {
    return static_cast<int>(std::count_if(prims.begin(), prims.end(), [](const ScorePrimitive& p) {
        return p.kind == ScorePrimitiveKind::Line && p.b.x() - p.a.x() == -4;
    }));
}

std::vector<ScorePrimitive> quarterRest(int x, int y, int q) {
    return {line(x, y, x - 4, y - q), line(x - 4, y - q, x, y - q, 2), line(x, y - q, x - 4, y - 2 * q),
            line(x - 4, y - 2 * q, x, y - 3 * q, 2), line(x, y - 3 * q, x - 4, y - 4 * q)};
}

// The rests that stand before a beat's first head at column 1 (D = 11):
// rest box y0 = 60 - Round(1.5 k u) = 35, y1 = 60 - Round(0.5 k u) = 52.
const std::vector<ScorePrimitive> kSixteenthRestBeforeColumn1 = {
    line(5, 52, 14, 35), blob(5, 35, 9, 39), line(7, 39, 14, 35), blob(5, 39, 9, 43), line(9, 43, 12, 39)};
// The eighth rest before a head at column 2 (D = 20).
const std::vector<ScorePrimitive> kEighthRestBeforeColumn2 = {line(14, 52, 22, 35), blob(14, 35, 18, 39),
                                                              line(16, 39, 22, 35)};

std::vector<ScorePrimitive> joined(std::initializer_list<std::vector<ScorePrimitive>> parts) {
    std::vector<ScorePrimitive> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct GlyphCase {
    const char* reading;
    QStringList columns;
    std::vector<ScorePrimitive> expected;
};

} // namespace

// Each of the fifteen occupancy patterns of a beat in the middle staff; the
// score is that one beat, so no rest test can pass and only heads and glyph
// appear. A wrong stem top, beam end, flag width or rest box shows here.
TEST(ScoreLayout, FifteenBeatGlyphs) {
    const int y = 60;
    const std::vector<GlyphCase> cases = {
        // Alone and followed by silence to the end of the score: a half note, hollow with its stem.
        {"half", {"m1", "", "", ""}, {head(9, y, true), line(11, 60, 11, 27)}},
        {"two eighths",
         {"m1", "", "m1", ""},
         {head(9, y), head(28, y), line(11, 60, 11, 27), line(30, 60, 30, 27), line(11, 27, 30, 27, 2)}},
        {"four sixteenths",
         {"m1", "m1", "m1", "m1"},
         {head(9, y), head(19, y), head(28, y), head(37, y), line(11, 60, 11, 27), line(21, 60, 21, 27),
          line(30, 60, 30, 27), line(39, 60, 39, 27), line(11, 27, 39, 27, 2), line(11, 33, 39, 33)}},
        {"two sixteenths, eighth",
         {"m1", "m1", "m1", ""},
         {head(9, y), head(19, y), head(28, y), line(11, 60, 11, 27), line(21, 60, 21, 27),
          line(30, 60, 30, 27), line(11, 27, 30, 27, 2), line(11, 33, 21, 33)}},
        {"eighth, two sixteenths",
         {"m1", "", "m1", "m1"},
         {head(9, y), head(28, y), head(37, y), line(11, 60, 11, 27), line(30, 60, 30, 27),
          line(39, 60, 39, 27), line(11, 27, 39, 27, 2), line(30, 33, 39, 33)}},
        // h = Round((21 - 11) / 2) = 5.
        {"sixteenth, eighth, sixteenth",
         {"m1", "m1", "", "m1"},
         {head(9, y), head(19, y), head(37, y), line(11, 60, 11, 27), line(21, 60, 21, 27),
          line(39, 60, 39, 27), line(11, 27, 39, 27, 2), line(11, 33, 16, 33), line(34, 33, 39, 33)}},
        // h = Round((39 - 11) / 4) = 7, the dot at (18, 60).
        {"dotted eighth, sixteenth",
         {"m1", "", "", "m1"},
         {head(9, y), head(37, y), line(11, 60, 11, 27), line(39, 60, 39, 27), line(11, 27, 39, 27, 2),
          line(32, 33, 39, 33), blob(16, 58, 20, 62)}},
        // h = 5, the dot at (26, 60).
        {"sixteenth, dotted eighth",
         {"m1", "m1", "", ""},
         {head(9, y), head(19, y), line(11, 60, 11, 27), line(21, 60, 21, 27), line(11, 27, 21, 27, 2),
          line(11, 33, 16, 33), blob(24, 58, 28, 62)}},
        // D = 11: flag width Round(5.5) = 6; eighth rest from 21 + 9 = 30 to 39.
        {"sixteenth rest, sixteenth, eighth rest",
         {"", "m1", "", ""},
         joined({{head(19, y), line(21, 60, 21, 27), line(21, 27, 27, 35, 2), line(27, 35, 27, 43),
                  line(21, 35, 27, 43, 2), line(27, 43, 27, 51)},
                 kSixteenthRestBeforeColumn1,
                 {line(30, 52, 39, 35), blob(30, 35, 34, 39), line(32, 39, 39, 35)}})},
        {"sixteenth rest, sixteenth, eighth",
         {"", "m1", "m1", ""},
         joined({{head(19, y), head(28, y), line(21, 60, 21, 27), line(30, 60, 30, 27),
                  line(21, 27, 27, 35, 2), line(27, 35, 27, 43), line(21, 35, 27, 43, 2),
                  line(27, 43, 27, 51), line(30, 27, 36, 35, 2), line(36, 35, 36, 43)},
                 kSixteenthRestBeforeColumn1})},
        {"sixteenth rest, three sixteenths",
         {"", "m1", "m1", "m1"},
         joined({{head(19, y), head(28, y), head(37, y), line(21, 60, 21, 27), line(30, 60, 30, 27),
                  line(39, 60, 39, 27), line(21, 27, 39, 27, 2), line(21, 33, 39, 33)},
                 kSixteenthRestBeforeColumn1})},
        // D = 20: flag width 5.
        {"eighth rest, eighth",
         {"", "", "m1", ""},
         joined({{head(28, y), line(30, 60, 30, 27), line(30, 27, 35, 35, 2), line(35, 35, 35, 43)},
                 kEighthRestBeforeColumn2})},
        {"eighth rest, two sixteenths",
         {"", "", "m1", "m1"},
         joined({{head(28, y), head(37, y), line(30, 60, 30, 27), line(39, 60, 39, 27),
                  line(30, 27, 39, 27, 2), line(30, 33, 39, 33)},
                 kEighthRestBeforeColumn2})},
        {"sixteenth rest, eighth, sixteenth",
         {"", "m1", "", "m1"},
         joined({{head(19, y), head(37, y), line(21, 60, 21, 27), line(39, 60, 39, 27),
                  line(21, 27, 27, 35, 2), line(27, 35, 27, 43), line(39, 27, 45, 35, 2),
                  line(45, 35, 45, 43), line(39, 35, 45, 43, 2), line(45, 43, 45, 51)},
                 kSixteenthRestBeforeColumn1})},
        // D = 29: flag width 5; eighth rest 16..24; sixteenth rest from
        // 10 + Round(24.17) - Round(6.04) = 28 to 36, its tail ending at 36 - Round(32 / 17) = 34.
        {"eighth rest, sixteenth rest, sixteenth",
         {"", "", "", "m1"},
         {head(37, y), line(39, 60, 39, 27), line(39, 27, 44, 35, 2), line(44, 35, 44, 43),
          line(39, 35, 44, 43, 2), line(44, 43, 44, 51), line(16, 52, 24, 35), blob(16, 35, 20, 39),
          line(18, 39, 24, 35), line(28, 52, 36, 35), blob(28, 35, 32, 39), line(30, 39, 36, 35),
          blob(28, 39, 32, 43), line(32, 43, 34, 39)}},
    };
    for (const GlyphCase& c : cases) {
        SCOPED_TRACE(c.reading);
        EXPECT_THAT(notation(1, kMiddle, pageOf(1, c.columns, 5)),
                    ::testing::UnorderedElementsAreArray(c.expected));
    }
}

// Two bells struck together share one stem from the lower head to above the
// upper one; the beam and dot follow the column's lowest head.
TEST(ScoreLayout, HeadsOfOneColumnShareAStem) {
    const auto prims = notation(1, kMiddle, pageOf(1, {"m1,m3", "m2", "", ""}, 5));
    EXPECT_THAT(prims, ::testing::UnorderedElementsAre(
                           head(9, 60), head(9, 80), head(19, 70), line(11, 80, 11, 27), line(21, 70, 21, 27),
                           line(11, 27, 21, 27, 2), line(11, 33, 16, 33), blob(24, 68, 28, 72)));
}

// Rests of the middle staff: an empty bar is one whole rest (hanging from
// row 7); an empty half-bar one half rest (on row 8); an empty beat
// elsewhere a quarter rest (q = Round(2 u k / 4) = 8, from row 9).
TEST(ScoreLayout, WholeHalfAndQuarterRests) {
    QStringList columns(64);
    // Bar 1 empty. Bar 2: strikes in its first half only. Bar 3: strikes in
    // beats 1 and 3 only. Bar 4: strikes in beat 1 and in column 16 of the bar.
    columns[16] = columns[17] = columns[20] = "m1";
    columns[32] = columns[33] = columns[40] = columns[41] = "m2";
    columns[48] = columns[49] = columns[63] = "m3";
    const auto prims = notation(1, kMiddle, pageOf(1, columns, 5));
    std::vector<ScorePrimitive> rects;
    std::copy_if(prims.begin(), prims.end(), std::back_inserter(rects),
                 [](const ScorePrimitive& p) { return p.kind == ScorePrimitiveKind::FilledRect; });
    // Whole rest at 7 colW + 5 + 4.2 = 79.2; half rest of bar 2 at column 24:
    // 3 colW + 245 = 275; bar 4's second half holds column 63, so no half rest.
    EXPECT_THAT(rects, ::testing::UnorderedElementsAre(rect(73, 70, 85, 74), rect(269, 77, 281, 80)));
    // Quarter rests at bar 3's beats 2 and 4 (columns 36 and 44: 365 + 1.8 + 15
    // and 445 - 2.4 + 15) and bar 4's beats 2 and 3 (columns 52 and 56: 525 + 1.8 + 15
    // and 565 + 15).
    EXPECT_EQ(zigzagStrokes(prims), 4 * 3);
    for (int x : {382, 458, 542, 580}) {
        SCOPED_TRACE(x);
        EXPECT_THAT(prims, ::testing::IsSupersetOf(quarterRest(x, 90, 8)));
    }
}

// A score that ends inside a bar, half-bar or beat: a rest is drawn only
// when every column it covers exists, however silent the last columns are.
// Small staff (no long notes), so only the rest tests decide.
TEST(ScoreLayout, NoRestRunsPastTheEndOfTheScore) {
    struct Case {
        const char* what;
        QStringList columns;
        int rects; // whole and half rests
        int quarters;
    };
    QStringList tenSilent(10);
    QStringList halfBarShort(14);
    halfBarShort[0] = "s1";
    QStringList beatShort(14);
    beatShort[0] = beatShort[8] = "s1";
    const Case cases[] = {
        {"a silent bar cut short: no whole rest", tenSilent, 0, 0},
        {"a silent half-bar cut short: no half rest", halfBarShort, 0, 1},
        {"a silent beat cut short: only the complete beat's rest", beatShort, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto prims = notation(0, QSize(640, 100), pageOf(0, c.columns, 4));
        EXPECT_EQ(
            std::count_if(prims.begin(), prims.end(),
                          [](const ScorePrimitive& p) { return p.kind == ScorePrimitiveKind::FilledRect; }),
            c.rects);
        EXPECT_EQ(zigzagStrokes(prims), 3 * c.quarters);
    }
}

// The big staff 640 x 80 (rowH 10, u 9, k 1.45: L = 26, S = 4, q = 7): a
// strike on a bar's first column followed by fifteen silent ones is a whole
// note, hollow and without stem, and no rest shares its bar. The next bar,
// which does not begin with a big strike, shows no rests at all; an empty
// bar still shows its whole rest; a bar that begins with a strike opens the
// rests again.
TEST(ScoreLayout, WholeNoteAndTheRestGate) {
    QStringList columns(64);
    columns[0] = "b1";
    columns[20] = "b2";
    columns[48] = columns[49] = "b1";
    const auto prims = notation(2, QSize(640, 80), pageOf(2, columns, 3));
    const std::vector<ScorePrimitive> expected = joined({
        {head(9, 70, true)},
        {head(207, 60), line(209, 60, 209, 34)},
        {rect(393, 40, 405, 44)},
        quarterRest(542, 60, 7),
        {rect(589, 47, 601, 50)},
        {head(489, 70), head(499, 70), line(491, 70, 491, 44), line(501, 70, 501, 44),
         line(491, 44, 501, 44, 2), line(491, 48, 496, 48), blob(504, 68, 508, 72)},
    });
    EXPECT_THAT(prims, ::testing::UnorderedElementsAreArray(expected));
}

// A half note closes the beat rests of its half-bar, and only of it; the small
// staff never has long notes.
TEST(ScoreLayout, HalfNoteClosesItsHalfBar) {
    QStringList middle(16);
    middle[0] = "m1";
    middle[8] = middle[9] = "m2";
    const auto prims = notation(1, kMiddle, pageOf(1, middle, 5));
    EXPECT_EQ(zigzagStrokes(prims), 3); // column 12's beat only, not column 4's
    EXPECT_THAT(prims, ::testing::Contains(head(9, 60, true)));
    EXPECT_THAT(prims, ::testing::Contains(line(11, 60, 11, 27)));

    QStringList small(16);
    small[0] = "s1";
    for (const ScoreHead& h : scoreHeads(0, QSize(640, 100), pageOf(0, small, 4))) {
        EXPECT_FALSE(h.hollow);
    }
}

// Heads: x from the column centre and bar shift, y from the row of the
// token's digit in its group; bad tokens are skipped, not drawn as something.
TEST(ScoreLayout, HeadPlacesAndBadTokens) {
    struct Case {
        int group;
        int count;
        QSize size;
        QStringList columns;
        std::vector<ScoreHead> expected;
    };
    const std::vector<Case> cases = {
        // small, four bells, rowH 20: s1 on row 1, s4 on row 4
        {0, 4, {640, 100}, {"s1,s4"}, {{0, 9, 20, false, "s1"}, {0, 9, 80, false, "s4"}}},
        // middle, five bells: m2 on row 7, a half note (seven silent columns
        // follow); m5 on row 10; column 9 (p = 10) at 95 - 0.6
        {1,
         5,
         kMiddle,
         {"m2", "", "", "", "", "", "", "", "", "m5"},
         {{0, 9, 70, true, "m2"}, {9, 94, 100, false, "m5"}}},
        // big: b1 on row 7, b3 on row 5; rowH 12.5 rounds halves to even (87.5 -> 88, 62.5 -> 62)
        {2, 3, {640, 100}, {"", "b1,b3"}, {{1, 19, 88, false, "b1"}, {1, 19, 62, false, "b3"}}},
        // wrong length, non-digit, a digit of another script, an empty token: nothing
        {1, 5, kMiddle, {"m12,mx,m,,m\u0663, m1", "m2"}, {{1, 19, 70, false, "m2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.columns.join('|').toStdString());
        EXPECT_EQ(scoreHeads(c.group, c.size, pageOf(c.group, c.columns, c.count)), c.expected);
    }
    // The skipped tokens leave column 0 unoccupied: the glyph reads as
    // pattern "column 1 only", a stem, a sixteenth flag and two rests.
    const auto prims = notation(1, kMiddle, pageOf(1, {"m12,mx", "m2", "", ""}, 5));
    EXPECT_EQ(std::count_if(prims.begin(), prims.end(),
                            [](const ScorePrimitive& p) { return p.kind == ScorePrimitiveKind::Line; }),
              1 + 4 + 3 + 2);
}

// A position the group does not have (0, beyond its bells, or above the top
// line of a staff too small for the group) has no place on the staff: alone
// in its column it draws what a malformed token draws (no head, no stem the
// height of the staff); beside a real head it neither adds a head nor lifts
// the beat's stem and beam. The first and last positions of a group still draw.
TEST(ScoreLayout, PositionsOffTheGroupsStaffDrawNothing) {
    struct Case {
        int group;
        int count;
        QString token;
        bool draws;
    };
    const Case cases[] = {
        {0, 3, "s9", false},
        {0, 3, "s0", false},
        {0, 3, "s4", false},
        {0, 3, "s1", true},
        {0, 3, "s3", true},
        {1, 5, "m0", false},
        {1, 5, "m6", false},
        {1, 5, "m5", true},
        {2, 3, "b0", false},
        {2, 3, "b4", false},
        {2, 3, "b1", true},
        {2, 3, "b3", true},
        // six small bells on a five-row staff: s1 would stand above the top line
        {0, 6, "s1", false},
        {0, 6, "s2", true},
        {0, 0, "s1", false},
    };
    const QSize sizes[] = {QSize(640, 100), kMiddle, QSize(640, 80)};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << " " << c.count << " " << c.token.toStdString());
        const QSize size = sizes[c.group];
        const QString malformed = c.token.left(1) + "12";
        const auto alone = scoreHeads(c.group, size, pageOf(c.group, {c.token, "", "", ""}, c.count));
        EXPECT_EQ(alone.size(), c.draws ? 1u : 0u);
        if (c.draws) {
            continue;
        }
        EXPECT_EQ(notation(c.group, size, pageOf(c.group, {c.token, "", "", ""}, c.count)),
                  notation(c.group, size, pageOf(c.group, {malformed, "", "", ""}, c.count)));
        // Beside the group's own bell in a beamed beat.
        const QString own = c.token.left(1) + QString::number(std::max(1, c.count));
        if (!scorePositionOnStaff(c.group, std::max(1, c.count), c.count)) {
            continue;
        }
        const auto plain = notation(c.group, size, pageOf(c.group, {own, own, "", ""}, c.count));
        for (const QString& column : {own + "," + c.token, c.token + "," + own}) {
            EXPECT_EQ(notation(c.group, size, pageOf(c.group, {own, column, "", ""}, c.count)), plain);
        }
    }
}

// A head on the top line (small staff, five bells, s1 on row 0, y = 0) still
// occupies its column: it gets a stem, and no rest is drawn in its place.
TEST(ScoreLayout, HeadOnTheTopLineKeepsItsStem) {
    const auto prims = notation(0, QSize(640, 100), pageOf(0, {"s1", "", "s3", ""}, 5));
    // small: u = Round(20 - 2) = 18, k = 1: L = 36; shared top = 0 - 36.
    EXPECT_THAT(prims, ::testing::UnorderedElementsAre(head(9, 0), head(28, 40), line(11, 0, 11, -36),
                                                       line(30, 40, 30, -36), line(11, -36, 30, -36, 2)));
}

// Pages: the page's own columns only; one that ends inside a beat leaves
// those heads without stems; a page beyond the end, or before the start,
// draws only the grid.
TEST(ScoreLayout, PageBounds) {
    QStringList columns(70);
    columns[64] = columns[65] = "m1";
    columns[68] = columns[69] = "m1";
    columns[3] = "m1";
    const auto second = notation(1, kMiddle, pageOf(1, columns, 5, 1));
    // Columns 64, 65 make a beat with stems, beam, stub and dot; 68, 69 stand alone.
    EXPECT_THAT(second, ::testing::UnorderedElementsAre(head(9, 60), head(19, 60), head(47, 60), head(56, 60),
                                                        line(11, 60, 11, 27), line(21, 60, 21, 27),
                                                        line(11, 27, 21, 27, 2), line(11, 33, 16, 33),
                                                        blob(24, 58, 28, 62)));
    for (int page : {2, 5, -1}) {
        SCOPED_TRACE(page);
        const ScorePage p = pageOf(1, columns, 5, page);
        EXPECT_EQ(layoutScoreGroup(1, kMiddle, p), layoutScoreGrid(1, kMiddle, p));
    }
}

// The grid: bar lines at quarters of the width (halves to even) and at the
// right edge; staff lines on every row, or, simplified, only on the rows of
// the group's bells; the bottom edge line only when not simplified.
TEST(ScoreLayout, Grid) {
    struct Case {
        int group;
        QSize size;
        bool simplified;
        int count;
        std::vector<int> bars;
        std::vector<int> rows;
    };
    const std::vector<Case> cases = {
        {0, {640, 100}, false, 4, {0, 160, 320, 480, 640, 639}, {0, 20, 40, 60, 80, 100, 99}},
        {0, {640, 100}, true, 4, {0, 160, 320, 480, 640, 639}, {20, 40, 60, 80, 100}},
        {0, {640, 100}, true, 0, {0, 160, 320, 480, 640, 639}, {100}},
        {1, {640, 110}, true, 5, {0, 160, 320, 480, 640, 639}, {60, 70, 80, 90, 100, 110}},
        // rowH 12.5 and W / 4 = 160.5: halves go to the even neighbour.
        {2, {642, 100}, false, 3, {0, 160, 321, 482, 642, 641}, {0, 12, 25, 38, 50, 62, 75, 88, 100, 99}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << " " << c.simplified << " " << c.count);
        ScorePage page = pageOf(c.group, {}, c.count);
        page.simplified = c.simplified;
        std::vector<ScorePrimitive> expected = {{ScorePrimitiveKind::FilledRect,
                                                 {0, 0},
                                                 {c.size.width(), c.size.height()},
                                                 1,
                                                 ScoreColourRole::Face}};
        for (int x : c.bars) {
            expected.push_back(staff(x, 0, x, c.size.height()));
        }
        for (int y : c.rows) {
            expected.push_back(staff(0, y, c.size.width(), y));
        }
        EXPECT_EQ(layoutScoreGroup(c.group, c.size, page), expected);
    }
    EXPECT_TRUE(layoutScoreGroup(1, QSize(0, 100), ScorePage{}).empty());
    EXPECT_TRUE(layoutScoreGroup(3, kMiddle, ScorePage{}).empty());
}

// Staves of any size keep to the same rules: a thumbnail too small for a stem
// unit still lays out every glyph without dividing by zero.
TEST(ScoreLayout, TinyStavesLayOutEveryPattern) {
    for (int mask = 1; mask < 16; ++mask) {
        QStringList columns(4);
        for (int j = 0; j < 4; ++j) {
            if (mask & (1 << j)) {
                columns[j] = "m1";
            }
        }
        for (QSize size : {QSize(64, 11), QSize(1, 1), QSize(30, 5)}) {
            const auto prims = layoutScoreGroup(1, size, pageOf(1, columns, 5));
            EXPECT_FALSE(prims.empty());
        }
    }
}

// Cursor bars: a page of 64 columns across the small staff's width plus the
// shift of the column's 0-based place in its bar; column -1 lies one column
// left of the page.
TEST(ScoreLayout, CursorPlaces) {
    struct Case {
        int column;
        int left;    // staves 640 wide: 10 per column
        int fullTop; // full-view lanes 640 high
    };
    const Case cases[] = {
        {-1, -5, -3},   // -10 + 5.4
        {0, 5, 7},      // 4.8
        {15, 146, 148}, // 150 - 3.6
        {16, 165, 167}, // 160 + 4.8
        {63, 626, 628}, // 630 - 3.6
        {64, 5, 7},     // the next page starts over
        {72, 80, 82},   // 80 + 0 (place 8 has no shift)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(scoreCursorLeft(c.column, 640), c.left);
        EXPECT_EQ(fullScoreCursorTop(c.column, 640), c.fullTop);
    }
    EXPECT_EQ(scoreCursorSize(QSize(648, 208)), QSize(10, 200));
    EXPECT_EQ(scoreCursorSize(QSize(4, 4)), QSize(0, 0));
}
