// MIDI input apart from any port: the byte parser, note maps, velocity
// curves, the per-port settings and the placing of events on our clock.

#include "base/ProfileFile.h"
#include "input/MidiInput.h"
#include "input/MidiMapping.h"
#include "input/MidiParser.h"
#include "input/MidiSettings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "on 10 38 100" / "off 1 60 0" per note, for readable expectations.
std::string describe(const std::vector<MidiNote>& notes) {
    std::string out;
    for (const MidiNote& n : notes) {
        out += (out.empty() ? "" : " | ") + std::string(n.on ? "on " : "off ") + std::to_string(n.channel) +
               " " + std::to_string(n.note) + " " + std::to_string(n.velocity);
    }
    return out;
}

struct ParserCase {
    const char* fault;
    std::vector<std::vector<std::uint8_t>> pieces; // fed one after another
    const char* expected;
};

TEST(MidiParser, RawBytes) {
    const ParserCase cases[] = {
        {"a plain note on and off", {{0x99, 38, 100, 0x89, 38, 64}}, "on 10 38 100 | off 10 38 64"},
        {"velocity 0 is a note off, not a silent strike", {{0x90, 60, 0}}, "off 1 60 0"},
        {"running status repeats the last status byte",
         {{0x90, 60, 90, 62, 80, 60, 0}},
         "on 1 60 90 | on 1 62 80 | off 1 60 0"},
        {"running status holds across pieces", {{0x95, 40}, {70, 41}, {71}}, "on 6 40 70 | on 6 41 71"},
        {"real-time bytes inside a message change nothing",
         {{0x90, 0xF8, 60, 0xFE, 100, 0xF8, 61, 0xFA, 50}},
         "on 1 60 100 | on 1 61 50"},
        {"system exclusive data never reads as notes",
         {{0xF0, 0x7E, 60, 100, 0xF7, 61, 100, 0x91, 50, 60}},
         "on 2 50 60"},
        {"sysex ends running status", {{0x90, 60, 100, 0xF0, 1, 2, 0xF7, 61, 100}}, "on 1 60 100"},
        {"a status byte ends an unterminated sysex", {{0xF0, 1, 2, 0x90, 60, 100}}, "on 1 60 100"},
        {"a sysex cut off in one message ends at the next message's status",
         {{0xF0, 0x7E, 0x01, 0x02}, {0x99, 37, 127}},
         "on 10 37 127"},
        {"real-time bytes inside a sysex do not end it", {{0xF0, 1, 0xF8, 60, 100, 0xF7, 0x90, 61, 1}}, "on 1 61 1"},
        {"a stray end of sysex ends running status", {{0x90, 60, 100, 0xF7, 61, 100}}, "on 1 60 100"},
        {"a tune request ends running status", {{0x90, 60, 100, 0xF6, 61, 100}}, "on 1 60 100"},
        {"undefined system common bytes end running status", {{0x90, 60, 100, 0xF4, 61, 100, 0xF5, 62}}, "on 1 60 100"},
        {"stray data after a song select never strikes", {{0x90, 60, 100, 0xF3, 5, 61, 100}}, "on 1 60 100"},
        {"stray data after a time code quarter frame never strikes",
         {{0x99, 37, 1}, {0xF1, 0x20}, {38, 90}},
         "on 10 37 1"},
        {"system common data bytes are skipped", {{0xF2, 0x10, 0x20, 0xF3, 5, 0x90, 60, 1}}, "on 1 60 1"},
        {"one-byte messages keep their own length",
         {{0xC0, 5, 0x90, 60, 100, 0xD0, 20, 0x90, 61, 1}},
         "on 1 60 100 | on 1 61 1"},
        {"controllers and bends are no notes", {{0xB0, 64, 127, 0xE0, 0, 64, 0x90, 60, 9}}, "on 1 60 9"},
        {"data bytes without a status are dropped", {{60, 100, 0x90, 60, 100}}, "on 1 60 100"},
    };
    for (const ParserCase& c : cases) {
        MidiParser parser;
        std::vector<MidiNote> notes;
        for (const auto& piece : c.pieces) {
            const std::vector<MidiNote> got = parser.feed(piece);
            notes.insert(notes.end(), got.begin(), got.end());
        }
        EXPECT_EQ(describe(notes), c.expected) << c.fault;
    }
}

TEST(MidiNoteMap, DefaultsAndText) {
    const MidiNoteMap drums = MidiNoteMap::drumMap(15);
    EXPECT_EQ(drums.bellOf(36), 0);  // bass drum on the biggest bell
    EXPECT_EQ(drums.bellOf(38), 8);  // snare in the middle
    EXPECT_EQ(drums.bellOf(42), 14); // hi-hat, closed and open, on the smallest
    EXPECT_EQ(drums.bellOf(46), 14);
    EXPECT_EQ(drums.bellOf(60), -1);
    EXPECT_EQ(drums.bellOf(-1), -1);
    EXPECT_EQ(drums.bellOf(128), -1);

    const MidiNoteMap keys = MidiNoteMap::chromatic(120, 15);
    EXPECT_EQ(keys.bellOf(120), 0);
    EXPECT_EQ(keys.bellOf(127), 7); // notes past 127 are left out, not wrapped
    EXPECT_EQ(keys.bellOf(119), -1);

    // What is written reads back the same; bad text is refused, not half read.
    EXPECT_EQ(MidiNoteMap::fromText(drums.toText(), 15), drums);
    EXPECT_EQ(MidiNoteMap::fromText(QString(), 15)->isEmpty(), true);
    for (const char* bad : {"36:0 x", "36:15", "128:1", "36", "-1:2", "36:0:1"}) {
        EXPECT_FALSE(MidiNoteMap::fromText(QString::fromLatin1(bad), 15)) << bad;
    }
    EXPECT_TRUE(MidiNoteMap().isEmpty());
}

// Learn mode: nothing is mapped without a pad struck first; the last pad
// struck before the bell wins; each pick waits for a new pad.
TEST(MidiLearn, PadThenBell) {
    MidiNoteMap map = MidiNoteMap::drumMap(15);
    MidiLearn learn;
    EXPECT_FALSE(learn.noteStruck(70)); // not learning: rings as usual
    learn.start();
    EXPECT_FALSE(learn.bellPicked(3, map));
    EXPECT_TRUE(learn.noteStruck(70));
    EXPECT_TRUE(learn.noteStruck(71));
    EXPECT_TRUE(learn.bellPicked(3, map));
    EXPECT_EQ(map.bellOf(71), 3);
    EXPECT_EQ(map.bellOf(70), -1);
    EXPECT_FALSE(learn.bellPicked(4, map));
    EXPECT_TRUE(learn.noteStruck(36)); // remapping a default note
    EXPECT_TRUE(learn.bellPicked(5, map));
    EXPECT_EQ(map.bellOf(36), 5);
    // The hi-hat pedal rings nothing once picked for no bell.
    EXPECT_TRUE(learn.noteStruck(44));
    EXPECT_TRUE(learn.bellPicked(-1, map));
    EXPECT_EQ(map.bellOf(44), -1);
    EXPECT_EQ(map.bellOf(42), 14);
    learn.stop();
    EXPECT_FALSE(learn.pendingNote());
    EXPECT_TRUE(channelAccepted(0, 10));
    EXPECT_TRUE(channelAccepted(10, 10));
    EXPECT_FALSE(channelAccepted(10, 1));
}

TEST(VelocityCurves, RiseToFullAndOrder) {
    for (const VelocityCurve curve : {VelocityCurve::Linear, VelocityCurve::Soft, VelocityCurve::Hard}) {
        EXPECT_FLOAT_EQ(velocityGain(127, curve), 1.0f);
        EXPECT_FLOAT_EQ(velocityGain(200, curve), 1.0f); // clamped, never louder than full
        EXPECT_FLOAT_EQ(velocityGain(0, curve), 0.0f);
        float last = 0.0f;
        for (int v = 1; v <= 127; ++v) {
            const float g = velocityGain(v, curve);
            EXPECT_GT(g, last) << curveName(curve).toStdString() << " " << v;
            last = g;
        }
        EXPECT_EQ(curveFromName(curveName(curve)), curve);
    }
    // A light stroke sounds louder on the soft curve than on the hard one.
    EXPECT_GT(velocityGain(32, VelocityCurve::Soft), velocityGain(32, VelocityCurve::Linear));
    EXPECT_LT(velocityGain(32, VelocityCurve::Hard), velocityGain(32, VelocityCurve::Linear));
    EXPECT_NEAR(velocityGain(64, VelocityCurve::Linear), 64.0f / 127.0f, 1e-6);
    EXPECT_EQ(curveFromName(QStringLiteral("nonsense")), VelocityCurve::Linear);
}

// Each port keeps its own channel and notes; a port's key ignores the ALSA
// numbers that change with each plugging; odd names make valid sections.
TEST(MidiSettings, PerPortInTheSettingsFile) {
    QTemporaryDir dir;
    ProfileFile file(dir.filePath(QStringLiteral("campanix.ini")));
    MidiSettings settings(file, 15);
    EXPECT_FALSE(settings.port());

    const MidiPort pads{QStringLiteral("ALSA"), QStringLiteral("Pads:Pads MIDI 1 24:0")};
    const MidiPort keys{QStringLiteral("JACK"), QStringLiteral("a2j:Keys [20] = main; x")};
    EXPECT_EQ(pads.key(), QStringLiteral("Pads:Pads MIDI 1"));
    MidiPortSettings padSettings{10, MidiNoteMap::chromatic(36, 15)};
    settings.setPortSettings(pads, padSettings);
    settings.setPortSettings(keys, {3, MidiNoteMap::chromatic(60, 15)});
    settings.setPort(pads);
    settings.setCurve(VelocityCurve::Hard);

    MidiSettings again(file, 15);
    ASSERT_TRUE(again.port());
    EXPECT_EQ(again.port()->key(), pads.key());
    EXPECT_EQ(again.curve(), VelocityCurve::Hard);
    const MidiPort replugged{QStringLiteral("ALSA"), QStringLiteral("Pads:Pads MIDI 1 28:0")};
    EXPECT_EQ(again.portSettings(replugged).channel, 10);
    EXPECT_EQ(again.portSettings(replugged).map, padSettings.map);
    EXPECT_EQ(again.portSettings(keys).channel, 3);
    EXPECT_EQ(again.portSettings(keys).map.bellOf(60), 0);
    // A port never seen, or a map spoilt by hand, rings the drum map.
    EXPECT_EQ(again.portSettings({QStringLiteral("ALSA"), QStringLiteral("New")}).map,
              MidiNoteMap::drumMap(15));
    file.writeString(MidiSettings::sectionOf(keys), QStringLiteral("Notes"), QStringLiteral("60:99"));
    EXPECT_EQ(again.portSettings(keys).map, MidiNoteMap::drumMap(15));
    // A map the user emptied (every note to no bell) stays empty.
    settings.setPortSettings(keys, {0, MidiNoteMap::fromText(QString(), 15).value(), 0});
    EXPECT_TRUE(again.portSettings(keys).map.isEmpty());
    // The velocity threshold is kept per port, within 0..127; older files have none.
    EXPECT_EQ(again.portSettings(pads).threshold, 0);
    settings.setPortSettings(pads, {10, padSettings.map, 24});
    EXPECT_EQ(again.portSettings(replugged).threshold, 24);
    EXPECT_FALSE(again.portSettings(replugged).strikes(23));
    EXPECT_TRUE(again.portSettings(replugged).strikes(24));
    file.writeString(MidiSettings::sectionOf(pads), QStringLiteral("Threshold"), QStringLiteral("500"));
    EXPECT_EQ(again.portSettings(pads).threshold, 127);
    settings.setPort(std::nullopt);
    EXPECT_FALSE(again.port());
}

// Events keep the moment they were played when they are delivered late, and
// a port that starts counting again is followed.
TEST(MidiEventClock, LateDeliveryKeepsTheEventTime) {
    MidiEventClock clock;
    constexpr std::int64_t ms = 1'000'000;
    EXPECT_EQ(clock.stamp(0.0, 1000 * ms), 1000 * ms);
    EXPECT_EQ(clock.stamp(0.100, 1100 * ms), 1100 * ms);
    // Played 100 ms later, delivered 8 ms late: stamped when played.
    EXPECT_EQ(clock.stamp(0.100, 1208 * ms), 1200 * ms);
    // Delivered earlier than the sum says: the sum was late, never in the future.
    EXPECT_EQ(clock.stamp(0.100, 1295 * ms), 1295 * ms);
    EXPECT_EQ(clock.stamp(0.010, 1305 * ms), 1305 * ms);
    // Far behind its arrival: taken afresh.
    EXPECT_EQ(clock.stamp(0.0, 5000 * ms), 5000 * ms);
    EXPECT_EQ(clock.stamp(0.050, 5051 * ms), 5050 * ms);
}

} // namespace
