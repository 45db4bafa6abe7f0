#pragma once

#include "practice/BellFigures.h"

#include <QList>
#include <QString>
#include <QWidget>

// Each strike's error through the run: time across, early below the middle
// line and late above it, a dot per strike in its bell's colour with the
// bell's running mean drawn through them, and the bars marked by dotted
// lines with their numbers, so that a bell drifting late after some bar is
// seen where it begins.
class ErrorTimelineView : public QWidget {
    Q_OBJECT
public:
    struct BellLabel {
        int bell = 0;
        QString text; // "K: Колокол 3"
    };
    // Errors beyond this are drawn at the edge.
    static constexpr double kRangeMs = 100.0;
    // The strikes of a bell its running mean takes in.
    static constexpr int kMeanWindow = 8;

    explicit ErrorTimelineView(QWidget* parent = nullptr);
    void setTimeline(const ErrorTimeline& timeline, const QList<BellLabel>& bells);
    const ErrorTimeline& timeline() const { return m_timeline; }
    QSize sizeHint() const override { return {560, 230}; }

    static QColor colourOfBell(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ErrorTimeline m_timeline;
    QList<BellLabel> m_bells;
};
