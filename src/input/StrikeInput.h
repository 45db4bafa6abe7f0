#pragma once

#include "input/MidiInput.h"

#include <QString>

// Where a strike comes from. Each input has a delay of its own (a key press
// through the window system, a pad through its driver and port, a
// microphone through its analysis), so each is calibrated on its own.
struct StrikeInput {
    enum class Kind { Keys, Midi, Microphone };
    Kind kind = Kind::Keys;
    MidiPort port; // the port of a MIDI input

    static StrikeInput keys() { return {}; }
    static StrikeInput midi(const MidiPort& port) { return {Kind::Midi, port}; }

    // As the user reads it: «клавиатура», «MIDI: JACK: Pads:pads».
    QString label() const;
    // A MIDI port is the same input however its numbers changed.
    bool operator==(const StrikeInput& other) const {
        return kind == other.kind &&
               (kind != Kind::Midi || (port.api == other.port.api && port.key() == other.port.key()));
    }
};
