#include "output/ScoreImages.h"

#include "bells/Ensemble.h"
#include "output/OutputHost.h"
#include "score/ScorePainter.h"

ScoreSnapshot scoreSnapshot(const OutputHost& host) {
    ScoreSnapshot score;
    for (int g = 0; g < kGroupCount; ++g) {
        const auto i = static_cast<std::size_t>(g);
        score.groups[i] = host.groupScore(groupAt(g));
        // The ensemble counts groups by its own codes, 1 small .. 3 big.
        score.counts[i] = host.ensemble().groupCount(ensembleGroupNumber(groupAt(g)));
    }
    score.simplified = host.simplifiedScore();
    score.face = host.scoreFace();
    return score;
}

QImage scoreGroupImage(const ScoreSnapshot& score, int group, int page, QSize size) {
    ScorePage scorePage;
    scorePage.groups = score.groups;
    scorePage.page = page;
    scorePage.counts = score.counts;
    scorePage.simplified = score.simplified;
    return renderScoreGroup(group, size, scorePage, score.face);
}
