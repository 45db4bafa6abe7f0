#include "output/ScoreImages.h"

#include "app/TfrmMain.h"
#include "score/ScorePainter.h"

ScoreSnapshot scoreSnapshot(const TfrmMain& window) {
    ScoreSnapshot score;
    for (int g = 0; g < 3; ++g) {
        score.groups[static_cast<std::size_t>(g)] = window.channels().score(g);
    }
    score.counts = {window.ensemble().groupCount(kSmallGroup), window.ensemble().groupCount(kMiddleGroup),
                    window.ensemble().groupCount(kBigGroup)};
    score.simplified = window.cbGrid && window.cbGrid->isChecked();
    score.face = window.palette().color(QPalette::Window);
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
