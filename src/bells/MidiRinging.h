#pragma once

#include "input/MidiInput.h"
#include "input/MidiMapping.h"
#include "input/MidiParser.h"
#include "input/MidiSettings.h"
#include "input/StrikeInput.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class BellsPanel;

// Ringing the bells from a MIDI instrument. A note on of the port in use, on
// the channel listened to, strikes the bell its note is mapped to as a key
// would: only while keyboard ringing is on and when the bell is selected; it
// becomes the current bell, the recorder and the trainer hear of it with the
// note's own time, and it sounds at a loudness that follows its velocity.
// The port, the curve and each port's channel, notes and threshold are kept
// in the settings file. A port that goes away is waited for, and the user is
// told both ways.
class MidiRinging : public QObject {
    Q_OBJECT
public:
    explicit MidiRinging(BellsPanel& panel, QObject* parent = nullptr);
    ~MidiRinging() override;

    MidiInput& input() { return *m_input; }

    // At start-up: listens to the port used last, when it is there.
    void reconnectRemembered();
    // Listens to `port` (nullopt: to none) and remembers the choice; its own
    // channel and notes take over. False when the port could not be opened
    // now (it is listened to once it comes).
    bool usePort(const std::optional<MidiPort>& port);
    // The port listened to now (nullopt while the chosen one is away).
    std::optional<MidiPort> port() const { return m_input->openPort(); }
    std::optional<MidiPort> chosenPort() const { return m_input->chosenPort(); }
    // The port remembered in the settings, open or not.
    std::optional<MidiPort> rememberedPort() const;

    int channel() const { return m_port.channel; }
    void setChannel(int channel);
    const MidiNoteMap& noteMap() const { return m_port.map; }
    void setNoteMap(const MidiNoteMap& map);
    VelocityCurve curve() const { return m_curve; }
    void setCurve(VelocityCurve curve);
    int threshold() const { return m_port.threshold; }
    void setThreshold(int velocity);

    // Learning: notes struck do not ring; the next bell picked on the strip
    // or by its key takes the last note.
    void setLearning(bool on);
    bool isLearning() const { return m_learn.isActive(); }
    std::optional<int> pendingNote() const { return m_learn.pendingNote(); }
    // The note waiting while learning rings no bell from now on.
    bool pickNoBell() { return bellPicked(-1); }

    // Taps for the calibration of the port in use: every note on that would
    // strike, whatever its bell and whether keyboard ringing is on.
    using TapListener = std::function<void(const StrikeInput& input, std::int64_t steadyNs)>;
    void setTapListener(TapListener listener) { m_tapListener = std::move(listener); }
    // The input of the strike being told to the key strike listeners now:
    // the port for a strike of this instrument, the keys otherwise.
    StrikeInput strikingInput() const { return m_striking ? *m_striking : StrikeInput::keys(); }
    // Its moment to the nanosecond (the notifier tells whole milliseconds).
    std::optional<std::int64_t> strikingMomentNs() const { return m_strikingNs; }

    // The raw bytes of the port, stamped on the monotonic clock (ns).
    void handleBytes(const QByteArray& bytes, std::int64_t steadyNs);
    void handleNote(const MidiNote& note, std::int64_t steadyNs);

signals:
    // A note on heard on the channel listened to (shown by the dialog).
    void noteHeard(int channel, int note, int velocity);
    // Learning moved on: a note is waiting for its bell (bell -2), or it got
    // one (bell, -1 for none).
    void learnChanged(std::optional<int> note, int bell);
    // The chosen port went away (false) or is listened to again (true).
    void connectionChanged(bool listening);
    // A sentence for the main window's status bar.
    void instrumentNews(const QString& text);

private:
    bool bellPicked(int bell);
    void savePortSettings();
    void connectionChangedTo(bool listening);

    BellsPanel& m_panel;
    MidiInput* m_input;
    MidiSettings m_settings;
    MidiParser m_parser;
    MidiLearn m_learn;
    MidiPortSettings m_port;
    VelocityCurve m_curve = VelocityCurve::Linear;
    TapListener m_tapListener;
    std::optional<StrikeInput> m_striking;
    std::optional<std::int64_t> m_strikingNs;
};
