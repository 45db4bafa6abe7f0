#pragma once

#include <QWidget>

class QToolButton;

// A pair of small arrow buttons that step a position between a minimum and a
// maximum, without wrapping. It shows nothing itself: the read-only edit
// beside it shows the position. clicked() is sent after a step by the user.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    int min() const { return m_min; }
    int max() const { return m_max; }
    int position() const { return m_position; }

    void setMin(int value);
    void setMax(int value);
    // Clamped to [min, max]; sends positionChanged when it changes.
    void setPosition(int value);

signals:
    void positionChanged(int position);
    void clicked();

private:
    void step(int delta);
    void updateButtons();

    QToolButton* m_up;
    QToolButton* m_down;
    int m_min = 1;
    int m_max = 1;
    int m_position = 1;
};
