#include "input/MidiInput.h"

#include "base/Logging.h"
#include "input/MidiJackClient.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <chrono>

#ifdef CAMPANIX_HAVE_RTMIDI
#include <rtmidi/RtMidi.h>
#endif

namespace {

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr const char* kClientName = "Campanix";

} // namespace

QString MidiPort::key() const {
    static const QRegularExpression kNumbers(QStringLiteral("\\s+\\d+:\\d+$"));
    return QString(name).remove(kNumbers).trimmed();
}

bool MidiInput::supportLikely() {
#ifdef CAMPANIX_HAVE_RTMIDI
    if (QFileInfo::exists(QStringLiteral("/dev/snd/seq"))) {
        return true;
    }
#endif
#ifdef CAMPANIX_HAVE_JACK
    return MidiJackClient::serverListening();
#else
    return false;
#endif
}

std::int64_t MidiEventClock::stamp(double deltaSeconds, std::int64_t arrivalNs) {
    m_sumNs += deltaSeconds > 0 ? deltaSeconds * 1e9 : 0.0;
    const auto sum = static_cast<std::int64_t>(m_sumNs);
    if (!m_offset || arrivalNs - sum < *m_offset) {
        m_offset = arrivalNs - sum;
    } else if (arrivalNs - (sum + *m_offset) > kResyncNs) {
        m_sumNs = 0;
        m_offset = arrivalNs;
        return arrivalNs;
    }
    return std::min(arrivalNs, sum + *m_offset);
}

namespace {

// The chosen port is looked for this often while it is away (and ALSA
// ports, which tell of nothing, while it is there).
constexpr int kWatchMs = 1000;

bool isJack(const MidiPort& port) {
    return port.api == QStringLiteral("JACK");
}

} // namespace

#ifdef CAMPANIX_HAVE_RTMIDI

namespace {

void logMidiError(RtMidiError::Type type, const std::string& text, void* failed) {
    if (failed && type != RtMidiError::DEBUG_WARNING) {
        *static_cast<bool*>(failed) = true;
    }
    qCInfo(lcInput) << "MIDI:" << text.c_str();
}

std::unique_ptr<RtMidiIn> makeInput(RtMidi::Api api, bool* failed) {
    try {
        auto in = std::make_unique<RtMidiIn>(api, kClientName);
        in->setErrorCallback(&logMidiError, failed);
        return in;
    } catch (const RtMidiError& error) {
        qCInfo(lcInput) << "MIDI unavailable:" << error.what();
        return nullptr;
    }
}

bool alsaAvailable() {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), RtMidi::LINUX_ALSA) != apis.end() &&
           QFileInfo::exists(QStringLiteral("/dev/snd/seq"));
}

void onMessage(double delta, std::vector<unsigned char>* message, void* input) {
    if (message && !message->empty()) {
        static_cast<MidiInput*>(input)->deliver(QByteArray(reinterpret_cast<const char*>(message->data()),
                                                           static_cast<qsizetype>(message->size())),
                                                delta);
    }
}

} // namespace

#endif

// ALSA through RtMidi (which tells of each message's time since the one
// before); JACK through a client of our own (each event at its own frame).
struct MidiInput::Backend {
#ifdef CAMPANIX_HAVE_RTMIDI
    std::unique_ptr<RtMidiIn> alsa; // lists the ports
    std::unique_ptr<RtMidiIn> listening;
#endif
    MidiJackClient jack;
    bool jackListed = false; // the dialog lists JACK's ports
    QSocketNotifier* jackWake = nullptr;
    QTimer* watch = nullptr;

    QStringList alsaPorts() {
        QStringList names;
#ifdef CAMPANIX_HAVE_RTMIDI
        if (!alsa && alsaAvailable()) {
            alsa = makeInput(RtMidi::LINUX_ALSA, nullptr);
        }
        const unsigned count = alsa ? alsa->getPortCount() : 0;
        for (unsigned i = 0; i < count; ++i) {
            const QString name = QString::fromStdString(alsa->getPortName(i));
            // Our own listening port is no instrument.
            if (!name.isEmpty() && !name.startsWith(QLatin1String(kClientName) + QLatin1Char(':'))) {
                names << name;
            }
        }
#endif
        return names;
    }
};

MidiInput::MidiInput(QObject* parent) : QObject(parent), m_backend(std::make_unique<Backend>()) {
    m_backend->watch = new QTimer(this);
    m_backend->watch->setInterval(kWatchMs);
    connect(m_backend->watch, &QTimer::timeout, this, &MidiInput::watch);
    if (m_backend->jack.wakeFd() >= 0) {
        m_backend->jackWake = new QSocketNotifier(m_backend->jack.wakeFd(), QSocketNotifier::Read, this);
        connect(m_backend->jackWake, &QSocketNotifier::activated, this, &MidiInput::jackWoke);
    }
}

MidiInput::~MidiInput() {
    close();
}

MidiSupport MidiInput::probe() {
    MidiSupport support;
#ifdef CAMPANIX_HAVE_RTMIDI
    if (alsaAvailable() && !m_backend->alsa) {
        m_backend->alsa = makeInput(RtMidi::LINUX_ALSA, nullptr);
    }
    support.alsa = m_backend->alsa != nullptr;
#endif
    support.jack = m_backend->jack.open();
    m_backend->jackListed = support.jack;
    return support;
}

QList<MidiPort> MidiInput::ports() {
    QList<MidiPort> result;
#ifdef CAMPANIX_HAVE_RTMIDI
    if (m_backend->alsa) {
        for (const QString& name : m_backend->alsaPorts()) {
            result.append({QStringLiteral("ALSA"), name});
        }
    }
#endif
    // A client closed meanwhile (no port chosen) or dropped by a server
    // started again is opened afresh.
    if (m_backend->jackListed && m_backend->jack.open()) {
        for (const QString& name : m_backend->jack.sourcePorts()) {
            result.append({QStringLiteral("JACK"), name});
        }
    }
    return result;
}

bool MidiInput::open(const MidiPort& port) {
    letGo();
    m_chosen = port;
    m_backend->watch->start();
    const bool listening = connectChosen();
    if (!listening) {
        qCInfo(lcInput) << "MIDI port not there now:" << port.label();
    }
    return listening;
}

void MidiInput::close() {
    m_chosen.reset();
    m_backend->watch->stop();
    letGo();
    m_backend->jack.close();
}

void MidiInput::releaseListers() {
#ifdef CAMPANIX_HAVE_RTMIDI
    m_backend->alsa.reset();
#endif
    // The JACK client stays while it listens, or waits for the chosen port.
    m_backend->jackListed = false;
    if (!m_chosen || !isJack(*m_chosen)) {
        m_backend->jack.close();
    }
}

bool MidiInput::connectChosen() {
    if (!m_chosen) {
        return false;
    }
    const MidiPort wanted = *m_chosen;
    if (isJack(wanted)) {
        MidiJackClient& jack = m_backend->jack;
        if (!jack.open()) {
            return false;
        }
        for (const QString& name : jack.sourcePorts()) {
            const MidiPort port{wanted.api, name};
            if (port.key() == wanted.key() && jack.listen(name)) {
                m_open = port;
                qCInfo(lcInput) << "MIDI input:" << port.label();
                return true;
            }
        }
        return false;
    }
#ifdef CAMPANIX_HAVE_RTMIDI
    // Looked for in the list first: no client is made each time for a port that is away.
    const QStringList names = m_backend->alsaPorts();
    if (std::none_of(names.begin(), names.end(),
                     [&](const QString& name) { return MidiPort{wanted.api, name}.key() == wanted.key(); })) {
        return false;
    }
    bool failed = false;
    std::unique_ptr<RtMidiIn> in = makeInput(RtMidi::LINUX_ALSA, &failed);
    if (!in) {
        return false;
    }
    const unsigned count = in->getPortCount();
    for (unsigned i = 0; i < count && !failed; ++i) {
        const MidiPort port{wanted.api, QString::fromStdString(in->getPortName(i))};
        if (port.key() != wanted.key()) {
            continue;
        }
        in->ignoreTypes(true, true, true);
        m_clock = MidiEventClock();
        in->setCallback(&onMessage, this);
        in->openPort(i, "input");
        if (failed || !in->isPortOpen()) {
            break;
        }
        m_backend->listening = std::move(in);
        m_open = port;
        qCInfo(lcInput) << "MIDI input:" << port.label();
        return true;
    }
#endif
    return false;
}

void MidiInput::letGo() {
#ifdef CAMPANIX_HAVE_RTMIDI
    if (m_backend->listening) {
        m_backend->listening->cancelCallback();
        m_backend->listening->closePort();
        m_backend->listening.reset();
    }
#endif
    m_backend->jack.disconnectAll();
    m_open.reset();
}

void MidiInput::watch() {
    if (!m_chosen) {
        return;
    }
    const bool before = m_open.has_value();
    if (isJack(*m_chosen)) {
        MidiJackClient& jack = m_backend->jack;
        if (jack.isOpen() && jack.serverGone()) {
            // Let go of the dead client now, before a new server could take
            // its place and be asked to close it.
            jack.close();
            m_open.reset();
        }
        if (m_open && !jack.sourcePorts().contains(m_open->name)) {
            letGo();
        }
    } else if (m_open && !m_backend->alsaPorts().contains(m_open->name)) {
        // Unplugged (or plugged in again under new numbers).
        letGo();
    }
    if (!m_open) {
        connectChosen();
    }
    if (before != m_open.has_value()) {
        qCInfo(lcInput) << (m_open ? "MIDI port back:" : "MIDI port gone:") << m_chosen->label();
        emit connectionChanged(m_open.has_value());
    }
}

void MidiInput::jackWoke() {
    const bool news = m_backend->jack.takeNews();
    MidiJackEvent event;
    while (m_backend->jack.take(event)) {
        deliverAt(QByteArray(reinterpret_cast<const char*>(event.bytes), event.size), event.steadyNs);
    }
    if (news) {
        watch();
    }
}

void MidiInput::deliver(QByteArray bytes, double deltaSeconds) {
    const std::int64_t at = m_clock.stamp(deltaSeconds, steadyNs());
    QMetaObject::invokeMethod(
        this, [this, bytes = std::move(bytes), at] { emit bytesReceived(bytes, at); }, Qt::QueuedConnection);
}
