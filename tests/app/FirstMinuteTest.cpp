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
#include "ringing/RingingChoices.h"
#include "score/ScoreView.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include <array>

namespace {

class FirstMinute : public MainWindowTest {
protected:
    // No settings file: the program writes the first start's own.
    void startFirstTime() {
        startWith({});
        ASSERT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
        frm->show();
        waitFor([this] { return frm->windowHandle() && frm->windowHandle()->isExposed(); }, 2000);
        QCoreApplication::processEvents();
        view = frm->scoreView();
        ASSERT_NE(view, nullptr);
    }

    QPushButton* playButton() const { return control<QPushButton>(frm, "btnWelcomeTrezvon"); }
    QPushButton* lessonButton() const { return control<QPushButton>(frm, "btnWelcomeLesson"); }

    // The welcome as the user meets it: drawn, both buttons on screen, no
    // cursor bar; or none of it, and the bars back.
    void expectWelcome(bool shown, const char* when) const {
        SCOPED_TRACE(when);
        EXPECT_EQ(view->welcomeShown(), shown);
        EXPECT_EQ(playButton()->isVisible(), shown);
        EXPECT_EQ(lessonButton()->isVisible(), shown);
        for (int g = 0; g < 3; ++g) {
            EXPECT_EQ(view->cursor(g)->isVisible(), !shown) << "cursor bar " << g;
        }
    }

    void chooseCommon(int index) {
        control<QComboBox>(frm, "cbCommon")->setCurrentIndex(index);
        frm->cbCommonChange();
        QCoreApplication::processEvents();
    }

    QString settingsPath() const { return program.dir() + QStringLiteral("campanix.ini"); }
    QByteArray settingsBytes() const {
        QFile f(settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    ScoreView* view = nullptr;
};

} // namespace

// It stands while fewer than five bells are selected and nothing is loaded,
// goes at the fifth bell or a loaded ringing, and comes back in that state
// only; the score switched off shows its caption instead.
TEST_F(FirstMinute, WelcomeFollowsTheSelectionAndTheLoadedRinging) {
    startFirstTime();
    ASSERT_EQ(frm->ensemble().selectedCount(), 2);
    expectWelcome(true, "first start");
    EXPECT_EQ(playButton()->text(), QStringLiteral("Выделить все и сыграть трезвон"));
    EXPECT_EQ(lessonButton()->text(), QStringLiteral("Урок: работа с программой"));

    frm->bells().ToggleBell(10);
    frm->bells().ToggleBell(11);
    expectWelcome(true, "four bells");
    frm->bells().ToggleBell(12);
    expectWelcome(false, "five bells");
    frm->bells().ToggleBell(12);
    expectWelcome(true, "back to four bells");

    // "Общий" needs no group: offered to four bells; loading it is enough.
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
    // Nothing redrawn while it is off brings it back.
    frm->bells().ToggleBell(10);
    EXPECT_FALSE(playButton()->isVisible());
    notes->setChecked(true);
    frm->cbShowNotesClick();
    expectWelcome(true, "score on again, three bells");
}

// Its first button selects every bell, loads the first trezvon the list
// offers them and plays it: strikes reach the engine. The first start's
// settings file stays as it was written, 20 lines, until the window closes,
// and closing keeps it at 20 lines.
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
    ASSERT_EQ(readTextLines(settingsPath()).value_or(QStringList{}).size(), 20);
    ASSERT_TRUE(view->welcomeShown());
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
    EXPECT_TRUE(waitFor([&] { return engine->mixer().takeStartReport(strike); }, 10000))
        << "no strike sounded";
    frm->btnStopClick();

    EXPECT_EQ(settingsBytes(), firstStart);
    frm->close();
    const QStringList lines = readTextLines(settingsPath()).value_or(QStringList{});
    EXPECT_EQ(lines.size(), 20);
    EXPECT_TRUE(lines.contains(QStringLiteral("Bells=111111111111111")));
}

// The second button opens the lesson on the program, with its voice's tag.
TEST_F(FirstMinute, LessonButtonOpensTheProgramLesson) {
    startFirstTime();
    lessonButton()->click();
    TfrmLesson* lesson = frm->lessons()->window();
    EXPECT_TRUE(lesson->isVisible());
    EXPECT_EQ(frm->lessons()->tag(), lessontags::kReference);
    EXPECT_EQ(lesson->IE->source().toLocalFile(), frm->lessons()->pagePath(lessontags::kReference));
    lesson->close();
}

// Every control of the tool bar and every ringing or view selector, in the
// usual and the full view, tells what it is for when the mouse rests on it.
TEST_F(FirstMinute, EveryToolAndSelectorHasAHint) {
    startFirstTime();
    QList<QWidget*> controls;
    for (const char* panel : {"pnlTools", "pnlPTools", "pnlTemp", "pnlVolume"}) {
        auto* holder = control<QWidget>(frm, panel);
        ASSERT_NE(holder, nullptr);
        for (QWidget* w : holder->findChildren<QWidget*>()) {
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QAbstractSlider*>(w) || qobject_cast<QLineEdit*>(w) || w->inherits("TUpDown")) {
                controls << w;
            }
        }
    }
    for (const char* name : {"cbCommon", "cbModelRow", "cbCustomSelection0", "cbCustomSelection1",
                             "cbCustomSelection2", "btnFullView", "cbSmall", "cbMiddle", "cbBig"}) {
        controls << control<QWidget>(frm, name);
    }
    for (QWidget* w : controls) {
        ASSERT_NE(w, nullptr);
        // Parts of a compound control (a combo's own view) are not the user's.
        if (w->objectName().isEmpty()) {
            continue;
        }
        EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    }
}
