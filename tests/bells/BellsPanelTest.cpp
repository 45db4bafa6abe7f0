// The bells panel on its own widgets, with a host that records what the
// panel asks of the rest of the program.

#include "bells/BellsPanel.h"
#include "base/PathTable.h"
#include "base/ProfileFile.h"
#include "base/RequiredFileCheck.h"
#include "bells/BellStrip.h"
#include "bells/BellsHost.h"
#include "bells/KeyboardRingingHook.h"
#include "bells/MidiRinging.h"
#include "bells/TBellData.h"
#include "input/KeyStrikeNotifier.h"
#include "input/VirtualKeys.h"
#include "support/TestProgram.h"
#include "ui/TImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

class RecordingHost : public BellsHost {
public:
    explicit RecordingHost(const QString& programDir)
        : table(programDir, true, programDir, programDir), settings(table.settingsFile()),
          check([this](const QString& message) { missing << message; }) {}

    PathTable& paths() override { return table; }
    ProfileFile& settingsFile() override { return settings; }
    RequiredFileCheck& requiredFiles() override { return check; }
    void preloadSampleFolder() override { calls << QStringLiteral("preload ") + table.sampleFolder(); }
    void handStrike(int bell, float gain) override {
        calls << QStringLiteral("strike %1").arg(bell);
        gains << gain;
    }
    void resetGroupsVariant() override { calls << QStringLiteral("reset variant"); }
    void recomputeGroups() override { calls << QStringLiteral("recompute"); }
    void showEnsembleGroups() override { calls << QStringLiteral("show groups"); }

    PathTable table;
    ProfileFile settings;
    RequiredFileCheck check;
    QStringList calls;
    QList<float> gains;
    QStringList missing;
};

struct PanelFixture {
    PanelFixture() : host((ensureQtApplication(), program.dir())) {
        modelRow.addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        panel = std::make_unique<BellsPanel>(
            BellsPanel::Controls{&window, &strip, &marker, &preview, &caption, &count, &modelRow, &stereo},
            host);
        panel->loadBellCatalogue();
        panel->resetBellState();
        panel->createBellStrip();
    }
    ~PanelFixture() { panel->releaseBells(); }

    TempProgram program;
    RecordingHost host;
    QWidget window;
    QFrame strip{&window};
    TImage marker{&strip};
    TImage preview{&window};
    QPlainTextEdit caption{&window};
    QPlainTextEdit count{&window};
    QComboBox modelRow{&window};
    QCheckBox stereo{&window};
    std::unique_ptr<BellsPanel> panel;
};

} // namespace

// Every change of the selection starts the groups over at the first variant,
// shows the count, then recomputes; only a bell that became selected sounds.
TEST(BellsPanel, SelectionChangesReachTheGroupsInOrder) {
    PanelFixture f;
    ASSERT_TRUE(f.host.missing.isEmpty()) << f.host.missing.join(u'\n').toStdString();

    f.panel->ToggleBell(3);
    EXPECT_EQ(f.host.calls, QStringList({"reset variant", "recompute", "strike 3"}));
    EXPECT_EQ(f.count.toPlainText(), QStringLiteral("Всего колоколов: 1"));
    EXPECT_FALSE(f.panel->bellStrip()->picture(3)->picture().isNull());

    f.host.calls.clear();
    f.panel->ToggleBell(3);
    EXPECT_EQ(f.host.calls, QStringList({"reset variant", "recompute"}));
    EXPECT_EQ(f.count.toPlainText(), QStringLiteral("Всего колоколов: 0"));

    f.host.calls.clear();
    f.panel->ToggleBell(15); // out of range: nothing at all
    f.panel->ToggleBell(-1);
    EXPECT_TRUE(f.host.calls.isEmpty());

    f.panel->nSelectAllClick();
    EXPECT_EQ(f.host.calls, QStringList({"reset variant", "recompute"})); // nothing sounds
    EXPECT_EQ(f.panel->ensemble().selectedCount(), 15);
}

// A stored ensemble brings its own groups: shown as they are, never recomputed,
// and what is saved reads back the same.
TEST(BellsPanel, StoredEnsembleKeepsItsGroups) {
    PanelFixture f;
    f.panel->applyEnsembleText(QStringLiteral("110000000000011"), QStringLiteral("bbnnnnnnnnnnnms"));
    EXPECT_EQ(f.host.calls, QStringList({"show groups"}));
    EXPECT_EQ(f.count.toPlainText(), QStringLiteral("Всего колоколов: 4"));
    f.panel->SaveEnsembleToSettings();

    f.panel->nDisselectAllClick();
    f.panel->RestoreEnsembleFromSettings();
    EXPECT_EQ(f.panel->ensemble().bellsText(), QStringLiteral("110000000000011"));
    EXPECT_EQ(f.panel->ensemble().typesText(), QStringLiteral("bbnnnnnnnnnnnms"));
}

// The model row picks the sample folder, which starts converting at once;
// the flat bells of the third row show their notice instead of a caption.
TEST(BellsPanel, ModelRowChoosesSamplesAndCaption) {
    PanelFixture f;
    f.panel->ShowBellInfo();
    const QString caption = f.caption.toPlainText();
    f.modelRow.setCurrentIndex(2);
    f.stereo.setChecked(true);
    f.panel->cbStereoClick();
    EXPECT_EQ(f.host.calls, QStringList({"preload " + f.program.dir() + "Sound/Model3/Stereo/"}));
    EXPECT_NE(f.caption.toPlainText(), caption);
    EXPECT_TRUE(f.caption.toPlainText().startsWith(QStringLiteral("По нашему мнению")));
}

// Keys act only while keyboard ringing is on; a held key repeats only the
// arrows; a bell's key tells the listeners before anything sounds.
TEST(BellsPanel, KeyboardRingingKeys) {
    PanelFixture f;
    KeyboardRingingHook& keys = f.panel->keyboard();
    QList<int> struck;
    QObject::connect(&keys.keyStrikeNotifier(), &KeyStrikeNotifier::bellStruck,
                     [&](int bell, std::int64_t) { struck << bell; });

    keys.setKeyboardRinging(false);
    EXPECT_FALSE(keys.handleRingingKey(VirtualKeys::kRight, false));
    EXPECT_EQ(f.panel->currentBell(), 0);
    keys.setKeyboardRinging(true);

    EXPECT_TRUE(keys.handleRingingKey(VirtualKeys::kRight, true)); // repeated arrows move
    EXPECT_EQ(f.panel->currentBell(), 1);
    EXPECT_TRUE(keys.handleRingingKey(VirtualKeys::kSpace, true)); // a repeated space toggles nothing
    EXPECT_FALSE(f.panel->ensemble().isSelected(1));
    EXPECT_TRUE(keys.handleRingingKey(VirtualKeys::kSpace, false));
    EXPECT_TRUE(f.panel->ensemble().isSelected(1));

    // Bell 1's key is 'B'; bell 4's ('E') is not selected and rings nothing.
    keys.handleRingingKey('E', false);
    EXPECT_TRUE(struck.isEmpty());
    keys.handleRingingKey('B', false);
    EXPECT_EQ(struck, QList<int>({1}));
    EXPECT_EQ(f.panel->currentBell(), 1);
}

// A MIDI note strikes as a key does: only a selected bell, only while keys
// ring, on the channel listened to; it becomes current, listeners hear of it
// with the note's own time, and its gain follows the velocity.
TEST(BellsPanel, MidiNotesStrikeLikeKeys) {
    PanelFixture f;
    f.panel->ToggleBell(8);
    f.panel->ToggleBell(14);
    f.host.calls.clear();
    f.host.gains.clear();
    MidiRinging& midi = f.panel->midi();
    KeyStrikeNotifier& notifier = f.panel->keyboard().keyStrikeNotifier();
    notifier.setClock([] { return std::int64_t{5000}; });
    QList<std::pair<int, std::int64_t>> heard;
    QObject::connect(&notifier, &KeyStrikeNotifier::bellStruck, [&](int bell, std::int64_t at) {
        heard.append({bell, at});
    });
    const auto send = [&](QByteArray bytes, std::int64_t agoMs = 0) {
        midi.handleBytes(bytes, KeyStrikeNotifier::steadyNowNs() - agoMs * 1'000'000);
    };

    send(QByteArray("\x99\x26\x40", 3), 20); // snare (38), velocity 64: bell 8, played 20 ms ago
    ASSERT_EQ(f.host.calls, QStringList{"strike 8"});
    EXPECT_NEAR(f.host.gains.value(0), 64.0f / 127.0f, 1e-6);
    EXPECT_EQ(f.panel->currentBell(), 8);
    ASSERT_EQ(heard.size(), 1);
    EXPECT_NEAR(static_cast<double>(heard[0].second), 4980.0, 1.0);

    send(QByteArray("\x99\x26\x00\x99\x24\x7f", 6)); // note off; bass drum on unselected bell 0
    midi.setCurve(VelocityCurve::Hard);
    send(QByteArray("\x99\x2a\x7f", 3)); // hi-hat: bell 14 at full strength on any curve
    midi.setChannel(1);
    send(QByteArray("\x99\x2a\x7f", 3)); // channel 10 is no longer heard
    f.panel->keyboard().setKeyboardRinging(false);
    midi.setChannel(0);
    send(QByteArray("\x99\x2a\x7f", 3)); // keys do not ring now: neither do pads
    EXPECT_EQ(f.host.calls, QStringList({"strike 8", "strike 14"}));
    EXPECT_FLOAT_EQ(f.host.gains.value(1), 1.0f);
    EXPECT_EQ(heard.size(), 2);
}

// Learning: a pad struck, then a bell clicked on the strip or its key
// pressed; neither the pad nor the pick rings or toggles anything.
TEST(BellsPanel, MidiLearnTakesTheNextBellPicked) {
    PanelFixture f;
    f.panel->ToggleBell(3);
    f.panel->ToggleBell(5);
    f.host.calls.clear();
    MidiRinging& midi = f.panel->midi();
    midi.setLearning(true);
    midi.handleBytes(QByteArray("\x90\x46\x50", 3), 0); // note 70
    EXPECT_EQ(midi.pendingNote(), 70);
    f.panel->bellStripClick(3);
    EXPECT_EQ(midi.noteMap().bellOf(70), 3);
    EXPECT_TRUE(f.panel->ensemble().isSelected(3));     // not toggled
    midi.handleBytes(QByteArray("\x90\x47\x50", 3), 0); // note 71, picked by bell 5's key
    const std::optional<int> key = f.panel->bellData()->keyCode(5);
    ASSERT_TRUE(key);
    EXPECT_TRUE(f.panel->keyboard().handleRingingKey(*key, false));
    EXPECT_EQ(midi.noteMap().bellOf(71), 5);
    EXPECT_TRUE(f.host.calls.isEmpty()) << f.host.calls.join(u',').toStdString();

    f.panel->bellStripClick(3); // no pad waiting: the click toggles as always
    EXPECT_FALSE(f.panel->ensemble().isSelected(3));
    midi.setLearning(false);
    midi.handleBytes(QByteArray("\x90\x47\x50", 3), 0);
    EXPECT_EQ(f.host.calls.filter(QStringLiteral("strike")), QStringList{"strike 5"});
}
