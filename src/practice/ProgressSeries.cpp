#include "practice/ProgressSeries.h"

#include "playback/TransportText.h"
#include "practice/PracticePart.h"

#include <QSet>

#include <algorithm>

QString ProgressSeries::caption() const {
    PracticePart practised;
    const QString name = PracticePart::fromCode(part, practised) ? practised.caption() : part;
    return QStringLiteral("%1, %2").arg(name, transport::tempoCaption(interval).toLower());
}

QList<ProgressSeries> progressSeries(const QList<TrainingRun>& runs, int most) {
    QList<ProgressSeries> series;
    // From the newest run back, so that the line of the last run comes first
    // and the lines whose runs are older drop out at the limit.
    for (int i = static_cast<int>(runs.size()) - 1; i >= 0; --i) {
        const TrainingRun& run = runs[i];
        auto line = std::find_if(series.begin(), series.end(), [&run](const ProgressSeries& s) {
            return s.part == run.part && s.interval == run.interval;
        });
        if (line == series.end()) {
            if (series.size() >= most) {
                continue;
            }
            series << ProgressSeries{run.part, run.interval, {}};
            line = series.end() - 1;
        }
        line->runs.prepend(i);
    }
    return series;
}

bool runsShareADay(const QList<TrainingRun>& runs) {
    QSet<QDate> days;
    for (const TrainingRun& run : runs) {
        if (days.contains(run.date.date())) {
            return true;
        }
        days.insert(run.date.date());
    }
    return false;
}
