#pragma once

#include <QString>

#include <array>
#include <optional>

// How a MIDI instrument rings the bells: which note strikes which bell, and
// how loud a strike of a given velocity sounds. Bells are numbered 0 (the
// biggest) upward, as in the bell strip.

// The loudness of a strike follows its velocity on one of three curves:
// linear, soft (light strokes already sound full: for stiff pads) and hard
// (full sound only from strong strokes: for touchy pads).
enum class VelocityCurve { Linear, Soft, Hard };

// The gain of a strike of velocity 1..127 (0..1, rising with the velocity,
// 1 at 127). Out-of-range velocities are clamped.
float velocityGain(int velocity, VelocityCurve curve);
// The name kept in the settings ("linear", "soft", "hard") and back; an
// unknown name is linear.
QString curveName(VelocityCurve curve);
VelocityCurve curveFromName(const QString& name);

// Note number 0..127 -> bell, or none.
class MidiNoteMap {
public:
    static constexpr int kNotes = 128;

    // The General MIDI percussion keys: bass drums and toms on the big
    // bells, snares in the middle, cymbals and hi-hats on the small ones.
    static MidiNoteMap drumMap(int bellCount);
    // Consecutive notes from `firstNote`, the lowest on the biggest bell;
    // notes past 127 are left out.
    static MidiNoteMap chromatic(int firstNote, int bellCount);

    // -1 for an unmapped or out-of-range note.
    int bellOf(int note) const;
    // A bell of -1 clears the note; out-of-range notes are ignored.
    void assign(int note, int bell);
    bool isEmpty() const;

    // "36:0 38:8 ..." in note order; read back by fromText, which refuses
    // (nullopt) text that is not such a list or names a bell past bellCount.
    QString toText() const;
    static std::optional<MidiNoteMap> fromText(const QString& text, int bellCount);

    bool operator==(const MidiNoteMap&) const = default;

private:
    std::array<signed char, kNotes> m_bells{};
    bool m_filled = false; // m_bells starts as all -1 once filled
    void fill();
};

// Channel filter: 0 listens to every channel, 1..16 to that one.
inline bool channelAccepted(int filter, int channel) {
    return filter == 0 || filter == channel;
}

// Learning a mapping: strike a pad, then click a bell (or press its key);
// the note struck last is then mapped to that bell. Notes struck while
// learning do not ring.
class MidiLearn {
public:
    void start() {
        m_active = true;
        m_note.reset();
    }
    void stop() {
        m_active = false;
        m_note.reset();
    }
    bool isActive() const { return m_active; }
    std::optional<int> pendingNote() const { return m_note; }

    // A note struck while learning; false when not learning.
    bool noteStruck(int note);
    // A bell picked while learning: maps the pending note to it and waits
    // for the next pad. False (map untouched) without a pending note. A bell
    // of -1 makes the note ring nothing (a hi-hat pedal, a pad not wanted).
    bool bellPicked(int bell, MidiNoteMap& map);

private:
    bool m_active = false;
    std::optional<int> m_note;
};
