#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

// One message of a JACK MIDI port, placed on the process's monotonic clock
// at its own frame within the cycle it came in. Only the first bytes of a
// long message are kept: a system exclusive message is of no use for ringing,
// only its start matters (see MidiParser).
struct MidiJackEvent {
    static constexpr int kMaxBytes = 8;
    std::int64_t steadyNs = 0;
    std::uint8_t size = 0;
    std::uint8_t bytes[kMaxBytes] = {};
};

// The program's own JACK client for MIDI input: one input port, joined to
// the instrument's output port. Its process callback takes each event's
// offset within the cycle (not the cycle's start) and hands the events to
// the main thread through a lock-free ring and a wake-up descriptor. It
// follows the server: when the server goes away the client is dead and is
// closed, and a server that comes back is joined again by open().
//
// All methods but the callbacks run on the main thread.
class MidiJackClient {
public:
    MidiJackClient();
    ~MidiJackClient();
    MidiJackClient(const MidiJackClient&) = delete;
    MidiJackClient& operator=(const MidiJackClient&) = delete;

    // Whether a JACK server accepts clients under the name a client would
    // use: its socket answers. A socket file left by a killed server does not.
    static bool serverListening();

    // Opens the client and its input port (no server is started). True when
    // open; a dead client is closed first.
    bool open();
    void close();
    bool isOpen() const { return m_jack != nullptr; }
    // The server shut the client down (or was killed): close() it.
    bool serverGone() const { return m_serverGone.load(std::memory_order_acquire); }

    // The MIDI output ports of the other clients ("client:port").
    QStringList sourcePorts() const;
    // Joins `port` to ours (and only it); false when it is not there.
    bool listen(const QString& port);
    // Whether our port is joined to `port` now.
    bool joinedTo(const QString& port) const;
    void disconnectAll();

    // Readable when events or news (ports or the server changed) wait; for
    // a QSocketNotifier. -1 when it could not be made.
    int wakeFd() const { return m_wakeFd; }
    // Clears the wake-up; true when ports came or went, or the server went,
    // since the last call.
    bool takeNews();
    // The next event; false when none waits.
    bool take(MidiJackEvent& event);

private:
    static int process(std::uint32_t frames, void* self);
    static void shutdown(int code, const char* reason, void* self);
    static void portRegistered(std::uint32_t port, int registered, void* self);
    void wake();

    struct Jack; // the library's handles, kept out of this header
    Jack* m_jack = nullptr;
    int m_wakeFd = -1;
    std::atomic<bool> m_serverGone{false};
    std::atomic<bool> m_news{false};
    std::atomic<std::int64_t> m_dropped{0};
};
