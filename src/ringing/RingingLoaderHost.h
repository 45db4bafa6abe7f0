#pragma once

#include <QString>

class ProfileFile;
class QWidget;

// What loading a ringing into the working set needs of the rest of the
// program: the sequencer's tempo, the animation, the ensemble and its stored
// copy, the transport's ranges, the score, the window's title and status bar
// and the ringing choices. The main window answers it.
class RingingLoaderHost {
public:
    virtual ~RingingLoaderHost() = default;

    // Milliseconds per column; a load keeps it when the header names none.
    virtual int sequencerInterval() const = 0;
    virtual void setSequencerInterval(int milliseconds) = 0;
    // The loaded ringing's chord marks reach the bell animation (when it exists).
    virtual void animationRingingLoaded() = 0;
    virtual void showTempo() = 0;
    virtual void showTotalDuration() = 0;

    // The ensemble: every bell deselected; a text form applied through the
    // bells panel (which refills the choices and resets playback); the
    // settings file that stores it.
    virtual void deselectAllBells() = 0;
    virtual void applyEnsembleText(const QString& bells, const QString& types) = 0;
    virtual ProfileFile& settingsFile() = 0;

    // The page selector's and the slider's ranges for a whole ringing; the
    // score switch ("Ноты") and the score of whichever view is in front.
    virtual void applyWholeRingingRanges() = 0;
    virtual bool notesShown() const = 0;
    virtual void redrawScore() = 0;

    virtual void showStatusMessage(const QString& text, int timeoutMs) = 0;
    // Playback: start playing; stop and empty the scores.
    virtual void play() = 0;
    virtual void resetPlayback() = 0;

    // The window's title: the ringing now loaded, or the chooser open (no
    // ringing loaded then).
    virtual void showRingingName(const QString& name) = 0;
    virtual void showChooserOpen() = 0;
    // The ringing choices: every list at item 0; cbCommon at the item of
    // this name when it offers one past "Выбор звона".
    virtual void clearChoices() = 0;
    virtual void chooseOfferedRinging(const QString& name) = 0;

    // The folder of the list ringings (ending in '/'; "" when unknown).
    virtual QString customDir() const = 0;
    // The window the chooser belongs to.
    virtual QWidget* dialogParent() = 0;
};
