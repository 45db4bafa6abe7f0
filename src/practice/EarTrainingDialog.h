#pragma once

#include "practice/EarHistory.h"
#include "practice/EarTraining.h"

#include <QDialog>
#include <QMap>
#include <QTimer>

class PracticeHost;
class QLabel;
class QPushButton;

// "Тренировка слуха": plays a short passage with one strike early or late,
// takes the answer (the bell by its button or key, the way by a button or
// the Up and Down keys), adapts the amount and shows the threshold found and
// the last thresholds kept.
class EarTrainingDialog : public QDialog {
    Q_OBJECT
public:
    EarTrainingDialog(PracticeHost& host, EarHistory& history, quint32 seed);

    EarTraining& training() { return m_training; }
    // Answers the present question as the buttons do.
    void chooseBell(int bell);
    void answerWay(bool late);
    void playNext();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showState();
    void showHistory();
    // The dialog is never lower than its texts, wrapped at its width, need.
    void keepEverythingShown();

    PracticeHost& m_host;
    EarHistory& m_history;
    EarTraining m_training;
    QMap<int, QPushButton*> m_bellButtons;
    int m_chosenBell = -1;
    QLabel* m_amount = nullptr;
    QLabel* m_feedback = nullptr;
    QLabel* m_threshold = nullptr;
    QLabel* m_trend = nullptr;
    QWidget* m_chart = nullptr;
    QPushButton* m_early = nullptr;
    QPushButton* m_late = nullptr;
    QPushButton* m_replay = nullptr;
    QPushButton* m_next = nullptr;
    QTimer m_nextTimer;
};
