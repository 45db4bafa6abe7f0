#include "input/MidiJackClient.h"

#include "base/Logging.h"

#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#ifdef CAMPANIX_HAVE_JACK
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#endif

namespace {

constexpr const char* kClientName = "Campanix";
constexpr const char* kPortName = "input";
// Events waiting for the main thread; a stalled window drops the rest.
constexpr std::size_t kRingEvents = 1024;

std::int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

bool MidiJackClient::serverListening() {
    // A client reaches the server through /dev/shm/jack_<server>_<uid>_0.
    QByteArray server = qgetenv("JACK_DEFAULT_SERVER");
    if (server.isEmpty()) {
        server = "default";
    }
    const QByteArray path = "/dev/shm/jack_" + server + '_' + QByteArray::number(getuid()) + "_0";
    sockaddr_un address{};
    if (static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answered;
}

#ifdef CAMPANIX_HAVE_JACK

struct MidiJackClient::Jack {
    jack_client_t* client = nullptr;
    jack_port_t* port = nullptr;
    jack_ringbuffer_t* ring = nullptr;
};

MidiJackClient::MidiJackClient() {
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

MidiJackClient::~MidiJackClient() {
    close();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

bool MidiJackClient::open() {
    // A server killed is not always told of at once: its socket no longer answers.
    if (m_jack && (serverGone() || !serverListening())) {
        m_serverGone.store(true, std::memory_order_release);
        close();
    }
    if (m_jack) {
        return true;
    }
    if (!serverListening()) {
        return false;
    }
    jack_status_t status{};
    jack_client_t* client = jack_client_open(kClientName, JackNoStartServer, &status);
    if (!client) {
        qCInfo(lcInput) << "JACK client not opened, status" << Qt::hex << static_cast<int>(status);
        return false;
    }
    auto jack = std::make_unique<Jack>();
    jack->client = client;
    jack->ring = jack_ringbuffer_create(kRingEvents * sizeof(MidiJackEvent));
    jack->port = jack_port_register(client, kPortName, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!jack->ring || !jack->port) {
        qCWarning(lcInput) << "JACK MIDI port not registered";
        if (jack->ring) {
            jack_ringbuffer_free(jack->ring);
        }
        jack_client_close(client);
        return false;
    }
    jack_ringbuffer_mlock(jack->ring);
    m_serverGone.store(false, std::memory_order_release);
    m_jack = jack.release();
    jack_set_process_callback(client, &MidiJackClient::process, this);
    jack_on_info_shutdown(
        client, [](jack_status_t, const char* reason, void* self) { shutdown(0, reason, self); }, this);
    jack_set_port_registration_callback(client, &MidiJackClient::portRegistered, this);
    if (jack_activate(client) != 0) {
        qCWarning(lcInput) << "JACK client not activated";
        close();
        return false;
    }
    return true;
}

void MidiJackClient::close() {
    if (!m_jack) {
        return;
    }
    // A client the server dropped is only let go of; a live one leaves the graph first.
    if (!serverGone()) {
        jack_deactivate(m_jack->client);
    }
    jack_client_close(m_jack->client);
    jack_ringbuffer_free(m_jack->ring);
    delete m_jack;
    m_jack = nullptr;
}

QStringList MidiJackClient::sourcePorts() const {
    QStringList result;
    if (!m_jack || serverGone()) {
        return result;
    }
    const char** names = jack_get_ports(m_jack->client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    if (!names) {
        return result;
    }
    const QString own = QString::fromUtf8(jack_get_client_name(m_jack->client)) + QLatin1Char(':');
    for (const char** name = names; *name; ++name) {
        const QString port = QString::fromUtf8(*name);
        if (!port.startsWith(own)) {
            result << port;
        }
    }
    jack_free(names);
    return result;
}

bool MidiJackClient::joinedTo(const QString& port) const {
    return m_jack && !serverGone() && jack_port_connected_to(m_jack->port, port.toUtf8().constData());
}

bool MidiJackClient::listen(const QString& port) {
    if (!m_jack || serverGone()) {
        return false;
    }
    if (joinedTo(port) && jack_port_connected(m_jack->port) == 1) {
        return true;
    }
    disconnectAll();
    const int result = jack_connect(m_jack->client, port.toUtf8().constData(), jack_port_name(m_jack->port));
    return result == 0 || result == EEXIST;
}

void MidiJackClient::disconnectAll() {
    if (m_jack && !serverGone()) {
        jack_port_disconnect(m_jack->client, m_jack->port);
    }
}

bool MidiJackClient::takeNews() {
    if (m_wakeFd >= 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto got = ::read(m_wakeFd, &count, sizeof(count));
    }
    if (const std::int64_t dropped = m_dropped.exchange(0); dropped > 0) {
        qCWarning(lcInput) << "MIDI events dropped while the window was busy:" << dropped;
    }
    return m_news.exchange(false);
}

bool MidiJackClient::take(MidiJackEvent& event) {
    if (!m_jack || jack_ringbuffer_read_space(m_jack->ring) < sizeof(MidiJackEvent)) {
        return false;
    }
    jack_ringbuffer_read(m_jack->ring, reinterpret_cast<char*>(&event), sizeof(MidiJackEvent));
    return true;
}

void MidiJackClient::wake() {
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto put = ::write(m_wakeFd, &one, sizeof(one));
    }
}

// The process thread: no locks, no allocation.
int MidiJackClient::process(std::uint32_t frames, void* arg) {
    auto* self = static_cast<MidiJackClient*>(arg);
    Jack& jack = *self->m_jack;
    void* buffer = jack_port_get_buffer(jack.port, frames);
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    if (count == 0 || frames == 0) {
        return 0;
    }
    jack_nframes_t cycleFrame = 0;
    jack_time_t cycleUs = 0;
    jack_time_t nextUs = 0;
    float periodUs = 0;
    if (jack_get_cycle_times(jack.client, &cycleFrame, &cycleUs, &nextUs, &periodUs) != 0) {
        cycleUs = jack_get_time();
    }
    // Offsets within the cycle at the nominal rate: the server's estimate of
    // the period wanders on a busy machine, the frames do not.
    const auto rate = static_cast<std::int64_t>(std::max<jack_nframes_t>(1, jack_get_sample_rate(jack.client)));
    const std::int64_t periodNs = static_cast<std::int64_t>(frames) * 1'000'000'000 / rate;
    // The events of a cycle came in during the period before it, each at its
    // offset: placed there they are never in the future. Both clocks are
    // monotonic; their difference is read afresh each cycle.
    const std::int64_t toSteady = steadyNowNs() - static_cast<std::int64_t>(jack_get_time()) * 1000;
    const std::int64_t periodStartNs = static_cast<std::int64_t>(cycleUs) * 1000 - periodNs + toSteady;
    for (std::uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t in;
        if (jack_midi_event_get(&in, buffer, i) != 0 || in.size == 0) {
            continue;
        }
        MidiJackEvent event;
        event.steadyNs = periodStartNs + static_cast<std::int64_t>(in.time) * 1'000'000'000 / rate;
        event.size = static_cast<std::uint8_t>(std::min<std::size_t>(in.size, MidiJackEvent::kMaxBytes));
        std::memcpy(event.bytes, in.buffer, event.size);
        if (jack_ringbuffer_write_space(jack.ring) < sizeof(MidiJackEvent)) {
            self->m_dropped.fetch_add(1, std::memory_order_relaxed);
            continue;
        }
        jack_ringbuffer_write(jack.ring, reinterpret_cast<const char*>(&event), sizeof(MidiJackEvent));
    }
    self->wake();
    return 0;
}

void MidiJackClient::shutdown(int, const char*, void* arg) {
    auto* self = static_cast<MidiJackClient*>(arg);
    self->m_serverGone.store(true, std::memory_order_release);
    self->m_news.store(true);
    self->wake();
}

void MidiJackClient::portRegistered(std::uint32_t, int, void* arg) {
    auto* self = static_cast<MidiJackClient*>(arg);
    self->m_news.store(true);
    self->wake();
}

#else // built without JACK

struct MidiJackClient::Jack {};

MidiJackClient::MidiJackClient() = default;
MidiJackClient::~MidiJackClient() = default;
bool MidiJackClient::open() {
    return false;
}
void MidiJackClient::close() {}
QStringList MidiJackClient::sourcePorts() const {
    return {};
}
bool MidiJackClient::joinedTo(const QString&) const {
    return false;
}
bool MidiJackClient::listen(const QString&) {
    return false;
}
void MidiJackClient::disconnectAll() {}
bool MidiJackClient::takeNews() {
    return false;
}
bool MidiJackClient::take(MidiJackEvent&) {
    return false;
}
void MidiJackClient::wake() {}
int MidiJackClient::process(std::uint32_t, void*) {
    return 0;
}
void MidiJackClient::shutdown(int, const char*, void*) {}
void MidiJackClient::portRegistered(std::uint32_t, int, void*) {}

#endif
