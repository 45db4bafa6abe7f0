// The bells subsystem inside the real main window, offscreen, over a small
// program folder made by the test.

#include "app/TfrmMain.h"
#include "bells/BellStrip.h"
#include "bells/BellsPanel.h"
#include "bells/GroupsPanel.h"
#include "bells/KeyboardRinging.h"
#include "bells/KeyboardRingingHook.h"
#include "input/KeyStrikeNotifier.h"
#include "support/MainWindowTest.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QStringList treeLines(const QTreeWidget* tree) {
    QStringList lines;
    for (int r = 0; r < tree->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* top = tree->topLevelItem(r);
        lines << top->text(0);
        for (int c = 0; c < top->childCount(); ++c) {
            lines << QStringLiteral("  ") + top->child(c)->text(0);
        }
    }
    return lines;
}

QString name(int bell) {
    return QStringLiteral("Колокол-%1").arg(bell);
}

class MainWindowBells : public MainWindowTest {
protected:
    TfrmMain& start(const QStringList& settings = {}) {
        if (!settings.isEmpty()) {
            program.writeSettings(settings);
        }
        return startWith({});
    }
    // Shown, so that the tree has its geometry and keys reach the window.
    TfrmMain& startShown(const QStringList& settings = {}) {
        start(settings);
        frm->show();
        waitFor([this] { return frm->windowHandle() && frm->windowHandle()->isExposed(); }, 1000);
        QCoreApplication::processEvents();
        return *frm;
    }

    static QStringList settingsWith(const QString& bells, const QString& types) {
        return {QStringLiteral("[Serial]"), QStringLiteral("Bells=") + bells,
                QStringLiteral("Types=") + types};
    }

    void press(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false) {
        QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(frm->windowHandle(), &event);
    }

    QTreeWidget* groupsTree() const { return control<QTreeWidget>(frm, "tvGroups"); }
    QPoint nodePos(QTreeWidgetItem* item) const { return groupsTree()->visualItemRect(item).center(); }
    QTreeWidgetItem* root(int r) const { return groupsTree()->topLevelItem(r); }
    QTreeWidgetItem* nodeOf(int bell) const {
        const auto found = groupsTree()->findItems(name(bell), Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
};

} // namespace

// First start: the default file selects bells 13 and 14, counted, without groups, flat in the tree.
TEST_F(MainWindowBells, FirstStartShowsTheDefaultEnsemble) {
    TfrmMain& w = start();
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    EXPECT_EQ(w.ensemble().bellsText(), QStringLiteral("000000000000011"));
    EXPECT_EQ(control<QPlainTextEdit>(w, "mBellsInfo")->toPlainText(), QStringLiteral("Всего колоколов: 2"));
    EXPECT_EQ(control<QPlainTextEdit>(w, "mDesc")->toPlainText(),
              QStringLiteral("Необходимо выбрать не менее 5 колоколов"));
    auto* tvGroups = control<QTreeWidget>(w, "tvGroups");
    EXPECT_EQ(treeLines(tvGroups), (QStringList{name(14), name(13)}));
    EXPECT_FALSE(tvGroups->dragEnabled());
    EXPECT_FALSE(control<QToolButton>(w, "btnGPrev")->isEnabled());
    EXPECT_FALSE(control<QToolButton>(w, "btnGNext")->isEnabled());
    EXPECT_EQ(control<QPlainTextEdit>(w, "mBellInfo")->toPlainText(), QStringLiteral("Колокол 15"));
    EXPECT_FALSE(control<TImage>(w, "imgPreview")->picture().isNull());
    // The strip: hints, pictures of every bell, marker under bell 0.
    ASSERT_NE(w.bells().bellStrip(), nullptr);
    EXPECT_EQ(w.bells().bellStrip()->picture(0)->toolTip(), QStringLiteral("Колокол 15"));
    EXPECT_EQ(w.bells().bellStrip()->picture(14)->toolTip(), QStringLiteral("Колокол 1"));
    for (int i = 0; i < 15; ++i) {
        EXPECT_FALSE(w.bells().bellStrip()->picture(i)->picture().isNull()) << i;
    }
    auto* imgHot = control<TImage>(w, "imgHot");
    EXPECT_EQ(imgHot->x(), w.bells().bellStrip()->picture(0)->x());
    EXPECT_EQ(imgHot->width(), w.bells().bellStrip()->picture(0)->width());
    // The popup's sub-menu: one item per bell with its display name.
    ASSERT_NE(w.groups().addBellItem(14), nullptr);
    EXPECT_EQ(w.groups().addBellItem(3)->text(), name(3));
    EXPECT_EQ(w.bells().bellDisplayName(4), name(4));
    EXPECT_EQ(w.bells().bellSampleFileName(4), QStringLiteral("bell05.wav"));
}

// Once shown, the information panels share the row beside the banner.
TEST_F(MainWindowBells, InformationPanelsAreLaidOut) {
    TfrmMain& w = startShown();
    auto* pnlBellInfo = control<QFrame>(w, "pnlBellInfo");
    EXPECT_TRUE(waitFor([&] { return pnlBellInfo->width() > 100; }));
    EXPECT_EQ(pnlBellInfo->width(), control<QFrame>(w, "pnlBellsInfo")->width());
    EXPECT_GT(control<QPlainTextEdit>(w, "mBellInfo")->width(), 0);
    EXPECT_GT(control<QPlainTextEdit>(w, "mBellsInfo")->width(), 0);
    // The whole distributions message fits its memo.
    EXPECT_GE(control<QPlainTextEdit>(w, "mDesc")->height(), 48);
}

// A missing catalogue names its full path and asks to end; closing then saves nothing.
TEST_F(MainWindowBells, MissingCatalogueEndsAndSavesNothing) {
    program.removeCatalogue();
    TfrmMain& w = start(settingsWith(QStringLiteral("000000000000011"), QStringLiteral("nnnnnnnnnnnnnnn")));
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_TRUE(reports.first().contains(program.dir() + QStringLiteral("Data/desc.kli")));
    EXPECT_TRUE(w.terminationRequested());
    const QString before = program.settingsText();
    w.nSelectAllClick();
    w.close();
    EXPECT_EQ(program.settingsText(), before);
}

// Closing writes the ensemble back to [Serial].
TEST_F(MainWindowBells, ClosingSavesTheEnsemble) {
    TfrmMain& w = start();
    w.bells().ToggleBell(0);
    w.bells().ToggleBell(1);
    w.bells().ToggleBell(2);
    EXPECT_EQ(w.ensemble().selectedCount(), 5);
    w.close();
    const QString text = program.settingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("Bells=111000000000011"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Types=bmmnnnnnnnnnnss"))) << text.toStdString();
}

// Stored groups are taken as stored (not recomputed); upper-case letters give no group.
TEST_F(MainWindowBells, RestoreKeepsStoredGroups) {
    TfrmMain& w = start(settingsWith(QStringLiteral("111110000000000"), QStringLiteral("bbmsSnnnnnnnnnn")));
    EXPECT_EQ(w.ensemble().typesText(), QStringLiteral("bbmsnnnnnnnnnnn"));
    EXPECT_EQ(control<QPlainTextEdit>(w, "mDesc")->toPlainText(),
              QStringLiteral("Для 5 колоколов существует 1 вариант рекомендуемых распределений по группам."));
    EXPECT_EQ(
        treeLines(control<QTreeWidget>(w, "tvGroups")),
        (QStringList{QStringLiteral("Малые колокола"), "  " + name(3), QStringLiteral("Средние колокола"),
                     "  " + name(2), QStringLiteral("Большие колокола"), "  " + name(1), "  " + name(0)}));
    EXPECT_EQ(control<QPlainTextEdit>(w, "mBellsInfo")->toPlainText(), QStringLiteral("Всего колоколов: 5"));
}

// A click on the strip moves the marker and the panel, then toggles; select all and reset all.
TEST_F(MainWindowBells, StripClickSelectAllAndReset) {
    TfrmMain& w = start();
    w.bells().bellStripClick(3);
    EXPECT_EQ(w.bells().currentBell(), 3);
    EXPECT_EQ(control<TImage>(w, "imgHot")->x(), w.bells().bellStrip()->picture(3)->x());
    EXPECT_EQ(control<QPlainTextEdit>(w, "mBellInfo")->toPlainText(), QStringLiteral("Колокол 12"));
    EXPECT_TRUE(w.ensemble().isSelected(3));
    auto* mBellsInfo = control<QPlainTextEdit>(w, "mBellsInfo");
    EXPECT_EQ(mBellsInfo->toPlainText(), QStringLiteral("Всего колоколов: 3"));
    w.bells().bellStripClick(3);
    EXPECT_FALSE(w.ensemble().isSelected(3));

    w.nSelectAllClick();
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("375"));
    EXPECT_EQ(root(0)->child(0)->text(0), name(14)); // children from 14 down
    EXPECT_TRUE(groupsTree()->dragEnabled());
    EXPECT_EQ(mBellsInfo->toPlainText(), QStringLiteral("Всего колоколов: 15"));

    w.nDisselectAllClick();
    EXPECT_EQ(w.ensemble().selectedCount(), 0);
    EXPECT_EQ(w.ensemble().typesText(), QStringLiteral("nnnnnnnnnnnnnnn"));
    EXPECT_EQ(groupsTree()->topLevelItemCount(), 0);
    EXPECT_EQ(mBellsInfo->toPlainText(), QStringLiteral("Всего колоколов: 0"));
}

// The variant buttons step through the filled slots of the row and recompute; a toggle goes back to variant
// 0.
TEST_F(MainWindowBells, VariantButtons) {
    TfrmMain& w = start(settingsWith(QStringLiteral("000000001111111"), QStringLiteral("nnnnnnnnnnnnnnn")));
    w.groups().RecomputeGroups();
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("331"));
    auto* btnGPrev = control<QToolButton>(w, "btnGPrev");
    EXPECT_FALSE(btnGPrev->isEnabled());
    auto* btnGNext = control<QToolButton>(w, "btnGNext");
    EXPECT_TRUE(btnGNext->isEnabled());
    btnGNext->click();
    EXPECT_EQ(w.groups().variant(), 1);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("241"));
    EXPECT_TRUE(btnGPrev->isEnabled());
    EXPECT_FALSE(btnGNext->isEnabled());
    w.btnGNextClick(); // disabled: nothing happens
    EXPECT_EQ(w.groups().variant(), 1);
    btnGPrev->click();
    EXPECT_EQ(w.groups().variant(), 0);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("331"));
    btnGNext->click();
    w.bells().ToggleBell(0);
    EXPECT_EQ(w.groups().variant(), 0);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("341"));
}

// Drag and drop: acceptance per root and limit, drops on bell nodes and from elsewhere refused, a toggle
// discards it.
TEST_F(MainWindowBells, DragAndDropBetweenGroups) {
    TfrmMain& w =
        startShown(settingsWith(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnnnnnn")));
    w.bells().ToggleBell(5); // six bells: "231": big {5}, middle {10,11,12}, small {13,14}
    ASSERT_EQ(w.ensemble().groupCountsText(), QStringLiteral("231"));
    QTreeWidget* tree = control<QTreeWidget>(w, "tvGroups");

    w.groups().tvGroupsMouseDown(nodePos(nodeOf(5)));
    EXPECT_EQ(tree->currentItem(), nodeOf(5));
    EXPECT_FALSE(w.groups().tvGroupsDragOver(tree, nodePos(root(0)))); // bell 5 is not above 10
    EXPECT_TRUE(w.groups().tvGroupsDragOver(tree, nodePos(root(1))));
    EXPECT_TRUE(w.groups().tvGroupsDragOver(tree, nodePos(root(2))));     // its own group
    EXPECT_FALSE(w.groups().tvGroupsDragOver(tree, nodePos(nodeOf(11)))); // a bell node
    EXPECT_FALSE(w.groups().tvGroupsDragOver(&w, nodePos(root(1))));      // not from the tree

    w.groups().tvGroupsMouseDown(nodePos(nodeOf(12)));
    EXPECT_TRUE(w.groups().tvGroupsDragOver(tree, nodePos(root(0))));
    w.groups().tvGroupsDragDrop(tree, nodePos(root(0)));
    EXPECT_EQ(w.ensemble().group(12), kSmallGroup);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("321"));
    EXPECT_EQ(root(0)->childCount(), 3);
    EXPECT_EQ(control<QPlainTextEdit>(w, "mDesc")->toPlainText(),
              QStringLiteral("Для 6 колоколов существует 1 вариант рекомендуемых распределений по группам."));

    w.groups().tvGroupsMouseDown(nodePos(nodeOf(11)));
    EXPECT_FALSE(w.groups().tvGroupsDragOver(tree, nodePos(root(0)))); // a fourth small bell
    w.groups().tvGroupsDragDrop(tree, nodePos(root(0)));
    EXPECT_EQ(w.ensemble().group(11), kMiddleGroup);

    w.groups().tvGroupsMouseDown(nodePos(root(1))); // a root cannot be dragged
    EXPECT_FALSE(w.groups().tvGroupsDragOver(tree, nodePos(root(2))));

    w.bells().ToggleBell(5); // any toggle recomputes and discards the hand-made group
    EXPECT_EQ(w.ensemble().group(12), kMiddleGroup);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("221"));
}

// The popup: "add" items by the selected root and the limits; remove and add keep hand-made groups.
TEST_F(MainWindowBells, PopupAddAndRemove) {
    TfrmMain& w =
        startShown(settingsWith(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnnnnnn")));
    w.bells().ToggleBell(5);
    ASSERT_EQ(w.ensemble().groupCountsText(), QStringLiteral("231"));
    // Hand-made: bell 12 to the small group.
    w.groups().tvGroupsMouseDown(nodePos(nodeOf(12)));
    auto* tvGroups = control<QTreeWidget>(w, "tvGroups");
    w.groups().tvGroupsDragDrop(tvGroups, nodePos(root(0)));
    ASSERT_EQ(w.ensemble().groupCountsText(), QStringLiteral("321"));

    w.groups().tvGroupsMouseDown(nodePos(root(0))); // small root, already three bells
    w.mPopupPopup();
    for (int b = 0; b < 15; ++b) {
        EXPECT_FALSE(w.groups().addBellItem(b)->isEnabled()) << b;
    }
    w.groups().tvGroupsMouseDown(nodePos(nodeOf(5))); // a bell of the big group
    w.mPopupPopup();
    EXPECT_TRUE(w.groups().addBellItem(0)->isEnabled());
    EXPECT_FALSE(w.groups().addBellItem(5)->isEnabled()); // already selected

    w.groups().nAddBellClick(0); // joins the big group; the rest stays hand-made
    EXPECT_EQ(w.ensemble().group(0), kBigGroup);
    EXPECT_EQ(w.ensemble().group(12), kSmallGroup);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("322"));
    EXPECT_EQ(w.groups().variant(), 0);
    EXPECT_EQ(control<QPlainTextEdit>(w, "mBellsInfo")->toPlainText(), QStringLiteral("Всего колоколов: 7"));
    EXPECT_EQ(
        control<QPlainTextEdit>(w, "mDesc")->toPlainText(),
        QStringLiteral("Для 7 колоколов существует 2 варианта рекомендуемых распределений по группам."));
    EXPECT_FALSE(control<QToolButton>(w, "btnGPrev")->isEnabled());
    auto* btnGNext = control<QToolButton>(w, "btnGNext");
    EXPECT_TRUE(btnGNext->isEnabled());
    EXPECT_FALSE(w.bells().bellStrip()->picture(0)->picture().isNull());

    w.groups().tvGroupsMouseDown(nodePos(root(2)));
    w.nDeleteClick(); // a root: nothing
    EXPECT_EQ(w.ensemble().selectedCount(), 7);
    w.groups().tvGroupsMouseDown(nodePos(nodeOf(10)));
    w.nDeleteClick();
    EXPECT_FALSE(w.ensemble().isSelected(10));
    EXPECT_EQ(w.ensemble().group(12), kSmallGroup);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("312"));

    // Down to four bells: a flat list, no groups left, removal by any node.
    w.groups().tvGroupsMouseDown(nodePos(nodeOf(11)));
    w.nDeleteClick();
    w.groups().tvGroupsMouseDown(nodePos(nodeOf(0)));
    w.nDeleteClick();
    EXPECT_EQ(w.ensemble().selectedCount(), 4);
    EXPECT_EQ(w.ensemble().groupCountsText(), QStringLiteral("000"));
    EXPECT_EQ(tvGroups->topLevelItemCount(), 4);
    EXPECT_FALSE(btnGNext->isEnabled());
    w.groups().tvGroupsMouseDown(nodePos(nodeOf(13)));
    w.nDeleteClick();
    EXPECT_EQ(w.ensemble().selectedCount(), 3);
    // Adding below five bells toggles (and recomputes) without needing a node.
    w.groups().tvGroupsMouseDown(QPoint(1, tvGroups->viewport()->height() - 2));
    w.groups().nAddBellClick(1);
    EXPECT_TRUE(w.ensemble().isSelected(1));
}

// Keys: a selected bell's key strikes it and moves the marker; unselected does nothing; Space and arrows.
TEST_F(MainWindowBells, KeyboardRinging) {
    TfrmMain& w =
        startShown(settingsWith(QStringLiteral("001000000000011"), QStringLiteral("nnnnnnnnnnnnnnn")));
    press(Qt::Key_D); // bell 3, not selected
    EXPECT_EQ(w.bells().currentBell(), 0);
    press(Qt::Key_C); // bell 2
    EXPECT_EQ(w.bells().currentBell(), 2);
    EXPECT_EQ(control<TImage>(w, "imgHot")->x(), w.bells().bellStrip()->picture(2)->x());
    // The panel follows once the strike has been handed back to this thread.
    auto* mBellInfo = control<QPlainTextEdit>(w, "mBellInfo");
    EXPECT_TRUE(waitFor([&] { return mBellInfo->toPlainText() == QStringLiteral("Колокол 13"); }));

    press(Qt::Key_Left);
    EXPECT_EQ(w.bells().currentBell(), 1);
    EXPECT_EQ(mBellInfo->toPlainText(), QStringLiteral("Колокол 14"));
    press(Qt::Key_Left);
    press(Qt::Key_Left, Qt::NoModifier, true); // held: repeats
    EXPECT_EQ(w.bells().currentBell(), 0);
    EXPECT_EQ(mBellInfo->toPlainText(), QStringLiteral("Колокол 15"));
    press(Qt::Key_Space);
    EXPECT_TRUE(w.ensemble().isSelected(0));
    press(Qt::Key_Space, Qt::NoModifier, true); // a held Space does not toggle again
    EXPECT_TRUE(w.ensemble().isSelected(0));

    for (int i = 0; i < 16; ++i) {
        press(Qt::Key_Right);
    }
    EXPECT_EQ(w.bells().currentBell(), 14);
    EXPECT_EQ(mBellInfo->toPlainText(), QStringLiteral("Колокол 1"));

    // The same key under a Russian layout (no keycodes offscreen: by the Qt key).
    press(0x0421); // С sits on C
    EXPECT_EQ(w.bells().currentBell(), 2);

    // Off while the recording dialog holds it.
    w.bells().keyboard().setKeyboardRinging(false);
    press(Qt::Key_A);
    press(Qt::Key_Right);
    EXPECT_EQ(w.bells().currentBell(), 2);
    w.bells().keyboard().setKeyboardRinging(true);
    waitFor([] { return false; }, 50);
}

// Each struck bell is told to the listeners (the recorder) in key order; "2" focuses the middle selector and
// still rings.
TEST_F(MainWindowBells, RecordingAndSelectorKeys) {
    TfrmMain& w =
        startShown(settingsWith(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnnnnnn")));
    w.groups().RecomputeGroups(); // "221": big {10}, middle {11,12}, small {13,14}
    QString column;
    QObject::connect(&w.bells().keyboard().keyStrikeNotifier(), &KeyStrikeNotifier::bellStruck, &w,
                     [&](int bell, std::int64_t) {
                         column = KeyboardRinging::appendToColumn(
                             column, KeyboardRinging::strikeToken(w.ensemble(), bell));
                     });
    press(Qt::Key_L);    // bell 11: middle, second from bell 14 down
    press(Qt::Key_O);    // bell 14: small, first
    press(Qt::Key_K);    // bell 10: big, first
    press(Qt::Key_Left); // arrows record nothing
    EXPECT_EQ(column, QStringLiteral("m2,s1,b1"));
    w.bells().keyboard().setKeyboardRinging(false);
    press(Qt::Key_K);
    EXPECT_EQ(column, QStringLiteral("m2,s1,b1"));
    w.bells().keyboard().setKeyboardRinging(true);

    auto* selector = w.findChild<QComboBox*>(QStringLiteral("cbCustomSelection1"));
    ASSERT_NE(selector, nullptr);
    ASSERT_TRUE(selector->isEnabled());
    press(Qt::Key_2);
    EXPECT_EQ(w.focusWidget(), selector);
    EXPECT_TRUE(w.bells().keyboard().focusGroupSelector(0));
    selector->setEnabled(false); // a disabled selector does not take the focus
    EXPECT_FALSE(w.bells().keyboard().focusGroupSelector(1));
    waitFor([] { return false; }, 50);
}

// The flat-bells row shows its notice whatever bell is current; the picture still follows.
TEST_F(MainWindowBells, FlatBellsNotice) {
    TfrmMain& w = start();
    auto* cbModelRow = control<QComboBox>(w, "cbModelRow");
    cbModelRow->setCurrentIndex(2);
    w.cbModelRowChange();
    auto* mBellInfo = control<QPlainTextEdit>(w, "mBellInfo");
    EXPECT_TRUE(mBellInfo->toPlainText().startsWith(QStringLiteral("По нашему мнению")));
    EXPECT_TRUE(w.paths().sampleFolder().endsWith(QStringLiteral("Sound/Model3/Stereo/")));
    w.bells().bellStripClick(6);
    EXPECT_TRUE(mBellInfo->toPlainText().startsWith(QStringLiteral("По нашему мнению")));
    EXPECT_FALSE(control<TImage>(w, "imgPreview")->picture().isNull());
    cbModelRow->setCurrentIndex(0);
    w.cbModelRowChange();
    EXPECT_EQ(mBellInfo->toPlainText(), QStringLiteral("Колокол 9"));
}

// A missing picture is reported by its full path.
TEST_F(MainWindowBells, MissingPictureIsReported) {
    QFile::remove(program.dir() + QStringLiteral("Images/bell07_off.bmp"));
    TfrmMain& w = start();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports.first().contains(program.dir() + QStringLiteral("Images/bell07_off.bmp")));
    EXPECT_TRUE(w.terminationRequested());
}
