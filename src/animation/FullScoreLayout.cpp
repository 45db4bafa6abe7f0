#include "animation/FullScoreLayout.h"

#include "base/Rounding.h"
#include "base/ScorePages.h"

#include <algorithm>

namespace fullscore {

namespace {

int imageOfLetter(QChar letter) {
    if (letter == u's') {
        return 0;
    }
    if (letter == u'm') {
        return 1;
    }
    if (letter == u'b') {
        return 2;
    }
    return -1;
}

} // namespace

std::vector<ScorePrimitive> gridOf(QSize size, int bells) {
    const int w = size.width();
    const int h = size.height();
    std::vector<ScorePrimitive> lines;
    lines.push_back({ScorePrimitiveKind::FilledRect, QPoint(0, 0), QPoint(w, h), 1, ScoreColourRole::Face});
    for (int k = 1; k <= bells; ++k) {
        const int x = roundHalfEven(k * static_cast<double>(w) / (bells + 1));
        lines.push_back(
            {ScorePrimitiveKind::Line, QPoint(x, 2), QPoint(x, h - 4), 1, ScoreColourRole::Staff});
    }
    for (int k = 1; k <= 3; ++k) {
        const int y = roundHalfEven(k * static_cast<double>(h) / 4);
        lines.push_back(
            {ScorePrimitiveKind::Line, QPoint(2, y), QPoint(w - 4, y), 1, ScoreColourRole::Staff});
    }
    return lines;
}

Notes notesOf(const NotesInput& input) {
    Notes notes;
    const double step = (input.sizes[2].height() - 4) / static_cast<double>(kPageColumns);
    const int first = kPageColumns * input.page;
    for (const QStringList& score : input.scores) {
        const int end = std::min<qsizetype>(first + kPageColumns, score.size());
        double y = 2.0;
        for (int column = first; column < end; ++column, y += step) {
            const QString& text = score.at(column);
            qsizetype start = 0;
            while (start <= text.size()) {
                qsizetype comma = text.indexOf(u',', start);
                if (comma < 0) {
                    comma = text.size();
                }
                const QStringView token = QStringView(text).mid(start, comma - start);
                start = comma + 1;
                if (token.size() != 2) {
                    continue;
                }
                const int image = imageOfLetter(token.at(0));
                if (image < 0) {
                    continue;
                }
                const QChar digit = token.at(1);
                if (digit < u'0' || digit > u'9') {
                    notes.stopped = true;
                    return notes;
                }
                const int d = digit.unicode() - u'0';
                const int bells = input.bellCounts[static_cast<std::size_t>(image)];
                // A position the group does not have has no lane: its dot would
                // stand on the image's edge or beyond it.
                if (d < 1 || d > bells) {
                    continue;
                }
                const int w = input.sizes[static_cast<std::size_t>(image)].width();
                const double lane = static_cast<double>(w) / (bells + 1);
                const int x = image == 2 ? roundHalfEven(d * lane) : w - roundHalfEven(d * lane);
                // The page starts a bar, so the column's place in the page gives its bar shift.
                const int dotY = roundHalfEven(scoreBarShift(column - first) + y + 4);
                notes.dots[static_cast<std::size_t>(image)].push_back(
                    {ScorePrimitiveKind::FilledEllipse, QPoint(x - kDotRadius, dotY - kDotRadius),
                     QPoint(x + kDotRadius, dotY + kDotRadius), 1, ScoreColourRole::Ink});
            }
        }
    }
    return notes;
}

int dotCentreY(int column, int height) {
    const double step = (height - 4) / static_cast<double>(kPageColumns);
    const int n = column >= kPageColumns ? column % kPageColumns : column;
    if (n < 0) {
        // Before the first column: one step above it, as the last column of a bar.
        return roundHalfEven(scoreBarShift(kScoreBarColumns - 1) + 2.0 - step + 4);
    }
    // Summed as notesOf sums it, so the rounding agrees to the pixel.
    double y = 2.0;
    for (int c = 0; c < n; ++c) {
        y += step;
    }
    return roundHalfEven(scoreBarShift(n) + y + 4);
}

QRect readableCursorBox(int column, QSize size, int outline) {
    const int reach = kDotRadius + 1 + outline;
    return QRect(2, dotCentreY(column, size.height()) - reach, std::max(0, size.width() - 4), 2 * reach);
}

} // namespace fullscore
