#pragma once

#include "bells/GroupsHost.h"

class TfrmMain;

// Answers the groups panel from the main window's ensemble, bell catalogue,
// bell strip and ringing choices.
class MainGroupsHost : public GroupsHost {
public:
    explicit MainGroupsHost(TfrmMain& window) : m_window(window) {}

    bool mayReplaceRinging() override;

    Ensemble& ensemble() override;
    QString bellDisplayName(int bell) const override;
    int findBellByName(const QString& name) const override;
    void handStrike(int bell) override;
    void toggleBell(int bell) override;
    void showBellPicture(int bell) override;
    void showBellCount() override;
    void groupsChanged() override;
    void resetPlayback() override;

private:
    TfrmMain& m_window;
};
