#include "score/ScoreWelcome.h"

#include "bells/Distributions.h"

namespace scorewelcome {

bool shown(const State& state) {
    return state.scoreShown && !state.ringingLoaded && state.selectedBells < Distributions::kMinimumBells;
}

bool isTrezvon(const QString& name) {
    return name.trimmed().startsWith(kTrezvonPrefix, Qt::CaseInsensitive);
}

int ringingToPlay(const QStringList& items) {
    for (int i = 1; i < items.size(); ++i) {
        if (isTrezvon(items.at(i))) {
            return i;
        }
    }
    return items.size() > 1 ? 1 : -1;
}

} // namespace scorewelcome
