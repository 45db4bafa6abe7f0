#pragma once

#include "input/MidiInput.h"
#include "input/MidiMapping.h"

#include <optional>

class ProfileFile;

// What a port rings: the channel it listens to (0: all), its notes, and the
// least velocity that strikes (softer notes are an electronic kit's
// crosstalk between its pads; 0 and 1: every note).
struct MidiPortSettings {
    static constexpr int kMostThreshold = 127;
    int channel = 0;
    MidiNoteMap map;
    int threshold = 0;
    bool strikes(int velocity) const { return velocity >= threshold; }
};

// The MIDI choices in the program's settings file: [MIDI] holds the port in
// use and the velocity curve; each port has a section of its own ("MIDI " and
// its key) with its channel and its note map, so a drum pad and a keyboard
// each keep theirs.
class MidiSettings {
public:
    MidiSettings(ProfileFile& file, int bellCount) : m_file(file), m_bellCount(bellCount) {}

    std::optional<MidiPort> port() const;
    // nullopt: no port (the user chose none).
    void setPort(const std::optional<MidiPort>& port);

    VelocityCurve curve() const;
    void setCurve(VelocityCurve curve);

    // A port never set up, or whose map does not read back, rings the
    // General MIDI drum map on every channel; a map the user emptied stays
    // empty.
    MidiPortSettings portSettings(const MidiPort& port) const;
    void setPortSettings(const MidiPort& port, const MidiPortSettings& settings);

    // The section of a port; characters a section name cannot hold are
    // replaced.
    static QString sectionOf(const MidiPort& port);

private:
    ProfileFile& m_file;
    int m_bellCount;
};
