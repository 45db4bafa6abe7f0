#include "score/ScoreLayout.h"

#include "base/Rounding.h"
#include "score/ReadableScore.h"
#include "score/ScoreBeatGlyphs.h"

#include <QStringTokenizer>
#include <QStringView>

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int kSmall = 0;
constexpr int kMiddle = 1;
constexpr int kBig = 2;

bool validGroup(int group) {
    return group >= 0 && group < kScoreGroupCount;
}

// A column holds a strike when its text is at least two characters long.
bool holdsStrike(const QStringList& score, qsizetype column) {
    return column >= 0 && column < score.size() && score.at(column).size() >= 2;
}

// True when none of the `count` columns after `column` holds a strike, as
// far as the score goes: the test for a long (half or whole) note.
bool silenceFollows(const QStringList& score, qsizetype column, int count) {
    for (qsizetype c = column + 1; c <= column + count && c < score.size(); ++c) {
        if (holdsStrike(score, c)) {
            return false;
        }
    }
    return true;
}

// The answer of a rest test over `count` columns from `column`: silent when
// every examined column that exists is empty; the rest is drawn only when
// all of them exist as well.
struct RestAnswer {
    bool silent = true;
    bool complete = true;
};

RestAnswer examineRest(const QStringList& score, qsizetype column, int count) {
    for (qsizetype c = column; c < column + count; ++c) {
        if (c >= score.size()) {
            return {true, false};
        }
        if (holdsStrike(score, c)) {
            return {false, true};
        }
    }
    return {true, true};
}

// The digit of a strike token: exactly two characters, the second a decimal
// digit; -1 for anything else.
int tokenDigit(QStringView token) {
    if (token.size() != 2) {
        return -1;
    }
    const char16_t digit = token.at(1).unicode();
    return digit >= u'0' && digit <= u'9' ? digit - u'0' : -1;
}

ScorePrimitive staffLine(QPoint a, QPoint b) {
    return {ScorePrimitiveKind::Line, a, b, 1, ScoreColourRole::Staff};
}

// Walks the columns of one group's page, drawing heads and rests and, at the
// end of every beat, the glyph that joins its heads.
class PageWalker {
public:
    PageWalker(int group, QSize size, const ScorePage& page, std::vector<ScorePrimitive>& out,
               std::vector<ScoreHead>* heads)
        : m_group(group), m_page(page), m_score(page.groups[static_cast<size_t>(group)]), m_out(out),
          m_heads(heads), m_width(size.width()), m_height(size.height()),
          m_rowHeight(m_height / scoreStaffRows(group)), m_columnWidth(m_width / kScorePageColumns),
          m_stemUnit(roundHalfEven(m_rowHeight - m_rowHeight / 10)), m_stemFactor(scoreStemFactor(group)),
          m_readable(page.readable ? std::optional(readableMetrics(group, size, page.keyMargin))
                                   : std::nullopt) {
        if (m_readable) {
            m_glyphStyle = {m_readable->beamWidth, m_readable->beamWidth, true, m_readable->restTop,
                            m_readable->restBottom};
        }
    }

    void walk();

private:
    void startBeat(double position);
    void drawRests(qsizetype column, int place, double centre, double shift);
    void drawHeads(qsizetype column, int place, int x);
    void endBeat();
    void drawQuarterRest(QPoint at);
    // Half the width and the height of a whole or half rest: a head wide
    // and half a head high in the readable view.
    QSize restSize(int usualHeight) const {
        return m_readable ? QSize(m_readable->headWidth, std::max(usualHeight, m_readable->headHeight / 2))
                          : QSize(6, usualHeight);
    }

    int m_group;
    const ScorePage& m_page;
    const QStringList& m_score;
    std::vector<ScorePrimitive>& m_out;
    std::vector<ScoreHead>* m_heads;
    double m_width;
    double m_height;
    double m_rowHeight;
    double m_columnWidth;
    int m_stemUnit;
    double m_stemFactor;
    std::optional<ReadableMetrics> m_readable;
    BeatGlyphStyle m_glyphStyle;

    ScoreBeat m_beat;
    int m_counter = 0; // columns of the current beat, 1..4
    QPoint m_quarterAnchor;
    // The rest gate closes after a whole note until a bar begins with a
    // strike of the big group; the beat-rest gate closes after a long note
    // until the next half-bar.
    bool m_restGate = true;
    bool m_beatRestGate = true;
    bool m_wholeRest = false;
    bool m_halfRest = false;
};

void PageWalker::walk() {
    if (m_page.page < 0) {
        return;
    }
    const qsizetype first = qsizetype(kScorePageColumns) * m_page.page;
    const qsizetype end = std::min<qsizetype>(first + kScorePageColumns, m_score.size());
    double centre = m_columnWidth / 2;
    for (qsizetype column = first; column < end; ++column) {
        const int place = static_cast<int>(column % kScoreBarColumns) + 1;
        const double shift = scoreBarShift(static_cast<int>(column % kScoreBarColumns));
        ++m_counter;
        if (m_counter == 1) {
            startBeat(centre + shift);
        }
        drawRests(column, place, centre, shift);
        drawHeads(column, place, roundHalfEven(centre + shift));
        centre += m_columnWidth;
        if (m_counter == kScoreBeatColumns) {
            endBeat();
        }
    }
    // A page that ends inside a beat leaves its heads without stems.
}

void PageWalker::startBeat(double position) {
    m_beat.start = roundHalfEven(position) + 1;
    m_quarterAnchor = {roundHalfEven(position + 1.5 * m_columnWidth),
                       roundHalfEven(m_height - 2 * m_rowHeight)};
}

void PageWalker::drawRests(qsizetype column, int place, double centre, double shift) {
    const bool halfBarStart = place == 1 || place == 9;
    if (halfBarStart) {
        m_beatRestGate = true;
    }
    if (place == 1) {
        const QPoint at(roundHalfEven(7 * m_columnWidth + centre + shift),
                        roundHalfEven(m_height - 4 * m_rowHeight));
        const RestAnswer whole = examineRest(m_score, column, kScoreBarColumns);
        if (whole.silent && whole.complete) {
            const QSize r = restSize(4);
            m_out.push_back(inkRect({at.x() - r.width(), at.y()}, {at.x() + r.width(), at.y() + r.height()}));
        }
        m_wholeRest = whole.silent;
        m_halfRest = false;
    }
    if (!m_wholeRest && halfBarStart) {
        const QPoint at(roundHalfEven(3 * m_columnWidth + centre + shift),
                        roundHalfEven(m_height - 3 * m_rowHeight));
        if (m_restGate) {
            const RestAnswer half = examineRest(m_score, column, kScoreBarColumns / 2);
            if (half.silent && half.complete) {
                const QSize r = restSize(3);
                m_out.push_back(
                    inkRect({at.x() - r.width(), at.y() - r.height()}, {at.x() + r.width(), at.y()}));
            }
            m_halfRest = half.silent;
        }
    }
    if (!m_wholeRest && !m_halfRest && m_counter == 1 && m_restGate && m_beatRestGate) {
        const RestAnswer quarter = examineRest(m_score, column, kScoreBeatColumns);
        if (quarter.silent && quarter.complete) {
            drawQuarterRest(m_quarterAnchor);
        }
    }
}

void PageWalker::drawQuarterRest(QPoint at) {
    const int q = roundHalfEven(2 * m_stemUnit * m_stemFactor / 4);
    const int x = at.x();
    const int y = at.y();
    const std::array<QPoint, 6> p = {QPoint(x, y),         QPoint(x - 4, y - q),
                                     QPoint(x, y - q),     QPoint(x - 4, y - 2 * q),
                                     QPoint(x, y - 3 * q), QPoint(x - 4, y - 4 * q)};
    for (int i = 0; i < 5; ++i) {
        m_out.push_back(
            inkLine(p[static_cast<size_t>(i)], p[static_cast<size_t>(i) + 1], i % 2 == 0 ? 1 : 2));
    }
}

void PageWalker::drawHeads(qsizetype column, int place, int x) {
    const size_t j = static_cast<size_t>(m_counter - 1);
    const int count = m_page.counts[static_cast<size_t>(m_group)];
    for (QStringView token : QStringTokenizer(QStringView(m_score.at(column)), u',')) {
        const int digit = tokenDigit(token);
        if (digit < 0 || !scorePositionOnStaff(m_group, digit, count)) {
            continue;
        }
        const int y = roundHalfEven(scoreStaffRow(m_group, digit, count) * m_rowHeight);
        bool whole = false;
        bool half = false;
        if (m_group == kBig && place == 1) {
            m_restGate = true;
            whole = silenceFollows(m_score, column, kScoreBarColumns - 1);
            if (whole) {
                m_restGate = false;
                m_beatRestGate = false;
            }
        }
        if (!whole && (m_group == kMiddle || m_group == kBig) && (place == 1 || place == 9)) {
            half = silenceFollows(m_score, column, kScoreBarColumns / 2 - 1);
            if (half) {
                m_beatRestGate = false;
            }
        }
        const bool hollow = whole || half;
        const int headWidth = m_readable ? m_readable->headWidth : 6;
        const int headHeight = m_readable ? m_readable->headHeight : 4;
        const QPoint corner(x - headWidth / 2, y - headHeight / 2);
        m_out.push_back({hollow ? ScorePrimitiveKind::HollowEllipse : ScorePrimitiveKind::FilledEllipse,
                         corner, corner + QPoint(headWidth, headHeight),
                         hollow && m_readable ? m_readable->hollowOutline : 1, ScoreColourRole::Ink});
        if (m_heads) {
            m_heads->push_back({static_cast<int>(column), x, y, hollow, token.toString()});
        }
        if (whole) {
            continue; // a whole note stands without stem
        }
        // Any recorded head occupies its column, a head on the top line
        // (y = 0) as well, so that it gets its stem and no rest in its place.
        if (!m_beat.occupied[j]) {
            m_beat.occupied[j] = true;
            m_beat.lowest[j] = y;
            m_beat.highest[j] = y;
        } else {
            m_beat.lowest[j] = std::max(m_beat.lowest[j], y);
            m_beat.highest[j] = std::min(m_beat.highest[j], y);
        }
        // The stem stands on the head's last column of pixels.
        m_beat.x[j] = corner.x() + headWidth - 1;
    }
}

void PageWalker::endBeat() {
    DrawBeatGlyphs(m_out, m_beat, m_stemUnit, m_stemFactor, m_glyphStyle);
    m_beat = ScoreBeat{};
    m_counter = 0;
}

} // namespace

int scoreStaffRows(int group) {
    static constexpr std::array<int, 3> rows{5, 11, 8};
    return validGroup(group) ? rows[static_cast<size_t>(group)] : 0;
}

double scoreStemFactor(int group) {
    static constexpr std::array<double, 3> factors{1.0, 1.85, 1.45};
    return validGroup(group) ? factors[static_cast<size_t>(group)] : 1.0;
}

double barShiftOfPlace(int place) {
    return place < 9 ? (8 - place) * 0.6 : (9 - place) * 0.6;
}

double scoreBarShift(int column) {
    return barShiftOfPlace(column % kScoreBarColumns + 1);
}

int scoreStaffRow(int group, int digit, int count) {
    switch (group) {
    case kSmall:
        return digit + 4 - count;
    case kMiddle:
        return digit + 10 - count;
    default:
        return 8 - digit;
    }
}

bool scorePositionOnStaff(int group, int digit, int count) {
    if (!validGroup(group) || digit < 1 || digit > count) {
        return false;
    }
    // A group larger than its staff (only from an ensemble stored elsewhere)
    // would put its outer positions above the top line.
    const int row = scoreStaffRow(group, digit, count);
    return row >= 0 && row < scoreStaffRows(group);
}

namespace {

std::vector<ScorePrimitive> gridAt(int group, QSize size, const ScorePage& page) {
    std::vector<ScorePrimitive> out;
    if (!validGroup(group) || size.width() <= 0 || size.height() <= 0) {
        return out;
    }
    const int w = size.width();
    const int h = size.height();
    const int rows = scoreStaffRows(group);
    const double rowHeight = double(h) / rows;
    out.push_back({ScorePrimitiveKind::FilledRect, QPoint(0, 0), QPoint(w, h), 1, ScoreColourRole::Face});
    // Bar lines; the last of the five falls just outside, so the right edge gets its own.
    for (int k = 0; k <= 4; ++k) {
        const int x = roundHalfEven(k * w / 4.0);
        out.push_back(staffLine({x, 0}, {x, h}));
    }
    out.push_back(staffLine({w - 1, 0}, {w - 1, h}));
    const int count = page.counts[static_cast<size_t>(group)];
    for (int k = 0; k <= rows; ++k) {
        if (page.simplified && k < rows - count) {
            continue; // the simplified view keeps only the rows of the group's bells
        }
        const int y = roundHalfEven(k * rowHeight);
        out.push_back(staffLine({0, y}, {w, y}));
    }
    if (!page.simplified) {
        out.push_back(staffLine({0, h - 1}, {w, h - 1}));
    }
    return out;
}

std::vector<ScorePrimitive> pageAt(int group, QSize size, const ScorePage& page) {
    std::vector<ScorePrimitive> out;
    if (validGroup(group) && size.width() > 0 && size.height() > 0) {
        PageWalker(group, size, page, out, nullptr).walk();
    }
    return out;
}

void shiftBy(std::vector<ScorePrimitive>& primitives, int dx, int dy) {
    for (ScorePrimitive& p : primitives) {
        p.a += QPoint(dx, dy);
        p.b += QPoint(dx, dy);
    }
}

// How far above the top line of a staff of `size` its drawing reaches: the
// stem and beam over the highest head the group's bells can have, or that
// head's upper half, in either view.
int reachAbove(int group, QSize size, const ScorePage& page) {
    const int count = page.counts[static_cast<size_t>(group)];
    int topRow = -1;
    for (int position = 1; position <= count; ++position) {
        if (scorePositionOnStaff(group, position, count)) {
            const int row = scoreStaffRow(group, position, count);
            topRow = topRow < 0 ? row : std::min(topRow, row);
        }
    }
    if (topRow < 0) {
        return 0;
    }
    const double rowHeight = double(size.height()) / scoreStaffRows(group);
    const int stemUnit = roundHalfEven(rowHeight - rowHeight / 10);
    const int stem = roundHalfEven(2 * stemUnit * scoreStemFactor(group));
    // The readable view's heads and beams are never smaller than the usual
    // ones: room for them keeps the staff where it is when the view changes.
    const ReadableMetrics readable = readableMetrics(group, size, page.readable && page.keyMargin);
    const int beam = std::max(BeatGlyphStyle{}.firstBeam, readable.beamWidth);
    const int head = std::max(4, readable.headHeight);
    // A line's pen reaches half its width past its end; one pixel to spare.
    const int above = std::max(stem + (beam + 1) / 2, (head + 1) / 2) + 1;
    return above - roundHalfEven(topRow * rowHeight);
}

} // namespace

ScoreStaffArea scoreStaffArea(int group, QSize size, const ScorePage& page) {
    if (!validGroup(group) || size.width() <= 0 || size.height() <= 0) {
        return {size, 0, 0};
    }
    ScoreStaffArea area{size, 0, 0};
    if (page.readable && page.keyMargin) {
        area.left = readableKeyMargin(size.width());
        area.size.rwidth() -= area.left;
    }
    if (!page.roomAbove) {
        return area;
    }
    // The room shortens the staff and so its stems: a few rounds settle it.
    // The staff keeps at least half the picture.
    const int most = size.height() / 2;
    int top = 0;
    for (int round = 0; round < 8; ++round) {
        const int needed =
            std::min(most, reachAbove(group, QSize(area.size.width(), size.height() - top), page));
        if (needed <= top) {
            break;
        }
        top = needed;
    }
    area.top = top;
    area.size.rheight() -= top;
    return area;
}

std::vector<ScorePrimitive> layoutScoreGrid(int group, QSize size, const ScorePage& page) {
    const ScoreStaffArea area = scoreStaffArea(group, size, page);
    std::vector<ScorePrimitive> out = gridAt(group, area.size, page);
    if ((area.top > 0 || area.left > 0) && !out.empty()) {
        shiftBy(out, area.left, area.top);
        out.front().a = QPoint(0, 0); // the background fills the room above and the margin too
    }
    return out;
}

std::vector<ScorePrimitive> layoutScorePage(int group, QSize size, const ScorePage& page) {
    const ScoreStaffArea area = scoreStaffArea(group, size, page);
    std::vector<ScorePrimitive> out = pageAt(group, area.size, page);
    shiftBy(out, area.left, area.top);
    return out;
}

std::vector<ScorePrimitive> layoutScoreGroup(int group, QSize size, const ScorePage& page) {
    std::vector<ScorePrimitive> out = layoutScoreGrid(group, size, page);
    if (!out.empty()) {
        const std::vector<ScorePrimitive> notes = layoutScorePage(group, size, page);
        out.insert(out.end(), notes.begin(), notes.end());
    }
    return out;
}

std::vector<ScoreHead> scoreHeads(int group, QSize size, const ScorePage& page) {
    std::vector<ScoreHead> heads;
    if (!validGroup(group) || size.width() <= 0 || size.height() <= 0) {
        return heads;
    }
    const ScoreStaffArea area = scoreStaffArea(group, size, page);
    std::vector<ScorePrimitive> primitives;
    PageWalker(group, area.size, page, primitives, &heads).walk();
    for (ScoreHead& head : heads) {
        head.x += area.left;
        head.y += area.top;
    }
    return heads;
}

int scoreCursorLeft(int column, int staffWidth) {
    const int n = column >= kScorePageColumns ? column % kScorePageColumns : column;
    // The cursor's shift takes the column's 0-based place in its bar.
    const int m = n > 15 ? n % kScoreBarColumns : n;
    return roundHalfEven(barShiftOfPlace(m) + staffWidth / double(kScorePageColumns) * n);
}

int scoreCursorLeft(int column, const ScoreStaffArea& area) {
    const int left = scoreCursorLeft(column, area.size.width());
    return area.left > 0 ? area.left + std::max(0, left) : left;
}

int fullScoreCursorTop(int column, int laneHeight) {
    const int n = column >= kScorePageColumns ? column % kScorePageColumns : column;
    const int m = n > 15 ? n % kScoreBarColumns : n;
    const double shift = m < 9 ? (8 - m) * 0.6 : (9 - m) * 0.6;
    return roundHalfEven(double(n) * laneHeight / 64.0 + shift) + 2;
}

QSize scoreCursorSize(QSize staff) {
    return QSize(std::max(0, roundHalfEven((staff.width() - 8) / 64.0)), std::max(0, staff.height() - 8));
}
