#pragma once

#include "score/ScoreLayout.h"

#include <array>
#include <vector>

// The heads of one beat (four columns) as the page walk records them: the
// stems, beams, flags, dots and rests that join them are drawn from this.
struct ScoreBeat {
    // A column is occupied when it has a recorded head (whole notes are not
    // recorded: they stand without stem).
    std::array<bool, 4> occupied{};
    // Note point x: the x of the column's heads + 2, where the stem stands.
    std::array<int, 4> x{};
    // Lowest (largest y) and highest (smallest y) head of the column.
    std::array<int, 4> lowest{};
    std::array<int, 4> highest{};
    // x of the beat's first column + 1.
    int start = 0;
};

// How the glyphs are weighted and where their rests stand; the defaults
// are the usual view's.
struct BeatGlyphStyle {
    int firstBeam = 2;
    int secondBeam = 1;
    // Eighth and sixteenth rests from restTop to restBottom instead of
    // following the beat's first head.
    bool fixedRests = false;
    int restTop = 0;
    int restBottom = 0;
};

// Appends the glyph that joins the beat's heads: one of fifteen, chosen by
// which columns are occupied; an empty beat draws nothing. stemUnit is the
// group's Round(rowH - rowH / 10), stemFactor its scoreStemFactor.
void DrawBeatGlyphs(std::vector<ScorePrimitive>& out, const ScoreBeat& beat, int stemUnit, double stemFactor,
                    const BeatGlyphStyle& style = {});

// Builders of maroon primitives.
inline ScorePrimitive inkLine(QPoint a, QPoint b, int width = 1) {
    return {ScorePrimitiveKind::Line, a, b, width, ScoreColourRole::Ink};
}
inline ScorePrimitive inkEllipse(QPoint a, QPoint b) {
    return {ScorePrimitiveKind::FilledEllipse, a, b, 1, ScoreColourRole::Ink};
}
inline ScorePrimitive inkRect(QPoint a, QPoint b) {
    return {ScorePrimitiveKind::FilledRect, a, b, 1, ScoreColourRole::Ink};
}
