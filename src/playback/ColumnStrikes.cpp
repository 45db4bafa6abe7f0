#include "playback/ColumnStrikes.h"

#include "base/TextLists.h"

int BellForToken(const Ensemble& ensemble, QChar letter, int position) {
    const int group = Ensemble::groupForLetter(letter);
    int count = 0;
    if (group == kBigGroup) {
        for (int bell = 0; bell < kBellCount; ++bell) {
            if (ensemble.isSelected(bell) && ensemble.group(bell) == group && ++count == position) {
                return bell;
            }
        }
    } else {
        for (int bell = kBellCount - 1; bell >= 0; --bell) {
            if (ensemble.isSelected(bell) && ensemble.group(bell) == group && ++count == position) {
                return bell;
            }
        }
    }
    return kBellCount - 1;
}

ColumnStrikes ColumnSampleFiles(const QString& line, const Ensemble& ensemble, const StrikeSwitches& switches,
                                const QString& sampleFolder,
                                const std::function<QString(int)>& sampleFileName) {
    ColumnStrikes strikes;
    if (line.size() <= 1) {
        return strikes;
    }
    for (const QString& token : SplitList(line, QStringLiteral(","))) {
        if (token.isEmpty() || token.at(0) == u'#' || token.at(0) == u'v') {
            continue;
        }
        if (token.size() < 2 || token.at(1) < u'0' || token.at(1) > u'9') {
            continue;
        }
        const QChar letter = token.at(0);
        const int bell = BellForToken(ensemble, letter, token.at(1).unicode() - u'0');
        const int group = Ensemble::groupForLetter(letter);
        if (group == kNoGroup || !switches.groupSounds[static_cast<std::size_t>(group - 1)] ||
            switches.bellSilenced[static_cast<std::size_t>(bell)]) {
            continue;
        }
        strikes.sampleFiles.append(sampleFolder + sampleFileName(bell));
        strikes.bells.append(bell);
        if (switches.groupAnimated[static_cast<std::size_t>(group - 1)] && switches.showMovie) {
            strikes.animatedBells.append(bell);
        }
    }
    return strikes;
}
