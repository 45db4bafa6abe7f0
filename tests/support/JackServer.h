#pragma once

// A JACK server of a test or bench of its own (dummy driver, no sound card,
// no real-time rights needed), and a virtual MIDI port that plays the pads.

#ifdef CAMPANIX_HAVE_RTMIDI

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <rtmidi/RtMidi.h>

#include <csignal>
#include <memory>

#include <sys/prctl.h>

// A JACK server of this program alone, under a name of its own, so that a
// server the machine may run is never touched.
class JackServer {
public:
    ~JackServer() { stop(); }

    // Empty when the server runs; otherwise why not.
    QString start() {
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (jackd.isEmpty()) {
            return QStringLiteral("jackd is not installed");
        }
        m_name = QStringLiteral("campanix-test-%1").arg(QCoreApplication::applicationPid());
        qputenv("JACK_DEFAULT_SERVER", m_name.toLocal8Bit());
        qputenv("JACK_NO_AUDIO_RESERVATION", "1");
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        // The server ends with the test, even when the test crashes.
        m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // --no-realtime: runs as any user, root in CI included; -t: a busy
        // machine may keep a client waiting without it being dropped.
        m_process.start(jackd, {QStringLiteral("--no-realtime"), QStringLiteral("-t"),
                                QStringLiteral("10000"), QStringLiteral("-n"), m_name, QStringLiteral("-d"),
                                QStringLiteral("dummy"), QStringLiteral("-r"), QStringLiteral("48000"),
                                QStringLiteral("-p"), QStringLiteral("256")});
        if (!m_process.waitForStarted(3000)) {
            return QStringLiteral("jackd did not start: ") + m_process.errorString();
        }
        return {};
    }

    // Killed as a crash would: its socket file and shared memory stay behind.
    void kill() {
        m_process.kill();
        m_process.waitForFinished(3000);
    }

    // The output of a stopped server, for the skip message.
    QString output() { return QString::fromLocal8Bit(m_process.readAll()).trimmed(); }
    bool running() const { return m_process.state() == QProcess::Running; }

    void stop() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(1000);
            }
        }
        qunsetenv("JACK_DEFAULT_SERVER");
        // The server's and its clients' files, which a stopped server may leave.
        if (m_name.isEmpty()) {
            return;
        }
        QDir shm(QStringLiteral("/dev/shm"));
        for (const QString& file : shm.entryList({QStringLiteral("jack*_") + m_name + QStringLiteral("*")},
                                                 QDir::Files | QDir::System)) {
            shm.remove(file);
        }
    }

private:
    QString m_name;
    QProcess m_process;
};

inline void noteError(RtMidiError::Type type, const std::string&, void* failed) {
    if (type != RtMidiError::DEBUG_WARNING) {
        *static_cast<bool*>(failed) = true;
    }
}

// The pads: a virtual JACK MIDI output; tried until the server answers.
inline std::unique_ptr<RtMidiOut> openPads(JackServer& server) {
    for (int attempt = 0; attempt < 50 && server.running(); ++attempt) {
        bool failed = false;
        try {
            auto out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "Pads");
            out->setErrorCallback(&noteError, &failed);
            out->openVirtualPort("pads");
            if (!failed) {
                return out;
            }
        } catch (const RtMidiError&) {
        }
        QThread::msleep(100);
    }
    return nullptr;
}


#endif
