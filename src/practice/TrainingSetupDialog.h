#pragma once

#include "base/BellGroups.h"
#include "practice/PracticePart.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class PracticeHost;
class QPushButton;
class QRadioButton;
class Trainer;

// Chooses what the user rings in a practice run: a group of the loaded
// ringing or one bell of it; shows and recalibrates the latency offset.
class TrainingSetupDialog : public QDialog {
    Q_OBJECT
public:
    TrainingSetupDialog(PracticeHost& host, Trainer& trainer);

    PracticePart part() const;
    // Chooses a part as the user would (tests, and the part chosen last).
    void choose(const PracticePart& part);

    // The tap-along ("Калибровка ...").
    void calibrate();

private:
    void showLatency();
    void updateStart();

    PracticeHost& m_host;
    Trainer& m_trainer;
    QButtonGroup* m_choice = nullptr;
    QRadioButton* m_groups[kGroupCount] = {};
    QRadioButton* m_single = nullptr;
    QComboBox* m_bell = nullptr;
    QLabel* m_latency = nullptr;
    QPushButton* m_start = nullptr;
};
