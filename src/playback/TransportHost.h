#pragma once

#include <QString>

#include <cstdint>

// What the sequencer needs of the rest of the program: the working set, the
// voices, the score view, the chooser, the generator and the transport
// controls. The main window answers it; tests answer it with a fake.
//
// The controls behave as the window's widgets do: setting a slider clamps the
// value to its range, and a notified change runs the sequencer's change rule
// (sliderMoved / tempoSliderMoved) only when the position really changes.
class TransportHost {
public:
    virtual ~TransportHost() = default;

    // Working set.
    virtual int commonScoreSize() const = 0;
    virtual void clearScores() = 0;

    // Voices: sound one column on the given output frame (its ideal time).
    // Handed ahead of that time; the engine starts it on its frame.
    virtual void soundColumn(int column, std::int64_t idealFrame) = 0;
    // Withdraw the sounds handed for ideal frames from `idealFrame` on; those
    // that have not started never sound.
    virtual void cancelSoundsFrom(std::int64_t idealFrame) = 0;
    // How long after its ideal frame a handed column starts sounding.
    virtual std::int64_t soundLeadFrames() const { return 0; }
    // Show one column as struck, when the output reaches it: the animation
    // frames, the recording's and the trainer's column.
    virtual void strikeColumn(int column, std::int64_t idealFrame) = 0;
    // Play's wait for the bells' sounds: true when every sample the loaded
    // ringing strikes is ready at the output's rate; otherwise the missing
    // ones are asked for first. Told in the status bar after a while.
    virtual bool soundsReady() { return true; }
    virtual void showWaitingForSounds(bool /*waiting*/) {}
    // Close the voices that have finished sounding (run every 64 columns).
    virtual void sweepFinishedVoices() = 0;

    // Score and animation.
    virtual bool notesShown() const = 0;
    virtual void redrawScore() = 0;
    virtual void placeScoreCursor() = 0;
    // Clear the score pictures, place the cursor and draw the empty staves.
    virtual void resetScoreView() = 0;
    // Set the animated-group flags and return the bell pictures to rest.
    virtual void resetAnimation() = 0;

    // The chooser's play-all-in-turn.
    virtual bool playAllInTurn() const = 0;
    virtual void uncheckPlayAllInTurn() = 0;
    // Highlight the next list ringing of the chooser (the first after the last).
    virtual void selectNextInTurn() = 0;
    // Load the highlighted list ringing and start the timer.
    virtual void playNextInTurn() = 0;

    // The random generator draws and applies a new combination.
    virtual void generateNext() = 0;

    // Progress slider.
    virtual int sliderPosition() const = 0;
    virtual void setSliderPosition(int position, bool notify) = 0;
    // Clamps the position into the new range without running the change rule:
    // a shorter range never moves the column that plays.
    virtual void setSliderMaximum(int maximum) = 0;
    virtual void setSliderEnabled(bool enabled) = 0;

    // Page selector: position 1.. and the edit beside it.
    virtual void setPagePosition(int position) = 0;
    virtual void setPageMaximum(int maximum) = 0;
    virtual void setPageEnabled(bool enabled) = 0;

    // Captions.
    virtual void showPlayTime(const QString& text) = 0;
    virtual void showTotalDuration(const QString& text) = 0;
    virtual void showTempoCaption(const QString& text) = 0;

    // Tempo slider.
    virtual int tempoSliderPosition() const = 0;
    virtual void setTempoSliderPosition(int position, bool notify) = 0;

    // The window's timer: run the tick once after `milliseconds`, or not at all.
    virtual void scheduleTick(int milliseconds) = 0;
    virtual void cancelTick() = 0;
};
