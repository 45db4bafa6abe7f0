// Where the marks go: the note heads of a staff page and the x of a column,
// both from the score's layout part, so the marks sit exactly on what the
// score view draws.

#include "app/TfrmMain.h"
#include "base/Rounding.h"
#include "practice/Trainer.h"
#include "score/ScoreLayout.h"

QList<MarkHead> Trainer::headsOf(int group, const QSize& size, int page) const {
    ScorePage scorePage;
    const TChannels& channels = m_window.channels();
    for (int g = 0; g < kScoreGroupCount; ++g) {
        scorePage.groups[static_cast<size_t>(g)] = channels.score(g);
        scorePage.counts[static_cast<size_t>(g)] = m_window.ensemble().groupCount(g + 1);
    }
    scorePage.page = page;
    scorePage.simplified = m_window.cbGrid && m_window.cbGrid->isChecked();
    QList<MarkHead> heads;
    for (const ScoreHead& head : scoreHeads(group, size, scorePage)) {
        if (head.token.size() < 2 || !head.token.at(1).isDigit()) {
            continue;
        }
        const int bell = ::BellForToken(m_window.ensemble(), head.token.at(0), head.token.at(1).digitValue());
        heads << MarkHead{head.column, head.x, head.y, bell};
    }
    return heads;
}

int Trainer::columnX(int column, int staffWidth) {
    // The centre of the column's heads on the page, as the layout places them.
    const double columnWidth = staffWidth / static_cast<double>(kScorePageColumns);
    const int onPage = column % kScorePageColumns;
    return roundHalfEven(columnWidth / 2 + onPage * columnWidth + scoreBarShift(column));
}
