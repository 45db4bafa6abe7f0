#pragma once

#include <QString>

class Ensemble;
class TChannels;
class TSoundData;

// What the ringing choices (cbCommon and the three group ringing selectors)
// need of the rest of the program: the ensemble whose group counts filter
// the catalogue, the catalogue and the working scores, loading a ringing,
// and the playback, recording, score and full view that follow each choice.
// The main window answers it.
class RingingChoicesHost {
public:
    virtual ~RingingChoicesHost() = default;

    virtual const Ensemble& ensemble() const = 0;
    // The ringing catalogue with its offered lists; nullptr once shut down.
    virtual TSoundData* catalogue() = 0;
    // The working scores (three groups and the common score).
    virtual TChannels& channels() = 0;
    virtual const TChannels& channels() const = 0;
    // The folder of the library ringings (ending in '/'; "" when unknown).
    virtual QString campanelDir() const = 0;
    // Loads score `index` (0..2 a group, 3 the common score) from a file and
    // shows its tempo and length; false when nothing was loaded.
    virtual bool loadRinging(int index, const QString& path) = 0;

    // The ringing now chosen, shown in the window's title; none chosen.
    virtual void showRingingName(const QString& name) = 0;
    virtual void showNoRinging() = 0;
    // Ends a recording in progress; keyboard ringing comes back on.
    virtual void endRecording() = 0;

    // Playback: stop and empty the scores; the page selector's and the
    // slider's ranges for a ringing reached by a common or a group choice;
    // the stopped transport put back at a column of the loaded ringing.
    virtual void resetPlayback() = 0;
    enum class Ranges { CommonChoice, GroupChoice };
    virtual void applyRingingRanges(Ranges ranges) = 0;
    virtual void restorePlayPlace(int column) = 0;
    // Where playback stands: the column last struck, and the page shown.
    virtual int currentColumn() const = 0;
    virtual void setCurrentPage(int page) = 0;
    // Group-ringing mode (the three group choices form one looping ringing).
    virtual bool groupRingingMode() const = 0;
    virtual void setGroupRingingMode(bool on) = 0;
    // The next reset of playback leaves generator mode on.
    virtual void keepGeneratorOnNextReset() = 0;
    // The chooser's "Играть все по очереди" goes off.
    virtual void uncheckPlayInTurn() = 0;

    // The score switch ("Ноты") and the score of whichever view is in front.
    virtual bool notesShown() const = 0;
    virtual void redrawScore() = 0;
    // The full view's common list shows the same item (when it has it).
    virtual void followCommonChoice(int index) = 0;

    // Asked before the ringing loaded now is replaced (the score editor's
    // unsaved changes); false: the user keeps it, and nothing changes.
    virtual bool mayReplaceRinging() { return true; }
};
