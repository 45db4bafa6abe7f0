#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// An input port of a MIDI instrument, through the ALSA sequencer or JACK.
struct MidiPort {
    QString api;  // "ALSA" or "JACK"
    QString name; // as the system names it
    // The name without the ALSA client and port numbers ("Pads:Pads MIDI 1
    // 24:0" -> "Pads:Pads MIDI 1"), which change from one plugging to the
    // next: the port's settings are kept under this.
    QString key() const;
    QString label() const { return api + QStringLiteral(": ") + name; }
    bool operator==(const MidiPort&) const = default;
};

// Places MIDI events on the process's monotonic clock. The port gives each
// message its time after the one before it; the first arrival fixes where
// that running sum lies on our clock, and later arrivals can only move it
// earlier (a message is delivered after it was made, never before), so a
// message that reaches us late keeps the moment it was played. A stamp far
// behind its arrival means the port started counting again: taken afresh.
class MidiEventClock {
public:
    static constexpr std::int64_t kResyncNs = 250'000'000;
    // deltaSeconds: the port's time since the previous message.
    std::int64_t stamp(double deltaSeconds, std::int64_t arrivalNs);

private:
    double m_sumNs = 0;
    std::optional<std::int64_t> m_offset;
};

// Which ways to MIDI this machine has: none means the program was built
// without MIDI, or there is no ALSA sequencer device and no JACK server.
struct MidiSupport {
    bool alsa = false;
    bool jack = false;
    bool any() const { return alsa || jack; }
};

class MidiJackClient;
class QSocketNotifier;

// The MIDI input of the program: lists the ports, listens to one of them at
// a time and hands its messages to the main thread, each stamped with its
// own time on the monotonic clock (nanoseconds). The port chosen is followed
// while it comes and goes: unplugged, it is let go of and said so; plugged
// in again (or its JACK server started again), it is listened to again.
class MidiInput : public QObject {
    Q_OBJECT
public:
    explicit MidiInput(QObject* parent = nullptr);
    ~MidiInput() override;

    // Looks again for the sequencer device and the JACK server.
    MidiSupport probe();
    // A quick look, without becoming a client of either (for the menu): the
    // sequencer device is there, or a JACK server answers on its socket.
    static bool supportLikely();
    // The input ports of every way found by the last probe().
    QList<MidiPort> ports();
    // Chooses `port` (by its key, so a port plugged in again is found)
    // instead of the one before and listens to it; false when it is not
    // there now (it is listened to once it comes).
    bool open(const MidiPort& port);
    // Chooses no port.
    void close();
    // The port listened to now; nullopt while the chosen one is away.
    std::optional<MidiPort> openPort() const { return m_open; }
    std::optional<MidiPort> chosenPort() const { return m_chosen; }
    // Looks whether the chosen port went away or came back; connectionChanged
    // tells of a change. Run by a timer while a port is chosen, and at once
    // when the JACK server tells of a change.
    void watch();
    // Lets go of what probe() and ports() held (the dialog is closed); the
    // port listened to stays.
    void releaseListers();

    // A message as delivered by an ALSA port, from any thread; handed to the
    // main thread.
    void deliver(QByteArray bytes, double deltaSeconds);
    // A message placed on the monotonic clock already (JACK), main thread.
    void deliverAt(QByteArray bytes, std::int64_t steadyNs) { emit bytesReceived(bytes, steadyNs); }

signals:
    void bytesReceived(const QByteArray& bytes, qint64 steadyNs);
    // The chosen port is listened to now (true), or went away (false).
    void connectionChanged(bool listening);

private:
    bool connectChosen();
    void letGo();
    void jackWoke();

    struct Backend;
    std::unique_ptr<Backend> m_backend;
    std::optional<MidiPort> m_chosen;
    std::optional<MidiPort> m_open;
    MidiEventClock m_clock; // used on the port's thread only
};
