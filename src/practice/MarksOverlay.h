#pragma once

#include "practice/StrikeMarks.h"

#include <QWidget>

// The practice marks over one staff: a transparent layer over the staff
// panel that follows its size and lets every mouse event through.
class MarksOverlay : public QWidget {
    Q_OBJECT
public:
    explicit MarksOverlay(QWidget* staff);

    void setMarks(const QList<StrikeMark>& marks);
    const QList<StrikeMark>& marks() const { return m_marks; }

    static QColor colourOf(StrikeMark::Kind kind);

signals:
    // The staff changed size: the marks must be placed again.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<StrikeMark> m_marks;
};
