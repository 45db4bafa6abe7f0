#include "input/MidiInput.h"

#include "base/Logging.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>

#include <unistd.h>

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
    // The JACK server a client would talk to listens on
    // /dev/shm/jack_<server>_<uid>_0.
    QString server = qEnvironmentVariable("JACK_DEFAULT_SERVER");
    if (server.isEmpty()) {
        server = QStringLiteral("default");
    }
    return QFileInfo::exists(QStringLiteral("/dev/shm/jack_%1_%2_0").arg(server).arg(getuid()));
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

#ifdef CAMPANIX_HAVE_RTMIDI

struct MidiInput::Backend {
    std::unique_ptr<RtMidiIn> alsa;
    std::unique_ptr<RtMidiIn> jack;
    std::unique_ptr<RtMidiIn> listening;
    bool jackFailed = false;
};

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

bool compiled(RtMidi::Api api) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

void onMessage(double delta, std::vector<unsigned char>* message, void* input) {
    if (message && !message->empty()) {
        static_cast<MidiInput*>(input)->deliver(QByteArray(reinterpret_cast<const char*>(message->data()),
                                                           static_cast<qsizetype>(message->size())),
                                                delta);
    }
}

} // namespace

MidiInput::MidiInput(QObject* parent) : QObject(parent), m_backend(std::make_unique<Backend>()) {}

MidiInput::~MidiInput() {
    close();
}

MidiSupport MidiInput::probe() {
    MidiSupport support;
    if (!m_backend->alsa && compiled(RtMidi::LINUX_ALSA) &&
        QFileInfo::exists(QStringLiteral("/dev/snd/seq"))) {
        m_backend->alsa = makeInput(RtMidi::LINUX_ALSA, nullptr);
    }
    support.alsa = m_backend->alsa != nullptr;
    if (!m_backend->jack && compiled(RtMidi::UNIX_JACK)) {
        // The JACK client connects when asked for its ports; without a
        // server that fails with a warning and the way counts as absent.
        m_backend->jackFailed = false;
        m_backend->jack = makeInput(RtMidi::UNIX_JACK, &m_backend->jackFailed);
        if (m_backend->jack) {
            m_backend->jack->getPortCount();
            if (m_backend->jackFailed) {
                m_backend->jack.reset();
            }
        }
    }
    support.jack = m_backend->jack != nullptr;
    return support;
}

QList<MidiPort> MidiInput::ports() {
    QList<MidiPort> result;
    const auto list = [&](RtMidiIn* in, const QString& api) {
        if (!in) {
            return;
        }
        const unsigned count = in->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            const QString name = QString::fromStdString(in->getPortName(i));
            // Our own listening port is no instrument.
            if (!name.isEmpty() && !name.startsWith(QLatin1String(kClientName) + QLatin1Char(':'))) {
                result.append({api, name});
            }
        }
    };
    list(m_backend->alsa.get(), QStringLiteral("ALSA"));
    list(m_backend->jack.get(), QStringLiteral("JACK"));
    return result;
}

bool MidiInput::open(const MidiPort& port) {
    close();
    const RtMidi::Api api = port.api == QStringLiteral("JACK") ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
    if (!compiled(api)) {
        return false;
    }
    // Without the device or the server the library would only complain.
    if (!supportLikely() ||
        (api == RtMidi::LINUX_ALSA && !QFileInfo::exists(QStringLiteral("/dev/snd/seq")))) {
        return false;
    }
    bool failed = false;
    std::unique_ptr<RtMidiIn> in = makeInput(api, &failed);
    if (!in) {
        return false;
    }
    const unsigned count = in->getPortCount();
    for (unsigned i = 0; i < count && !failed; ++i) {
        if (MidiPort{port.api, QString::fromStdString(in->getPortName(i))}.key() != port.key()) {
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
    qCInfo(lcInput) << "MIDI port not found:" << port.label();
    return false;
}

void MidiInput::close() {
    if (m_backend->listening) {
        m_backend->listening->cancelCallback();
        m_backend->listening->closePort();
        m_backend->listening.reset();
    }
    m_open.reset();
}

void MidiInput::releaseListers() {
    m_backend->alsa.reset();
    m_backend->jack.reset();
}

#else // built without MIDI

struct MidiInput::Backend {};

MidiInput::MidiInput(QObject* parent) : QObject(parent), m_backend(std::make_unique<Backend>()) {}
MidiInput::~MidiInput() = default;
MidiSupport MidiInput::probe() {
    return {};
}
QList<MidiPort> MidiInput::ports() {
    return {};
}
bool MidiInput::open(const MidiPort&) {
    return false;
}
void MidiInput::close() {
    m_open.reset();
}
void MidiInput::releaseListers() {}

#endif

void MidiInput::deliver(QByteArray bytes, double deltaSeconds) {
    const std::int64_t at = m_clock.stamp(deltaSeconds, steadyNs());
    QMetaObject::invokeMethod(
        this, [this, bytes = std::move(bytes), at] { emit bytesReceived(bytes, at); }, Qt::QueuedConnection);
}
