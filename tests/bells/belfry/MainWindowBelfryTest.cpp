// A belfry of one's own as the model row of the real main window, offscreen.

#include "bells/BellStrip.h"
#include "bells/BellsPanel.h"
#include "bells/belfry/BelfryDialog.h"
#include "bells/belfry/BelfryStore.h"
#include "support/MainWindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

class MainWindowBelfry : public MainWindowTest {
protected:
    // A belfry of two bells beside the test program, as a build tree keeps it.
    void makeBelfry() {
        Belfry belfry;
        belfry.name = QStringLiteral("Троица");
        std::vector<bellmeasure::Audio> samples;
        for (int i = 0; i < 2; ++i) {
            BelfryBell bell;
            bell.name = QStringLiteral("Большой %1").arg(i);
            bell.pitchHz = 220.0 * (i + 1);
            belfry.bells.append(bell);
            bellmeasure::Audio a;
            a.sampleRate = 44100;
            a.channels.assign(1, std::vector<float>(4410, 0.1f));
            samples.push_back(a);
        }
        QString error;
        ASSERT_TRUE(BelfryStore(program.dir() + QStringLiteral("Belfries")).save(belfry, samples, false, &error))
            << error.toStdString();
    }
};

} // namespace

// Switched to the belfry, every sound comes from its folder, the places
// without a bell cannot be chosen, the panel tells the bell; switched back,
// the synthesized row sounds again. The choice is kept by name.
TEST_F(MainWindowBelfry, ModelRowToTheBelfryAndBack) {
    makeBelfry();
    TfrmMain& w = startWith({});
    auto* rows = control<QComboBox>(w, "cbModelRow");
    ASSERT_EQ(rows->count(), 4);
    EXPECT_EQ(rows->itemText(3), QStringLiteral("Своя: Троица"));
    rows->setCurrentIndex(3);
    w.cbModelRowChange();
    ASSERT_NE(w.bells().belfryRow(), nullptr);
    EXPECT_EQ(w.paths().sampleFolder(), program.dir() + QStringLiteral("Belfries/Троица/"));
    EXPECT_EQ(w.bells().bellSampleFileName(1), QStringLiteral("bell02.flac"));
    EXPECT_EQ(w.bells().bellSampleFileName(2), QStringLiteral("bell03.wav")); // not in the folder: silent
    const QString before = w.ensemble().bellsText();
    w.bells().ToggleBell(2);
    EXPECT_EQ(w.ensemble().bellsText(), before);
    w.bells().ToggleBell(1);
    EXPECT_TRUE(w.ensemble().isSelected(1));
    w.bells().setCurrentBell(1);
    w.bells().ShowBellInfo();
    EXPECT_TRUE(control<QPlainTextEdit>(w, "mBellInfo")->toPlainText().startsWith(QStringLiteral("Большой 1")));
    EXPECT_TRUE(w.bells().bellStrip()->picture(0)->toolTip().startsWith(QStringLiteral("Большой 0, A3")));
    EXPECT_EQ(w.bells().bellStrip()->picture(5)->toolTip(), QStringLiteral("Нет колокола"));

    rows->setCurrentIndex(0);
    w.cbModelRowChange();
    EXPECT_EQ(w.bells().belfryRow(), nullptr);
    EXPECT_TRUE(w.paths().sampleFolder().endsWith(QStringLiteral("Sound/Model1/Stereo/")));
    EXPECT_EQ(w.bells().bellSampleFileName(1), QStringLiteral("bell02.wav"));
    EXPECT_EQ(w.bells().bellStrip()->picture(5)->toolTip(), QStringLiteral("Колокол 10"));
}

// The belfry chosen is kept by name at closing and chosen again at the next
// start; a belfry gone since leaves the synthesized row stored beside it.
TEST_F(MainWindowBelfry, ChoiceIsRestoredByName) {
    makeBelfry();
    TfrmMain& first = startWith({});
    auto* rows = control<QComboBox>(first, "cbModelRow");
    rows->setCurrentIndex(3);
    first.cbModelRowChange();
    first.close();
    EXPECT_TRUE(program.settingsText().contains(QStringLiteral("Belfry=")));
    frm.reset();
    TfrmMain& w = startWith({});
    ASSERT_NE(w.bells().belfryRow(), nullptr);
    EXPECT_EQ(control<QComboBox>(w, "cbModelRow")->currentIndex(), 3);
    EXPECT_EQ(w.paths().sampleFolder(), program.dir() + QStringLiteral("Belfries/Троица/"));
    frm.reset();
    program.writeSettings({QStringLiteral("[Settings]"), QStringLiteral("Model=1"), QStringLiteral("Belfry=Иная")});
    TfrmMain& again = startWith({});
    EXPECT_EQ(again.bells().belfryRow(), nullptr);
    EXPECT_EQ(control<QComboBox>(again, "cbModelRow")->currentIndex(), 1);
    EXPECT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
}

// «Колокола > Своя звонница ...» opens the dialog on the user's belfries; a
// change saved there reaches the model row list.
TEST_F(MainWindowBelfry, MenuOpensTheDialog) {
    makeBelfry();
    TfrmMain& w = startWith({});
    auto* menu = control<QMenu>(w, "mBellsMenu");
    QAction* item = nullptr;
    for (QAction* a : menu->actions()) {
        if (a->objectName() == QStringLiteral("nBelfry")) {
            item = a;
        }
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Своя звонница ..."));
    item->trigger();
    auto* dialog = w.findChild<BelfryDialog*>(QStringLiteral("frmBelfry"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_TRUE(dialog->edit().has_value());
    EXPECT_EQ(dialog->edit()->belfry().name, QStringLiteral("Троица"));
    dialog->setLevel(-3.0);
    ASSERT_TRUE(dialog->save());
    EXPECT_EQ(control<QComboBox>(w, "cbModelRow")->count(), 4);
    dialog->close();
}
