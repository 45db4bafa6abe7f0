#pragma once

#include "score/ScoreWelcomeHost.h"

class QComboBox;
class TfrmMain;

// Answers the welcome's buttons with the window's own commands: select all,
// a choice in the common ringing list, Play, and the Help menu's lesson.
class MainScoreWelcomeHost : public ScoreWelcomeHost {
public:
    MainScoreWelcomeHost(TfrmMain& window, QComboBox* commonList) : m_window(window), m_common(commonList) {}

    void playTrezvonWithAllBells() override;
    void openProgramLesson() override;

private:
    TfrmMain& m_window;
    QComboBox* m_common;
};
