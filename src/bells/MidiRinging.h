#pragma once

#include "input/MidiInput.h"
#include "input/MidiMapping.h"
#include "input/MidiParser.h"
#include "input/MidiSettings.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

class BellsPanel;

// Ringing the bells from a MIDI instrument. A note on of the port in use, on
// the channel listened to, strikes the bell its note is mapped to as a key
// would: only while keyboard ringing is on and when the bell is selected; it
// becomes the current bell, the recorder and the trainer hear of it with the
// note's own time, and it sounds at a loudness that follows its velocity.
// The port, the curve and each port's channel and notes are kept in the
// settings file.
class MidiRinging : public QObject {
    Q_OBJECT
public:
    explicit MidiRinging(BellsPanel& panel, QObject* parent = nullptr);
    ~MidiRinging() override;

    MidiInput& input() { return *m_input; }

    // At start-up: listens to the port used last, when it is there.
    void reconnectRemembered();
    // Listens to `port` (nullopt: to none) and remembers the choice; its own
    // channel and notes take over. False when the port could not be opened.
    bool usePort(const std::optional<MidiPort>& port);
    std::optional<MidiPort> port() const { return m_input->openPort(); }
    // The port remembered in the settings, open or not.
    std::optional<MidiPort> rememberedPort() const;

    int channel() const { return m_port.channel; }
    void setChannel(int channel);
    const MidiNoteMap& noteMap() const { return m_port.map; }
    void setNoteMap(const MidiNoteMap& map);
    VelocityCurve curve() const { return m_curve; }
    void setCurve(VelocityCurve curve);

    // Learning: notes struck do not ring; the next bell picked on the strip
    // or by its key takes the last note.
    void setLearning(bool on);
    bool isLearning() const { return m_learn.isActive(); }
    std::optional<int> pendingNote() const { return m_learn.pendingNote(); }

    // The raw bytes of the port, stamped on the monotonic clock (ns).
    void handleBytes(const QByteArray& bytes, std::int64_t steadyNs);
    void handleNote(const MidiNote& note, std::int64_t steadyNs);

signals:
    // A note on heard on the channel listened to (shown by the dialog).
    void noteHeard(int channel, int note, int velocity);
    // Learning moved on: a note is waiting for its bell, or it got one (bell).
    void learnChanged(std::optional<int> note, int bell);

private:
    bool bellPicked(int bell);
    void savePortSettings();

    BellsPanel& m_panel;
    MidiInput* m_input;
    MidiSettings m_settings;
    MidiParser m_parser;
    MidiLearn m_learn;
    MidiPortSettings m_port;
    VelocityCurve m_curve = VelocityCurve::Linear;
};
