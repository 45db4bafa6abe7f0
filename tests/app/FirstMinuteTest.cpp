// A newcomer's first minute, through the real main window (offscreen): the
// first start's empty staves carry a welcome that says what to do, its first
// button plays a trezvon on every bell, and none of it writes a setting.

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "bells/BellsPanel.h"
#include "lessons/LessonTags.h"
#include "lessons/Lessons.h"
#include "lessons/TfrmLesson.h"
#include "playback/TransportPanel.h"
#include "playback/audio/AudioEngine.h"
#include "score/ScoreView.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace {

class FirstMinute : public MainWindowTest {
protected:
    // No settings file: the program writes the first start's own.
    void startFirstTime() {
        startWith({});
        ASSERT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
        frm->show();
        QCoreApplication::processEvents();
        view = frm->scoreView();
        ASSERT_NE(view, nullptr);
    }
    QPushButton* playButton() const { return control<QPushButton>(frm, "btnWelcomeTrezvon"); }

    // The welcome as the user meets it: drawn, its buttons on screen, no
    // cursor bar; or none of it and the bars back.
    void expectWelcome(bool shown, const char* when) const {
        SCOPED_TRACE(when);
        EXPECT_EQ(view->welcomeShown(), shown);
        EXPECT_EQ(playButton()->isVisible(), shown);
        EXPECT_EQ(control<QPushButton>(frm, "btnWelcomeLesson")->isVisible(), shown);
        EXPECT_EQ(view->cursor(2)->isVisible(), !shown);
    }
    void chooseCommon(int index) {
        control<QComboBox>(frm, "cbCommon")->setCurrentIndex(index);
        frm->cbCommonChange();
    }
    QByteArray settingsBytes() const {
        QFile f(program.dir() + QStringLiteral("campanix.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    ScoreView* view = nullptr;
};

} // namespace

// It stands while fewer than five bells are selected and nothing is loaded,
// goes at the fifth bell or a loaded ringing, comes back in that state only,
// and gives way to the caption of the score switched off. Its second button
// opens the guide to the program.
TEST_F(FirstMinute, WelcomeFollowsTheSelectionAndTheLoadedRinging) {
    startFirstTime();
    expectWelcome(true, "first start, two bells");
    frm->bells().ToggleBell(10);
    frm->bells().ToggleBell(11);
    expectWelcome(true, "four bells");
    frm->bells().ToggleBell(12);
    expectWelcome(false, "five bells");
    frm->bells().ToggleBell(12);
    expectWelcome(true, "back to four bells");
    // "Общий" needs no group: offered to four bells.
    chooseCommon(1);
    ASSERT_GT(frm->commonScoreSize(), 0);
    expectWelcome(false, "a ringing loaded");
    chooseCommon(0);
    expectWelcome(true, "the ringing unloaded");

    auto* notes = control<QCheckBox>(frm, "cbShowNotes");
    notes->setChecked(false);
    frm->cbShowNotesClick();
    EXPECT_FALSE(view->welcomeShown());
    EXPECT_FALSE(playButton()->isVisible());
    EXPECT_TRUE(control<QLabel>(frm, "pnlBigFace")->isVisible());
    notes->setChecked(true);
    frm->cbShowNotesClick();
    expectWelcome(true, "score on again");

    control<QPushButton>(frm, "btnWelcomeLesson")->click();
    EXPECT_TRUE(frm->lessons()->window()->isVisible());
    EXPECT_EQ(frm->lessons()->tag(), lessontags::kReference);
}

// The first button selects every bell, loads the first trezvon the list
// offers them and plays it: strikes reach the engine. The first start's file
// is not touched while the program runs, and closing keeps its 20 lines.
TEST_F(FirstMinute, WelcomeButtonPlaysATrezvonOnEveryBellAndWritesNoSetting) {
    const QString campanel = program.dir() + QStringLiteral("Campanel/");
    ASSERT_TRUE(writeTextLines(campanel + QStringLiteral("common.kli"),
                               {QStringLiteral("000;Общий;g.kol"), QStringLiteral("221;Перезвон;g.kol"),
                                QStringLiteral("352;Трезвон праздничный;t.kol"),
                                QStringLiteral("352;Трезвон великий;g.kol")}));
    QStringList trezvon{QStringLiteral("120")};
    for (int c = 0; c < 48; ++c) {
        trezvon << (c % 4 == 0 ? QStringLiteral("s1,m1,b1") : QString());
    }
    ASSERT_TRUE(writeTextLines(campanel + QStringLiteral("t.kol"), trezvon));
    startFirstTime();
    const QByteArray firstStart = settingsBytes();
    ASSERT_EQ(firstStart.count("\r\n"), 20);
    audio::AudioEngine* engine = frm->audioEngine();
    ASSERT_NE(engine, nullptr);
    engine->mixer().setStartReports(true);

    playButton()->click();
    EXPECT_EQ(frm->ensemble().selectedCount(), 15);
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("Campanix 1.2 - Трезвон праздничный"));
    EXPECT_EQ(frm->commonScoreSize(), 48);
    EXPECT_FALSE(view->welcomeShown());
    // Play waits for every selected bell's sample; then the sequencer runs.
    EXPECT_TRUE(waitFor([this] { return frm->transport().isPlaying(); }, 10000));
    audio::StartReport strike;
    EXPECT_TRUE(waitFor([&] { return engine->mixer().takeStartReport(strike); }, 10000)) << "no strike";
    frm->btnStopClick();

    EXPECT_EQ(settingsBytes(), firstStart);
    frm->close();
    EXPECT_EQ(settingsBytes().count("\r\n"), 20);
    EXPECT_TRUE(settingsBytes().contains("Bells=111111111111111"));
}

// Every control of the tool bars (usual and full view) and every ringing or
// view selector tells what it is for when the mouse rests on it.
TEST_F(FirstMinute, EveryToolAndSelectorHasAHint) {
    startFirstTime();
    QList<QWidget*> controls;
    for (const char* panel : {"pnlTools", "pnlPTools", "pnlTemp", "pnlVolume"}) {
        for (QWidget* w : control<QWidget>(frm, panel)->findChildren<QWidget*>()) {
            // Unnamed children are parts of a compound control (a combo's list).
            if (!w->objectName().isEmpty() &&
                (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                 qobject_cast<QAbstractSlider*>(w) || w->inherits("QLineEdit") || w->inherits("TUpDown"))) {
                controls << w;
            }
        }
    }
    for (const char* name : {"cbCommon", "cbModelRow", "cbCustomSelection0", "cbCustomSelection1",
                             "cbCustomSelection2", "cbSmall", "cbMiddle", "cbBig"}) {
        controls << control<QWidget>(frm, name);
    }
    EXPECT_GT(controls.size(), 30);
    for (QWidget* w : controls) {
        EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    }
}
