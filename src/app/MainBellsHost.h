#pragma once

#include "bells/BellsHost.h"

class TfrmMain;

// Answers the bells panel from the main window's paths, settings file,
// required-file check, playback and groups panel.
class MainBellsHost : public BellsHost {
public:
    explicit MainBellsHost(TfrmMain& window) : m_window(window) {}

    bool mayReplaceRinging() override;

    PathTable& paths() override;
    ProfileFile& settingsFile() override;
    RequiredFileCheck& requiredFiles() override;
    void preloadSampleFolder() override;
    void handStrike(int bell, float gain) override;
    void resetGroupsVariant() override;
    void recomputeGroups() override;
    void showEnsembleGroups() override;

private:
    TfrmMain& m_window;
};
