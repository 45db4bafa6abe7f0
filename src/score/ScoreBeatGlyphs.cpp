#include "score/ScoreBeatGlyphs.h"

#include "base/Rounding.h"

#include <algorithm>
#include <climits>
#include <initializer_list>

namespace {

// Draws the glyph of one beat. Stems rise from the lowest head of a column to
// a top above its highest head; columns joined by a beam share one top above
// the highest head of them all.
class BeatGlyphs {
public:
    BeatGlyphs(std::vector<ScorePrimitive>& out, const ScoreBeat& beat, int stemUnit, double k,
               const BeatGlyphStyle& style)
        : m_out(out), m_beat(beat), m_style(style), m_stemLength(roundHalfEven(2 * stemUnit * k)),
          m_secondBeamGap(roundHalfEven(k * stemUnit / 3)), m_flagStep(roundHalfEven(k * stemUnit / 2)) {
        const auto first = std::find(beat.occupied.begin(), beat.occupied.end(), true);
        m_first = first == beat.occupied.end() ? 0 : static_cast<int>(first - beat.occupied.begin());
        m_distance = beat.x[m_first] - beat.start;
        m_restTop = beat.lowest[m_first] - roundHalfEven(1.5 * k * stemUnit);
        m_restBottom = beat.lowest[m_first] - roundHalfEven(0.5 * k * stemUnit);
        if (style.fixedRests) {
            m_restTop = style.restTop;
            m_restBottom = style.restBottom;
        }
    }

    void draw();

private:
    int x(int j) const { return m_beat.x[j]; }
    int lowest(int j) const { return m_beat.lowest[j]; }
    int ownTop(int j) const { return m_beat.highest[j] - m_stemLength; }
    int sharedTop(std::initializer_list<int> columns) const {
        int top = INT_MAX;
        for (int j : columns) {
            top = std::min(top, m_beat.highest[j]);
        }
        return top - m_stemLength;
    }
    // D / divisor, rounded: the glyphs' rests and flags scale with the room
    // before the first head.
    int part(double divisor) const { return roundHalfEven(m_distance / divisor); }

    void stem(int j, int top) { m_out.push_back(inkLine({x(j), lowest(j)}, {x(j), top})); }
    // Stems of `columns` to their shared top and the beam from the first to the last.
    int beamed(std::initializer_list<int> columns) {
        const int top = sharedTop(columns);
        for (int j : columns) {
            stem(j, top);
        }
        m_out.push_back(
            inkLine({x(*columns.begin()), top}, {x(*(columns.end() - 1)), top}, m_style.firstBeam));
        return top;
    }
    void secondBeam(int x0, int x1, int top) {
        m_out.push_back(
            inkLine({x0, top + m_secondBeamGap}, {x1, top + m_secondBeamGap}, m_style.secondBeam));
    }
    void eighthFlag(int j, int width) {
        const int t = ownTop(j);
        const int f = m_flagStep;
        m_out.push_back(inkLine({x(j), t}, {x(j) + width, t + f}, 2));
        m_out.push_back(inkLine({x(j) + width, t + f}, {x(j) + width, t + 2 * f}));
    }
    void sixteenthFlag(int j, int width) {
        eighthFlag(j, width);
        const int t = ownTop(j);
        const int f = m_flagStep;
        m_out.push_back(inkLine({x(j), t + f}, {x(j) + width, t + 2 * f}, 2));
        m_out.push_back(inkLine({x(j) + width, t + 2 * f}, {x(j) + width, t + 3 * f}));
    }
    void dot(int cx, int cy) { m_out.push_back(inkEllipse({cx - 2, cy - 2}, {cx + 2, cy + 2})); }
    void eighthRest(int x0, int x1) {
        const int y0 = m_restTop;
        const int y1 = m_restBottom;
        m_out.push_back(inkLine({x0, y1}, {x1, y0}));
        m_out.push_back(inkEllipse({x0, y0}, {x0 + 4, y0 + 4}));
        m_out.push_back(inkLine({x0 + 2, y0 + 4}, {x1, y0}));
    }
    void sixteenthRest(int x0, int x1) {
        eighthRest(x0, x1);
        const int y0 = m_restTop;
        const int height = m_restBottom - m_restTop;
        // On a staff too small for a stem unit the rest has no height; its
        // tail then ends at x1 instead of dividing by zero.
        const int tailEnd = height == 0 ? x1 : x1 - roundHalfEven(4.0 * (x1 - x0) / height);
        m_out.push_back(inkEllipse({x0, y0 + 4}, {x0 + 4, y0 + 8}));
        m_out.push_back(inkLine({x0 + 4, y0 + 8}, {tailEnd, y0 + 4}));
    }
    // The sixteenth rest before a beat whose first column is silent.
    void leadingSixteenthRest() {
        const int x0 = m_beat.start - part(2.4);
        sixteenthRest(x0, x0 + part(1.2));
    }
    // The eighth rest before a beat whose first two columns are silent.
    void leadingEighthRest(double widthDivisor) {
        const int x0 = m_beat.start + part(4.8);
        eighthRest(x0, x0 + part(widthDivisor));
    }

    std::vector<ScorePrimitive>& m_out;
    const ScoreBeat& m_beat;
    const BeatGlyphStyle& m_style;
    int m_stemLength;
    int m_secondBeamGap;
    int m_flagStep;
    int m_first = 0;
    int m_distance = 0;
    int m_restTop = 0;
    int m_restBottom = 0;
};

void BeatGlyphs::draw() {
    int mask = 0;
    for (int j = 0; j < 4; ++j) {
        mask |= m_beat.occupied[j] ? 1 << j : 0;
    }
    // Bit j: column j of the beat holds a head.
    switch (mask) {
    case 0b0001: // a quarter, or a half note when hollow
        stem(0, ownTop(0));
        break;
    case 0b0101: { // two eighths
        beamed({0, 2});
        break;
    }
    case 0b1111: { // four sixteenths
        const int top = beamed({0, 1, 2, 3});
        secondBeam(x(0), x(3), top);
        break;
    }
    case 0b0111: { // two sixteenths, an eighth
        const int top = beamed({0, 1, 2});
        secondBeam(x(0), x(1), top);
        break;
    }
    case 0b1101: { // an eighth, two sixteenths
        const int top = beamed({0, 2, 3});
        secondBeam(x(2), x(3), top);
        break;
    }
    case 0b1011: { // sixteenth, eighth, sixteenth
        const int top = beamed({0, 1, 3});
        const int h = roundHalfEven((x(1) - x(0)) / 2.0);
        secondBeam(x(0), x(0) + h, top);
        secondBeam(x(3) - h, x(3), top);
        break;
    }
    case 0b1001: { // dotted eighth, sixteenth
        const int top = beamed({0, 3});
        const int h = roundHalfEven((x(3) - x(0)) / 4.0);
        secondBeam(x(3) - h, x(3), top);
        dot(x(0) + h, lowest(0));
        break;
    }
    case 0b0011: { // sixteenth, dotted eighth
        const int top = beamed({0, 1});
        const int h = roundHalfEven((x(1) - x(0)) / 2.0);
        secondBeam(x(0), x(0) + h, top);
        dot(x(1) + h, lowest(1));
        break;
    }
    case 0b0010: { // sixteenth rest, sixteenth, eighth rest
        stem(1, ownTop(1));
        sixteenthFlag(1, part(2.0));
        leadingSixteenthRest();
        const int x0 = x(1) + part(1.2);
        eighthRest(x0, x0 + part(1.2));
        break;
    }
    case 0b0110: // sixteenth rest, sixteenth, eighth
        stem(1, ownTop(1));
        stem(2, ownTop(2));
        sixteenthFlag(1, part(2.0));
        eighthFlag(2, part(2.0));
        leadingSixteenthRest();
        break;
    case 0b1110: { // sixteenth rest, three sixteenths
        const int top = beamed({1, 2, 3});
        secondBeam(x(1), x(3), top);
        leadingSixteenthRest();
        break;
    }
    case 0b0100: // eighth rest, eighth
        stem(2, ownTop(2));
        eighthFlag(2, part(4.0));
        leadingEighthRest(2.4);
        break;
    case 0b1100: { // eighth rest, two sixteenths
        const int top = beamed({2, 3});
        secondBeam(x(2), x(3), top);
        leadingEighthRest(2.4);
        break;
    }
    case 0b1010: // sixteenth rest, eighth, sixteenth
        stem(1, ownTop(1));
        stem(3, ownTop(3));
        eighthFlag(1, part(2.0));
        sixteenthFlag(3, part(2.0));
        leadingSixteenthRest();
        break;
    case 0b1000: { // eighth rest, sixteenth rest, sixteenth
        stem(3, ownTop(3));
        sixteenthFlag(3, part(6.0));
        leadingEighthRest(3.6);
        const int x0 = m_beat.start + roundHalfEven(m_distance / 3.0 * 2.5) - part(4.8);
        sixteenthRest(x0, x0 + part(3.6));
        break;
    }
    default: // an empty beat
        break;
    }
}

} // namespace

void DrawBeatGlyphs(std::vector<ScorePrimitive>& out, const ScoreBeat& beat, int stemUnit, double stemFactor,
                    const BeatGlyphStyle& style) {
    BeatGlyphs(out, beat, stemUnit, stemFactor, style).draw();
}
