#pragma once

class PathTable;
class ProfileFile;
class RequiredFileCheck;

// What the bells panel needs of the rest of the program: the folders of the
// catalogue, the pictures and the samples, the settings file, the check of
// required files, the hand strike, and the groups panel that follows every
// change of the selection. The main window answers it.
class BellsHost {
public:
    virtual ~BellsHost() = default;

    // The program's folders; the sample folder follows the chosen model row.
    virtual PathTable& paths() = 0;
    virtual ProfileFile& settingsFile() = 0;
    // The check that reports a missing picture or catalogue.
    virtual RequiredFileCheck& requiredFiles() = 0;
    // Starts converting the samples of the current sample folder.
    virtual void preloadSampleFolder() = 0;

    // Sounds one bell at once; gain 0..1 follows a MIDI strike's velocity.
    virtual void handStrike(int bell, float gain) = 0;

    // The groups panel: a new selection starts at the first distribution
    // variant; the groups are then assigned again, or shown as they stand
    // when an ensemble brought its own.
    virtual void resetGroupsVariant() = 0;
    virtual void recomputeGroups() = 0;
    virtual void showEnsembleGroups() = 0;

    // Asked before the ringing loaded now is replaced (the score editor's
    // unsaved changes); false: the user keeps it, and nothing changes.
    virtual bool mayReplaceRinging() { return true; }
};
