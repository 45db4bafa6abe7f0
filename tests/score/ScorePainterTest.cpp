#include "score/ScorePainter.h"

#include <gtest/gtest.h>

#include <QPainter>

// Pixel probes on painted staves: the primitives land on the pixels the
// layout names, a line leaves out its end point, a hollow head keeps the face
// colour inside, and nothing is drawn outside the image.

namespace {

const QColor kFace(212, 208, 200);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kMaroon = qRgb(128, 0, 0);
const QRgb kFaceRgb = kFace.rgb();

ScorePage middlePage(const QStringList& columns) {
    ScorePage page;
    page.groups[1] = columns;
    page.counts[1] = 5;
    return page;
}

QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xff000000u;
}

} // namespace

// Middle staff 640 x 110, four sixteenths of m1 (heads at x 9, 19, 28, 37 on
// y 60; stems at 11, 21, 30, 39 up to 27; beam rows 26-27, second beam 33).
TEST(ScorePainter, ProbesOfAPaintedBeat) {
    const QImage image = renderScoreGroup(1, QSize(640, 110), middlePage({"m1", "m1", "m1", "m1"}), kFace);
    ASSERT_EQ(image.size(), QSize(640, 110));
    struct Probe {
        int x, y;
        QRgb colour;
        const char* what;
    };
    const Probe probes[] = {
        {100, 10, kBlack, "staff line of row 1"},
        {100, 11, kFaceRgb, "below a staff line"},
        {100, 109, kBlack, "bottom edge line"},
        {160, 5, kBlack, "bar line"},
        {161, 5, kFaceRgb, "beside a bar line"},
        {639, 5, kBlack, "right edge line"},
        {9, 60, kMaroon, "head centre over its staff line"},
        {11, 40, kMaroon, "stem"},
        {11, 28, kMaroon, "stem top"},
        {20, 26, kMaroon, "beam, upper row"},
        {20, 27, kMaroon, "beam, lower row"},
        {20, 25, kFaceRgb, "above the beam"},
        {20, 28, kFaceRgb, "below the beam"},
        {38, 27, kMaroon, "beam before its end"},
        {39, 26, kFaceRgb, "beam end point left out"},
        {25, 33, kMaroon, "second beam"},
        {39, 32, kMaroon, "last stem"},
        {45, 60, kBlack, "staff line right of the heads"},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(at(image, p.x, p.y), p.colour) << p.what << " at " << p.x << "," << p.y;
    }
}

// A half note: maroon outline, face inside, its stem on the right.
TEST(ScorePainter, HollowHeadKeepsTheFaceInside) {
    const QImage image = renderScoreGroup(1, QSize(640, 110), middlePage({"m1", "", "", ""}), kFace);
    EXPECT_EQ(at(image, 9, 60), kFaceRgb);
    EXPECT_EQ(at(image, 8, 59), kFaceRgb);
    EXPECT_EQ(at(image, 6, 60), kMaroon);
    EXPECT_EQ(at(image, 9, 58), kMaroon);
    EXPECT_EQ(at(image, 11, 45), kMaroon);
}

// Strikes that fall outside the staff (a position the group lacks) are
// clipped; painting into a larger target leaves everything outside the
// staff's rectangle untouched.
TEST(ScorePainter, NothingOutsideTheStaff) {
    ScorePage page;
    page.groups[2] = QStringList{"b9,b0", "b1", "b8", "b9"};
    page.counts[2] = 3;
    QImage target(700, 120, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        paintScoreGroup(painter, 2, QSize(640, 80), page, kFace);
    }
    for (int x = 0; x < 700; x += 7) {
        EXPECT_EQ(at(target, x, 85), qRgb(255, 255, 255)) << x;
    }
    for (int y = 0; y < 120; y += 5) {
        EXPECT_EQ(at(target, 650, y), qRgb(255, 255, 255)) << y;
    }
    EXPECT_EQ(at(target, 50, 2), kFaceRgb);
    // Degenerate sizes give empty images, never a crash.
    EXPECT_TRUE(renderScoreGroup(2, QSize(0, 0), page, kFace).isNull());
    EXPECT_EQ(renderScoreGroup(2, QSize(1, 1), page, kFace).size(), QSize(1, 1));
}

// At a device pixel ratio of 2 the same logical page is drawn on twice the
// pixels: a one-pixel staff line covers two device rows, nothing blurs.
TEST(ScorePainter, SharpAtDevicePixelRatioTwo) {
    const QImage image =
        renderScoreGroup(1, QSize(640, 110), middlePage({"m1", "m1", "m1", "m1"}), kFace, 2.0);
    ASSERT_EQ(image.size(), QSize(1280, 220));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(at(image, 200, 20), kBlack);
    EXPECT_EQ(at(image, 200, 21), kBlack);
    EXPECT_EQ(at(image, 200, 19), kFaceRgb);
    EXPECT_EQ(at(image, 200, 22), kFaceRgb);
    EXPECT_EQ(at(image, 18, 120), kMaroon); // head centre (9, 60)
    // Only the three colours appear: no antialiased in-between shades.
    for (int y = 0; y < 220; y += 3) {
        for (int x = 0; x < 120; ++x) {
            const QRgb c = at(image, x, y);
            ASSERT_TRUE(c == kBlack || c == kMaroon || c == kFaceRgb) << x << "," << y;
        }
    }
}
