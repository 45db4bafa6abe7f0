#pragma once

#include "base/BellGroups.h"
#include "practice/PracticePart.h"
#include "practice/PracticePlan.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QSpinBox;
class QVBoxLayout;
class QComboBox;
class QLabel;
class PracticeHost;
class QPushButton;
class QRadioButton;
class Trainer;

// Chooses what the user rings in a practice run: a group of the loaded
// ringing or one bell of it, optionally a passage of bars looped and a tempo
// ramp; shows the grade reached and recalibrates the latency offset.
class TrainingSetupDialog : public QDialog {
    Q_OBJECT
public:
    TrainingSetupDialog(PracticeHost& host, Trainer& trainer);

    PracticePart part() const;
    PracticePlan plan() const;
    // Chooses bars first..last (1-based, as the score counts them) as the passage.
    void choosePassage(int firstBar, int lastBar);
    void chooseRamp(const TempoRamp::Settings& settings);
    QString gradeText() const;
    // Chooses a part as the user would (tests, and the part chosen last).
    void choose(const PracticePart& part);

    // The tap-along ("Калибровка ...").
    void calibrate();

private:
    void showLatency();
    void updateStart();
    void addPassage(QVBoxLayout* layout);

    PracticeHost& m_host;
    Trainer& m_trainer;
    QButtonGroup* m_choice = nullptr;
    QRadioButton* m_groups[kGroupCount] = {};
    QRadioButton* m_single = nullptr;
    QComboBox* m_bell = nullptr;
    QLabel* m_latency = nullptr;
    QLabel* m_grade = nullptr;
    QCheckBox* m_passage = nullptr;
    QSpinBox* m_firstBar = nullptr;
    QSpinBox* m_lastBar = nullptr;
    QCheckBox* m_ramp = nullptr;
    QSpinBox* m_rampStart = nullptr;
    QSpinBox* m_rampStep = nullptr;
    QSpinBox* m_rampGood = nullptr;
    QPushButton* m_start = nullptr;
};
