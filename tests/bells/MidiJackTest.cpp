// Notes from a real MIDI port: a JACK server of the test's own (dummy
// driver, no sound card, no real-time rights needed), a virtual port that
// plays the pads, and the real main window listening to it. The strikes must
// reach the audio engine and the recorder. Skipped where jackd cannot start.

#include "support/MainWindowTest.h"

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "bells/MidiDialog.h"
#include "bells/MidiRinging.h"
#include "input/KeyStrikeNotifier.h"
#include "playback/TransportPanel.h"
#include "playback/audio/AudioEngine.h"
#include "record/Recorder.h"
#include "record/TfrmRec.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/prctl.h>

namespace {

QByteArray readSettingsText(const TempProgram& program) {
    QFile file(program.dir() + QStringLiteral("campanix.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

#ifdef CAMPANIX_HAVE_RTMIDI
#include <rtmidi/RtMidi.h>

namespace {

// A JACK server of this test alone, under a name of its own, so that a
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

void noteError(RtMidiError::Type type, const std::string&, void* failed) {
    if (type != RtMidiError::DEBUG_WARNING) {
        *static_cast<bool*>(failed) = true;
    }
}

// The pads: a virtual JACK MIDI output; tried until the server answers.
std::unique_ptr<RtMidiOut> openPads(JackServer& server) {
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

class MidiFromJack : public MainWindowTest {};

} // namespace

TEST_F(MidiFromJack, NotesReachTheEngineAndTheRecorder) {
    JackServer server;
    const QString why = server.start();
    if (!why.isEmpty()) {
        GTEST_SKIP() << "no JACK server for the MIDI test: " << why.toStdString();
    }
    std::unique_ptr<RtMidiOut> pads = openPads(server);
    if (!pads) {
        GTEST_SKIP() << "the JACK server did not come up: " << server.output().toStdString();
    }

    // Bells 10..14, groups b m m s s; the drum map puts the side stick (37)
    // on bell 10 (b1) and the closed hi-hat (42) on bell 14 (s1).
    program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=000000000011111"),
                           QStringLiteral("Types=nnnnnnnnnnbmmss")});
    TfrmMain& w = startWith({});
    w.show();
    audio::AudioEngine* engine = w.audioEngine();
    ASSERT_NE(engine, nullptr);
    std::int64_t clock = 1000;
    w.bells().keyboard().keyStrikeNotifier().setClock([&clock] { return clock; });
    w.transport().setSequencerInterval(500);
    TfrmRec& rec = *w.frmRec();
    w.nRecClick();
    ASSERT_TRUE(rec.isVisible());
    rec.btnRecordClick();
    clock = 1100;

    // The port chosen in the dialog, as the user does.
    MidiRinging& midi = w.bells().midi();
    control<QAction>(w, "nMidi")->trigger();
    auto* dialog = w.findChild<MidiDialog*>(QStringLiteral("frmMidi"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(control<QLabel>(*dialog, "lblMidiSupport")->isVisible());
    auto* ports = control<QComboBox>(*dialog, "cbMidiPort");
    int index = -1;
    ASSERT_TRUE(waitFor([&] {
        index = ports->findText(QStringLiteral("JACK: Pads:pads"));
        return index > 0;
    })) << "the virtual port is not listed";
    ports->setCurrentIndex(index);
    emit ports->activated(index);
    ASSERT_TRUE(midi.port());
    const MidiPort port = *midi.port();
    EXPECT_EQ(midi.rememberedPort()->key(), port.key());
    dialog->close();

    engine->mixer().setStartReports(true);
    std::vector<audio::StartReport> starts;
    const auto startsReach = [&](std::size_t count, int ms = 10000) {
        return waitFor(
            [&] {
                audio::StartReport report;
                while (engine->mixer().takeStartReport(report)) {
                    starts.push_back(report);
                }
                return starts.size() >= count;
            },
            ms);
    };
    // The server joins the two ports some cycles after the port is opened:
    // a note of no bell is sent until one is heard.
    int heard = 0;
    QObject::connect(&midi, &MidiRinging::noteHeard, [&heard] { ++heard; });
    std::vector<unsigned char> noBell{0x99, 1, 1};
    ASSERT_TRUE(waitFor(
        [&] {
            pads->sendMessage(&noBell);
            return waitFor([&heard] { return heard > 0; }, 100);
        },
        10000))
        << "the ports were never joined";
    std::vector<unsigned char> sideStick{0x99, 37, 127};
    std::vector<unsigned char> hiHat{0x99, 42, 32};
    std::vector<unsigned char> release{0x99, 37, 0}; // velocity 0: a note off, no strike
    pads->sendMessage(&sideStick);
    EXPECT_TRUE(startsReach(1));
    pads->sendMessage(&hiHat);
    pads->sendMessage(&release);
    EXPECT_TRUE(startsReach(2));
    // Nothing more comes: the note off struck nothing.
    startsReach(3, 300);
    ASSERT_EQ(starts.size(), 2u);
    for (const audio::StartReport& start : starts) {
        EXPECT_NE(start.sample, nullptr);
    }
    EXPECT_EQ(w.bells().currentBell(), 14);

    clock = 1600;
    rec.mmRecTimerTimer();
    EXPECT_EQ(rec.recorder().lines(), QStringList{QStringLiteral("b1,s1")});

    // The next start listens to the same port again.
    midi.input().releaseListers();
    frm.reset();
    TfrmMain& again = startWith({});
    ASSERT_TRUE(again.bells().midi().port());
    EXPECT_EQ(again.bells().midi().port()->key(), port.key());
    // Our clients leave before the server does.
    frm.reset();
}

#else

TEST(MidiFromJack, NotesReachTheEngineAndTheRecorder) {
    GTEST_SKIP() << "built without MIDI (rtmidi not found)";
}

#endif

namespace {

class MidiMenu : public MainWindowTest {};

} // namespace

// Without a sequencer device or a JACK server the menu and the dialog say so
// plainly, and nothing else changes: keys still ring, nothing is written.
TEST_F(MidiMenu, SaysSoWithoutMidi) {
    if (QFileInfo::exists(QStringLiteral("/dev/snd/seq"))) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    // A server name nobody runs.
    qputenv("JACK_DEFAULT_SERVER", QByteArrayLiteral("campanix-no-such-server"));
    TfrmMain& w = startWith({});
    const QByteArray settingsBefore = readSettingsText(program);
    auto* menu = control<QMenu>(w, "mBellsMenu");
    auto* item = control<QAction>(w, "nMidi");
    ASSERT_TRUE(menu && item);
    emit menu->aboutToShow();
    EXPECT_EQ(item->text(), QStringLiteral("MIDI (нет на этом компьютере) ..."));
    item->trigger();
    auto* dialog = w.findChild<MidiDialog*>(QStringLiteral("frmMidi"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(control<QLabel>(*dialog, "lblMidiSupport")->isVisible());
    EXPECT_FALSE(control<QComboBox>(*dialog, "cbMidiPort")->isEnabled());
    EXPECT_TRUE(dialog->offeredPorts().isEmpty());
    dialog->close();
    qunsetenv("JACK_DEFAULT_SERVER");
    EXPECT_TRUE(w.bells().keyboard().keyboardRinging());
    EXPECT_FALSE(w.bells().midi().port());
    EXPECT_EQ(readSettingsText(program), settingsBefore);
}
