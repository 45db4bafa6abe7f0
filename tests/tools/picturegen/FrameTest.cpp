#include "FramePainter.h"
#include "FrameSets.h"
#include "TestImages.h"

#include <gtest/gtest.h>

using frames::Style;

// The program reads exactly these names: "s_0.bmp", "ls_3.bmp", "l3s_2.bmp".
TEST(FrameSets, FileNames) {
    EXPECT_EQ(frames::fileName(QStringLiteral("s"), 0, Style::General), "s_0.bmp");
    EXPECT_EQ(frames::fileName(QStringLiteral("3s"), 2, Style::General), "3s_2.bmp");
    EXPECT_EQ(frames::fileName(QStringLiteral("s"), 3, Style::Schematic), "ls_3.bmp");
    EXPECT_EQ(frames::fileName(QStringLiteral("3s"), 2, Style::Schematic), "l3s_2.bmp");
    QStringList keys;
    for (const frames::SetInfo& set : frames::sets()) {
        keys.append(set.key);
    }
    EXPECT_EQ(keys, (QStringList{"s", "m", "b", "3s"}));
}

// Every set: bells ordered largest first, each inside its own slot, slots side
// by side without overlap and within the canvas, every bell clear of the beam
// and of the rail below.
TEST(FrameSets, LayoutKeepsEveryBellInItsOwnSlot) {
    for (const frames::SetInfo& set : frames::sets()) {
        const QVector<frames::BellPlace> bells = frames::layout(set.key);
        ASSERT_EQ(bells.size(), set.bellCount) << set.key.toStdString();
        EXPECT_LE(set.bellCount, frames::kFramesPerSet - 1);
        for (int i = 0; i < bells.size(); ++i) {
            const frames::BellPlace& b = bells.at(i);
            const std::string where = set.key.toStdString() + " bell " + std::to_string(i + 1);
            EXPECT_GE(b.centreX - b.width / 2, b.slot.left() + 0.5) << where;
            EXPECT_LE(b.centreX + b.width / 2, b.slot.right() - 0.5) << where;
            EXPECT_GE(b.crownTop, frames::kBeamBottom) << where;
            EXPECT_LT(b.crownTop + b.width * frames::kBellHeightPerWidth, frames::kRailTop - 4) << where;
            EXPECT_GE(b.slot.left(), 0.0) << where;
            EXPECT_LE(b.slot.right(), frames::kCanvasWidth) << where;
            if (i > 0) {
                EXPECT_LT(b.width, bells.at(i - 1).width) << where;
                EXPECT_DOUBLE_EQ(b.slot.left(), bells.at(i - 1).slot.right()) << where;
            }
        }
    }
    // The small-three set serves at most three bells.
    EXPECT_EQ(frames::layout(QStringLiteral("3s")).size(), 3);
}

// Both views keep the canvas's proportions: the full view is not stretched.
TEST(FrameSets, MappingIsUniformAndCentred) {
    const frames::CanvasMapping usual = frames::mappingFor(frames::kUsualSize);
    EXPECT_DOUBLE_EQ(usual.scale, 1.0);
    EXPECT_DOUBLE_EQ(usual.dx, 0.0);
    const frames::CanvasMapping full = frames::mappingFor(frames::kFullSize);
    EXPECT_NEAR(full.scale, 364.0 / 129.0, 1e-9);
    EXPECT_NEAR(full.dy * 2 + 60 * full.scale, 170.0, 1e-9);
}

// Frame f changes bell f and nothing else: the program shows one frame per
// strike, so a change elsewhere would show a bell that was not struck.
TEST(FrameRendering, StruckFrameChangesOnlyItsBell) {
    testimages::ensureGui();
    for (const QSize size : {frames::kUsualSize, frames::kFullSize}) {
        for (const Style style : {Style::General, Style::Schematic}) {
            for (const frames::SetInfo& set : frames::sets()) {
                const QImage rest = frames::renderFrame(set.key, 0, style, size);
                ASSERT_EQ(rest.size(), size);
                const QVector<frames::BellPlace> bells = frames::layout(set.key);
                for (int f = 1; f < frames::kFramesPerSet; ++f) {
                    const QImage frame = frames::renderFrame(set.key, f, style, size);
                    const std::string where = set.key.toStdString() + " frame " + std::to_string(f) + " at " +
                                              std::to_string(size.width());
                    if (f > bells.size()) {
                        // No such bell: the set stays at rest.
                        EXPECT_EQ(frame, rest) << where;
                        continue;
                    }
                    const QRect slot = testimages::pixelRect(bells.at(f - 1).slot, size, 0);
                    const testimages::Difference d = testimages::compare(rest, frame, slot);
                    // A visible change: at least a tenth of the slot's pixels at the usual size.
                    EXPECT_GT(d.inside, slot.width() * slot.height() / 10) << where;
                    EXPECT_EQ(d.outside, 0) << where;
                }
            }
        }
    }
}

// Two runs draw the same pixels, so the build's output does not churn.
TEST(FrameRendering, IsDeterministic) {
    testimages::ensureGui();
    EXPECT_EQ(frames::renderFrame(QStringLiteral("m"), 4, Style::Schematic, frames::kFullSize),
              frames::renderFrame(QStringLiteral("m"), 4, Style::Schematic, frames::kFullSize));
    EXPECT_EQ(frames::renderFrame(QStringLiteral("b"), 1, Style::General, frames::kUsualSize),
              frames::renderFrame(QStringLiteral("b"), 1, Style::General, frames::kUsualSize));
}

// The two styles are different pictures, and the sets differ from each other.
TEST(FrameRendering, StylesAndSetsAreDistinct) {
    testimages::ensureGui();
    const QImage generalRest =
        frames::renderFrame(QStringLiteral("s"), 0, Style::General, frames::kUsualSize);
    EXPECT_NE(generalRest, frames::renderFrame(QStringLiteral("s"), 0, Style::Schematic, frames::kUsualSize));
    EXPECT_NE(generalRest, frames::renderFrame(QStringLiteral("m"), 0, Style::General, frames::kUsualSize));
    EXPECT_NE(generalRest, frames::renderFrame(QStringLiteral("3s"), 0, Style::General, frames::kUsualSize));
}
