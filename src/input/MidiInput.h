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

// The MIDI input of the program: lists the ports, listens to one of them at
// a time and hands its messages to the main thread, each stamped with its
// own time on the monotonic clock (nanoseconds).
class MidiInput : public QObject {
    Q_OBJECT
public:
    explicit MidiInput(QObject* parent = nullptr);
    ~MidiInput() override;

    // Looks again for the sequencer device and the JACK server.
    MidiSupport probe();
    // A quick look, without talking to either (for the menu): the sequencer
    // device or a JACK server's socket is there.
    static bool supportLikely();
    // The input ports of every way found by the last probe().
    QList<MidiPort> ports();
    // Listens to `port` (by its key, so a port plugged in again is found),
    // instead of the one before; false when it is not there.
    bool open(const MidiPort& port);
    void close();
    std::optional<MidiPort> openPort() const { return m_open; }
    // Lets go of what probe() and ports() held (the dialog is closed).
    void releaseListers();

    // A message as delivered by the port, from any thread; handed to the
    // main thread.
    void deliver(QByteArray bytes, double deltaSeconds);

signals:
    void bytesReceived(const QByteArray& bytes, qint64 steadyNs);

private:
    struct Backend;
    std::unique_ptr<Backend> m_backend;
    std::optional<MidiPort> m_open;
    MidiEventClock m_clock; // used on the port's thread only
};
