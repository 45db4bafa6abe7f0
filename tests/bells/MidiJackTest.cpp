// Notes from a real MIDI port: a JACK server of the test's own (dummy
// driver, no sound card, no real-time rights needed), a virtual port that
// plays the pads, and the real main window listening to it. The strikes must
// reach the audio engine and the recorder. Skipped where jackd cannot start.

#include "support/JackServer.h"
#include "support/MainWindowTest.h"

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "bells/MidiDialog.h"
#include "bells/MidiRinging.h"
#include "input/KeyStrikeNotifier.h"
#include "input/MidiInput.h"
#include "input/MidiParser.h"
#include "playback/TransportPanel.h"
#include "playback/audio/AudioEngine.h"
#include "record/Recorder.h"
#include "record/TfrmRec.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <optional>
#include <span>

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

class MidiFromJack : public MainWindowTest {};

// Empty when the server runs and the pads' port is there; otherwise why not.
std::string startWithPads(JackServer& server, std::unique_ptr<RtMidiOut>& pads) {
    const QString why = server.start();
    if (!why.isEmpty()) {
        return "no JACK server for the MIDI test: " + why.toStdString();
    }
    pads = openPads(server);
    return pads ? std::string() : "the JACK server did not come up: " + server.output().toStdString();
}

// The messages a MidiInput hands over, each with its time.
struct Heard {
    std::vector<std::pair<QByteArray, qint64>> messages;
    explicit Heard(MidiInput& input) {
        QObject::connect(&input, &MidiInput::bytesReceived,
                         [this](const QByteArray& bytes, qint64 at) { messages.emplace_back(bytes, at); });
    }
    // The note ons among them, parsed as the ringing parses them.
    std::vector<std::pair<MidiNote, qint64>> notes() const {
        MidiParser parser;
        std::vector<std::pair<MidiNote, qint64>> out;
        for (const auto& [bytes, at] : messages) {
            const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
            for (const MidiNote& note : parser.feed(std::span(data, static_cast<size_t>(bytes.size())))) {
                if (note.on) {
                    out.emplace_back(note, at);
                }
            }
        }
        return out;
    }
};

// The server joins two ports some cycles after they are joined: a note is
// sent until one is heard.
bool sendUntilHeard(RtMidiOut& pads, const Heard& heard) {
    std::vector<unsigned char> note{0x99, 1, 1};
    const std::size_t before = heard.notes().size();
    return waitFor(
        [&] {
            pads.sendMessage(&note);
            return waitFor([&] { return heard.notes().size() > before; }, 100);
        },
        10000);
}

} // namespace

// A port that goes away and comes back, and a server killed and started
// again, are followed without the user; a cut-off system exclusive message
// does not make the input deaf; the client stays when the dialog lets go of
// its lists.
TEST(MidiInputFromJack, FollowsThePortAndTheServer) {
    ensureQtApplication();
    JackServer server;
    std::unique_ptr<RtMidiOut> pads;
    if (const std::string why = startWithPads(server, pads); !why.empty()) {
        GTEST_SKIP() << why;
    }
    MidiInput input;
    Heard heard(input);
    std::vector<bool> changes;
    QObject::connect(&input, &MidiInput::connectionChanged, [&changes](bool on) { changes.push_back(on); });
    EXPECT_TRUE(MidiInput::supportLikely());
    ASSERT_TRUE(input.probe().jack);
    const MidiPort port{QStringLiteral("JACK"), QStringLiteral("Pads:pads")};
    ASSERT_TRUE(input.ports().contains(port));
    ASSERT_TRUE(input.open(port));
    input.releaseListers(); // the dialog closed
    ASSERT_TRUE(sendUntilHeard(*pads, heard)) << "the ports were never joined";

    // F0 7E 01 02 without its F7: the next note is heard at once.
    std::vector<unsigned char> cutSysex{0xF0, 0x7E, 0x01, 0x02};
    std::vector<unsigned char> sideStick{0x99, 37, 127};
    pads->sendMessage(&cutSysex);
    pads->sendMessage(&sideStick);
    EXPECT_TRUE(waitFor([&] { return !heard.notes().empty() && heard.notes().back().first.note == 37; }, 1000));

    // Unplugged: let go of and told; plugged in again: listened to again.
    pads.reset();
    ASSERT_TRUE(waitFor([&] { return !input.openPort(); }));
    EXPECT_EQ(changes, std::vector<bool>{false});
    EXPECT_EQ(input.chosenPort(), port);
    pads = openPads(server);
    ASSERT_TRUE(pads);
    ASSERT_TRUE(waitFor([&] { return input.openPort().has_value(); }));
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
    EXPECT_TRUE(sendUntilHeard(*pads, heard));

    // The server killed: its files stay, but no MIDI is claimed. The
    // test's own sender goes once the input has let go of its client.
    server.kill();
    ASSERT_TRUE(waitFor([&] { return !input.openPort(); }, 5000));
    EXPECT_EQ(changes, (std::vector<bool>{false, true, false}));
    pads.reset();
    EXPECT_FALSE(MidiInput::supportLikely());
    EXPECT_FALSE(input.probe().jack);
    input.releaseListers();
    // Started again: the port is found and listened to, and stays so when
    // the lists are let go of.
    ASSERT_TRUE(server.start().isEmpty());
    pads = openPads(server);
    ASSERT_TRUE(pads);
    ASSERT_TRUE(waitFor([&] { return input.openPort().has_value(); }, 10000));
    input.probe();
    input.releaseListers();
    EXPECT_TRUE(sendUntilHeard(*pads, heard));
    // «Нет» chosen while the dialog lists the ports: they stay listed.
    input.probe();
    input.close();
    EXPECT_TRUE(input.ports().contains(port));
    input.releaseListers();
    pads.reset();
}

// Each note keeps its own frame within the JACK cycle: two notes 240 frames
// apart in one cycle of 256 are 5 ms apart, not stamped together.
TEST(MidiInputFromJack, NotesKeepTheirFrameInTheCycle) {
    ensureQtApplication();
    JackServer server;
    std::unique_ptr<RtMidiOut> pads;
    if (const std::string why = startWithPads(server, pads); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const QString sequencer = QStandardPaths::findExecutable(QStringLiteral("jack_midiseq"));
    if (sequencer.isEmpty()) {
        GTEST_SKIP() << "jack_midiseq is not installed";
    }
    // A loop of 100 cycles: note 60 on its frame 10, note 62 on its frame 250.
    QProcess seq;
    seq.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    seq.start(sequencer, {QStringLiteral("Seq"), QStringLiteral("25600"), QStringLiteral("10"), QStringLiteral("60"),
                          QStringLiteral("50"), QStringLiteral("250"), QStringLiteral("62"), QStringLiteral("50")});
    ASSERT_TRUE(seq.waitForStarted(3000));
    MidiInput input;
    Heard heard(input);
    std::optional<MidiPort> port;
    ASSERT_TRUE(waitFor([&] {
        input.probe();
        for (const MidiPort& p : input.ports()) {
            if (p.name.startsWith(QStringLiteral("Seq:"))) {
                port = p;
            }
        }
        return port.has_value();
    }));
    ASSERT_TRUE(input.open(*port));
    ASSERT_TRUE(waitFor(
        [&] {
            const auto notes = heard.notes();
            return std::count_if(notes.begin(), notes.end(), [](const auto& n) { return n.first.note == 62; }) >= 2;
        },
        5000));
    const auto notes = heard.notes();
    int pairs = 0;
    for (size_t i = 1; i < notes.size(); ++i) {
        if (notes[i - 1].first.note == 60 && notes[i].first.note == 62) {
            const double apartMs = static_cast<double>(notes[i].second - notes[i - 1].second) / 1e6;
            EXPECT_NEAR(apartMs, 5.0, 0.3);
            ++pairs;
        }
    }
    EXPECT_GE(pairs, 1);
    input.close();
    seq.terminate();
    seq.waitForFinished(3000);
}

TEST_F(MidiFromJack, NotesReachTheEngineAndTheRecorder) {
    JackServer server;
    std::unique_ptr<RtMidiOut> pads;
    if (const std::string why = startWithPads(server, pads); !why.empty()) {
        GTEST_SKIP() << why;
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

    // Unplugged: the status bar says so, and the dialog does not show the
    // port as joined; plugged in again, it rings again with no one asking.
    pads.reset();
    ASSERT_TRUE(waitFor([&] { return !midi.port(); }));
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("MIDI-инструмент «Pads:pads» отключён"));
    control<QAction>(w, "nMidi")->trigger();
    EXPECT_EQ(ports->currentText(), QStringLiteral("JACK: Pads:pads (не подключён)"));
    pads = openPads(server);
    ASSERT_TRUE(pads);
    ASSERT_TRUE(waitFor([&] { return midi.port().has_value(); }));
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("MIDI-инструмент «Pads:pads» снова подключён"));
    EXPECT_TRUE(waitFor([&] { return ports->currentText() == QStringLiteral("JACK: Pads:pads"); }));
    dialog->close();
    EXPECT_TRUE(waitFor(
        [&] {
            pads->sendMessage(&sideStick);
            return startsReach(3, 100);
        },
        10000));

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

// Answers the next modal message box with the button of `text`, and counts
// the boxes answered.
struct BoxAnswer {
    int asked = 0;
    void next(const QString& text) {
        QTimer::singleShot(0, [this, text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            ++asked;
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == text) {
                    button->click();
                }
            }
        });
    }
};

// A note softer than the port's threshold is an electronic kit's crosstalk
// and strikes nothing; a note learnt as «Без колокола» rings nothing; a
// preset asks before it replaces notes the user set up, and «Отмена» keeps
// them.
TEST_F(MidiMenu, ThresholdNoBellAndPresetQuestion) {
    qputenv("JACK_DEFAULT_SERVER", QByteArrayLiteral("campanix-no-such-server"));
    program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=000000000011111"),
                           QStringLiteral("Types=nnnnnnnnnnbmmss")});
    TfrmMain& w = startWith({});
    MidiRinging& midi = w.bells().midi();
    w.bells().setCurrentBell(12);
    const std::int64_t now = KeyStrikeNotifier::steadyNowNs();
    midi.setThreshold(30);
    midi.handleNote({true, 10, 37, 29}, now); // side stick, bell 10
    EXPECT_EQ(w.bells().currentBell(), 12);
    midi.handleNote({true, 10, 37, 30}, now);
    EXPECT_EQ(w.bells().currentBell(), 10);

    // The hi-hat pedal (44) rings no bell once learnt so.
    EXPECT_EQ(midi.noteMap().bellOf(44), 14);
    midi.setLearning(true);
    midi.handleNote({true, 10, 44, 29}, now); // too soft even to be learnt
    EXPECT_FALSE(midi.pendingNote());
    midi.handleNote({true, 10, 44, 90}, now);
    EXPECT_EQ(midi.pendingNote(), 44);
    EXPECT_TRUE(midi.pickNoBell());
    midi.setLearning(false);
    EXPECT_EQ(midi.noteMap().bellOf(44), -1);
    midi.handleNote({true, 10, 44, 127}, now);
    EXPECT_EQ(w.bells().currentBell(), 10);

    control<QAction>(w, "nMidi")->trigger();
    auto* dialog = w.findChild<MidiDialog*>(QStringLiteral("frmMidi"));
    ASSERT_NE(dialog, nullptr);
    auto* drums = control<QPushButton>(*dialog, "btnMidiDrums");
    BoxAnswer answer;
    answer.next(QStringLiteral("Отмена"));
    drums->click();
    EXPECT_EQ(answer.asked, 1);
    EXPECT_EQ(midi.noteMap().bellOf(44), -1);
    answer.next(QStringLiteral("Заменить"));
    drums->click();
    EXPECT_EQ(answer.asked, 2);
    EXPECT_EQ(midi.noteMap(), MidiNoteMap::drumMap(15));
    // The drum map itself is replaced without a question.
    answer.next(QStringLiteral("Отмена"));
    control<QPushButton>(*dialog, "btnMidiChromatic")->click();
    EXPECT_EQ(answer.asked, 2);
    EXPECT_EQ(midi.noteMap().bellOf(48), 0);
    dialog->close();
    qunsetenv("JACK_DEFAULT_SERVER");
}
