#pragma once

class Ensemble;

// What the recording dialog needs of the main window.
class RecordingHost {
public:
    virtual ~RecordingHost() = default;
    // The ensemble as it is now (Space may change it while recording).
    virtual const Ensemble& ensemble() const = 0;
    // Milliseconds per column of the sequencer.
    virtual int sequencerInterval() const = 0;
    // Halts playback where it is.
    virtual void stopSequencer() = 0;
    // The keyboard-ringing flag: the key hook acts on keys only while it is on.
    virtual void setKeyboardRinging(bool on) = 0;
};
