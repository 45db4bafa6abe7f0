// The bells panel on its own widgets, with a host that records what the
// panel asks of the rest of the program.

#include "bells/BellsPanel.h"
#include "base/PathTable.h"
#include "base/ProfileFile.h"
#include "base/RequiredFileCheck.h"
#include "bells/BellStrip.h"
#include "bells/BellsHost.h"
#include "bells/KeyboardRingingHook.h"
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
    void handStrike(int bell) override { calls << QStringLiteral("strike %1").arg(bell); }
    void resetGroupsVariant() override { calls << QStringLiteral("reset variant"); }
    void recomputeGroups() override { calls << QStringLiteral("recompute"); }
    void showEnsembleGroups() override { calls << QStringLiteral("show groups"); }

    PathTable table;
    ProfileFile settings;
    RequiredFileCheck check;
    QStringList calls;
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
