#include "input/MidiParser.h"

namespace {

// Data bytes that follow a channel status byte.
int dataBytesOf(std::uint8_t status) {
    switch (status & 0xF0) {
    case 0xC0: // program change
    case 0xD0: // channel pressure
        return 1;
    default:
        return 2;
    }
}

// Data bytes of a system common message (0xF1-0xF6).
int systemCommonBytes(std::uint8_t status) {
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    default:
        return 0;
    }
}

} // namespace

void MidiParser::reset() {
    *this = MidiParser();
}

std::vector<MidiNote> MidiParser::feed(std::span<const std::uint8_t> bytes) {
    std::vector<MidiNote> out;
    for (const std::uint8_t byte : bytes) {
        if (byte >= 0xF8) {
            continue; // real-time: clock, start, stop, active sensing, reset
        }
        if (byte == 0xF7) {
            // The end of a system exclusive, or a stray one: either way a
            // system message, which ends running status.
            m_inSysex = false;
            m_status = 0;
            m_have = 0;
            m_skip = 0;
            continue;
        }
        if (byte & 0x80) {
            // Any status byte also ends an unterminated system exclusive.
            m_inSysex = false;
            m_have = 0;
            m_skip = 0;
            if (byte == 0xF0) {
                m_inSysex = true;
                m_status = 0;
            } else if (byte >= 0xF1) {
                m_skip = systemCommonBytes(byte);
                m_status = 0;
            } else {
                m_status = byte;
                m_needed = dataBytesOf(byte);
            }
            continue;
        }
        if (m_inSysex) {
            continue;
        }
        if (m_skip > 0) {
            --m_skip;
            continue;
        }
        if (m_status != 0) {
            dataByte(byte, out);
        }
    }
    return out;
}

void MidiParser::dataByte(std::uint8_t byte, std::vector<MidiNote>& out) {
    m_data[m_have++] = byte;
    if (m_have < m_needed) {
        return;
    }
    m_have = 0; // the status stays for running status
    const int kind = m_status & 0xF0;
    if (kind != 0x90 && kind != 0x80) {
        return;
    }
    MidiNote note;
    note.channel = (m_status & 0x0F) + 1;
    note.note = m_data[0];
    note.velocity = m_data[1];
    note.on = kind == 0x90 && note.velocity > 0;
    out.push_back(note);
}
