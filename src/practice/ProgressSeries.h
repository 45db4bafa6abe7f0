#pragma once

#include "practice/TrainingHistory.h"

#include <QList>
#include <QString>

// One line of the progress chart: the runs of one part at one tempo. Runs of
// another part or tempo are no step forward or back from these, so each
// combination is a line of its own.
struct ProgressSeries {
    QString part; // PracticePart::code()
    int interval = 0;
    // Indexes into the runs given, oldest first.
    QList<int> runs;

    // "Малые колокола, темп: 906".
    QString caption() const;
};

// The lines of the runs (oldest first): the `most` lines with the latest
// runs, the line of the last run first.
QList<ProgressSeries> progressSeries(const QList<TrainingRun>& runs, int most);

// Whether two of the runs fall on one day: the chart then tells them apart by
// the time of day.
bool runsShareADay(const QList<TrainingRun>& runs);
