// Where the marks go: the note heads of a staff page and the x of a column,
// both from the score's layout part, so the marks sit exactly on what the
// score view draws.

#include "base/Rounding.h"
#include "base/ScorePages.h"
#include "playback/ColumnStrikes.h"
#include "practice/PracticeHost.h"
#include "practice/Trainer.h"
#include "ringing/TChannels.h"
#include "score/ScoreLayout.h"

ScorePage Trainer::staffPage(int page) const {
    ScorePage scorePage;
    const TChannels& channels = m_host.channels();
    const Ensemble& ensemble = m_host.ensemble();
    for (int g = 0; g < kGroupCount; ++g) {
        scorePage.groups[static_cast<size_t>(g)] = channels.score(g);
        scorePage.counts[static_cast<size_t>(g)] = ensemble.groupCount(ensembleGroupNumber(groupAt(g)));
    }
    scorePage.page = page;
    scorePage.simplified = m_host.simplifiedScore();
    // The marks stand over the window's staves.
    scorePage.roomAbove = true;
    scorePage.readable = m_host.readableScore();
    scorePage.keyMargin = true;
    return scorePage;
}

QList<MarkHead> Trainer::headsOf(BellGroup group, const QSize& size, int page) const {
    const ScorePage scorePage = staffPage(page);
    const Ensemble& ensemble = m_host.ensemble();
    QList<MarkHead> heads;
    for (const ScoreHead& head : scoreHeads(groupIndex(group), size, scorePage)) {
        if (head.token.size() < 2 || !head.token.at(1).isDigit()) {
            continue;
        }
        const int bell = ::BellForToken(ensemble, head.token.at(0), head.token.at(1).digitValue());
        heads << MarkHead{head.column, head.x, head.y, bell};
    }
    return heads;
}

int Trainer::columnX(int column, int staffWidth) {
    // The centre of the column's heads on the page, as the layout places them.
    const double columnWidth = staffWidth / static_cast<double>(kPageColumns);
    const int onPage = column % kPageColumns;
    return roundHalfEven(columnWidth / 2 + onPage * columnWidth + scoreBarShift(column));
}
