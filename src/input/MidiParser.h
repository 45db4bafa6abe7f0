#pragma once

#include <cstdint>
#include <span>
#include <vector>

// One note event of a MIDI stream; everything else the stream carries
// (controllers, clock, system exclusive data) is of no use for ringing.
struct MidiNote {
    bool on = false;  // a note on with a velocity above 0
    int channel = 1;  // 1..16
    int note = 0;     // 0..127
    int velocity = 0; // 1..127 for a note on, the release velocity for a note off
};

// Reads the raw bytes of a MIDI stream, as a port delivers them, in pieces
// of any size: a message may be split between two calls.
//  - running status: data bytes after a complete channel message repeat its
//    status byte;
//  - a note on with velocity 0 is a note off;
//  - real-time bytes (0xF8-0xFF) may sit anywhere, even inside a message,
//    and change nothing;
//  - system exclusive data (0xF0 ... 0xF7) and system common messages are
//    skipped and end the running status;
//  - data bytes without a status are dropped.
class MidiParser {
public:
    // The notes completed by `bytes`, in order.
    std::vector<MidiNote> feed(std::span<const std::uint8_t> bytes);
    void reset();

private:
    void dataByte(std::uint8_t byte, std::vector<MidiNote>& out);

    std::uint8_t m_status = 0; // running status; 0: none
    int m_needed = 0;          // data bytes of the current message
    int m_have = 0;
    std::uint8_t m_data[2] = {0, 0};
    bool m_inSysex = false;
    int m_skip = 0; // data bytes of a system common message still to skip
};
