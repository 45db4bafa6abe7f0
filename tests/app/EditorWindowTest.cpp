// The score editor in the real main window, offscreen: a teacher writes an
// exercise for the small bells from an empty score, corrects it, saves it
// and opens it again.

#include "app/EditorWindowFixture.h"

#include "app/MainPracticeHost.h"
#include "practice/TrainingSetupDialog.h"

#include "base/Rounding.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "playback/TransportPanel.h"
#include "record/ScoreEditor.h"
#include "score/ReadableScore.h"
#include "score/ScoreCursorBar.h"
#include "score/ScoreImage.h"
#include "score/ScoreLayout.h"
#include "score/ScoreView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMouseEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QUndoView>

#include <gtest/gtest.h>

namespace {

TEST_F(EditorWindow, WriteCorrectSaveAndOpenAgain) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    ASSERT_TRUE(editor.isEditing());
    EXPECT_EQ(w.commonScoreSize(), 64);
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral("Упражнение")));

    // Clicks on the lines write strikes; the title says they are unsaved.
    clickSmall(w, 0, 1);
    clickSmall(w, 0, 2);
    clickSmall(w, 2, 2);
    EXPECT_EQ(w.commonScoreLine(0), QStringLiteral("s1,s2"));
    EXPECT_EQ(w.commonScoreLine(2), QStringLiteral("s2"));
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral(" *")));
    // A wrong strike clicked away, and back with undo and away with redo.
    clickSmall(w, 2, 2);
    EXPECT_EQ(w.commonScoreLine(2), QString());
    editor.undo();
    EXPECT_EQ(w.commonScoreLine(2), QStringLiteral("s2"));
    editor.redo();
    EXPECT_EQ(w.commonScoreLine(2), QString());

    // A bell's key writes into the selected column: the key of bell 14 is s1.
    editor.selectColumns(4, 4);
    w.bells().keyboard().handleRingingKey('A' + 14, false);
    EXPECT_EQ(w.commonScoreLine(4), QStringLiteral("s1"));

    // A bar copied over the page's end makes a second page.
    editor.selectColumns(0, 15);
    editor.copy();
    editor.selectColumns(56, 56);
    ASSERT_TRUE(editor.paste());
    EXPECT_EQ(w.commonScoreSize(), 80);
    EXPECT_EQ(w.commonScoreLine(56), QStringLiteral("s1,s2"));
    EXPECT_EQ(w.commonScoreLine(60), QStringLiteral("s1"));
    EXPECT_EQ(w.channels().score(0).size(), 80);

    ASSERT_TRUE(editor.save());
    EXPECT_FALSE(w.windowTitle().endsWith(QStringLiteral(" *")));
    const QString saved = files.filePath(QStringLiteral("ex.ukl"));
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(questions, 0);

    // Opened again by the file-open path: the same columns, editing over.
    const QStringList written = w.channels().common();
    w.OpenUserRinging(saved);
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(w.channels().common(), written);
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral("Упражнение")));
}

TEST_F(EditorWindow, UnsavedChangesAskBeforeAnotherRingingAndCancelKeepsThem) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    clickSmall(w, 0, 1);
    const QString other = files.filePath(QStringLiteral("other.ukl"));
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("000000000011111\r\nnnnnnnnnnnbmmss\r\nДругой\r\n144&{2&\r\n");
    file.close();

    answer = ScoreEditor::SaveAnswer::Cancel;
    w.OpenUserRinging(other);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(editor.isEditing());
    EXPECT_EQ(w.commonScoreLine(0), QStringLiteral("s1"));

    answer = ScoreEditor::SaveAnswer::Discard;
    w.OpenUserRinging(other);
    EXPECT_EQ(questions, 2);
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(w.commonScoreLine(0), QStringLiteral("s2"));
    // Edits are refused once editing is over.
    EXPECT_FALSE(editor.toggleStrike(0, 0, 1));
}

// A termination signal cannot wait for an answer: the unsaved exercise is
// kept in a file of its own that opens as it was, and nothing is asked.
TEST_F(EditorWindow, EndBySignalKeepsUnsavedChangesWithoutAsking) {
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", files.filePath(QStringLiteral("data")).toUtf8());
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    clickSmall(w, 0, 1);
    clickSmall(w, 1, 2);
    ASSERT_TRUE(editor.isModified());

    w.closeOnTermination();
    qputenv("XDG_DATA_HOME", oldData);
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(w.isVisible());
    const QDir kept(files.filePath(QStringLiteral("data/campanix/unsaved")));
    const QStringList saved = kept.entryList({QStringLiteral("Упражнение *.ukl")}, QDir::Files);
    ASSERT_EQ(saved.size(), 1);

    TfrmMain& again = startWith({});
    again.OpenUserRinging(kept.filePath(saved.front()));
    EXPECT_EQ(again.commonScoreLine(0), QStringLiteral("s1"));
    EXPECT_EQ(again.commonScoreLine(1), QStringLiteral("s2"));
}

// Outside editing, the columns dragged over on the staves are the passage
// practice offers, in bars; a click clears them.
TEST_F(EditorWindow, DragOutsideEditingChoosesThePassageToPractise) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    w.channels().common() = QStringList(64, QStringLiteral("s1"));
    w.RedrawScore();
    mouseOnSmall(w, QEvent::MouseButtonPress, 17, 1);
    mouseOnSmall(w, QEvent::MouseMove, 30, 1);
    mouseOnSmall(w, QEvent::MouseMove, 40, 2);
    mouseOnSmall(w, QEvent::MouseButtonRelease, 40, 2);
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(editor.selectedColumns(), std::make_optional(std::make_pair(17, 40)));
    const QWidget* marks = w.findChild<QWidget*>(QStringLiteral("editorOverlay"));
    ASSERT_NE(marks, nullptr);
    EXPECT_TRUE(marks->isVisible());
    // Nothing was written into the ringing.
    EXPECT_EQ(w.commonScoreLine(17), QStringLiteral("s1"));
    EXPECT_EQ(w.commonScoreLine(40), QStringLiteral("s1"));

    MainPracticeHost host(w);
    {
        TrainingSetupDialog setup(host, w.trainer());
        EXPECT_TRUE(control<QCheckBox>(setup, "cbTrainingPassage")->isChecked());
        EXPECT_EQ(control<QSpinBox>(setup, "seTrainingFirstBar")->value(), 2);
        EXPECT_EQ(control<QSpinBox>(setup, "seTrainingLastBar")->value(), 3);
    }

    clickSmall(w, 5, 1);
    EXPECT_EQ(editor.selectedColumns(), std::nullopt);
    EXPECT_FALSE(marks->isVisible());
    EXPECT_EQ(w.commonScoreLine(5), QStringLiteral("s1"));
}

// Opened from a user's file and edited, «Сохранить» writes back to that
// file without asking where.
TEST_F(EditorWindow, EditingAnOpenedFileSavesBackToIt) {
    TfrmMain& w = start();
    const QString path = files.filePath(QStringLiteral("mine.ukl"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("000000000011111\r\nnnnnnnnnnnbmmss\r\nМой\r\n144&{2&\r\n");
    file.close();
    w.OpenUserRinging(path);
    w.btnStopClick();
    int asked = 0;
    w.editor().setPathQuestion([&](const QString&, bool) -> std::optional<QString> {
        ++asked;
        return std::nullopt;
    });
    w.editor().editLoadedRinging();
    clickSmall(w, 5, 1);
    ASSERT_TRUE(w.editor().save());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(w.editor().path(), path);
    w.editor().endEditing();
    w.OpenUserRinging(path);
    EXPECT_EQ(w.commonScoreLine(5), QStringLiteral("s1"));
}

// A click that adds a strike sounds its bell; one that takes it away is
// silent. While editing, the play cursor lets column 0 be seen.
TEST_F(EditorWindow, ClickThatAddsAStrikeSoundsAndCursorIsSeeThrough) {
    TfrmMain& w = start();
    audio::AudioEngine* engine = w.audioEngine();
    ASSERT_NE(engine, nullptr);
    w.editor().newRinging();
    auto* bar = qobject_cast<ScoreCursorBar*>(w.scoreView()->cursor(0));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->seeThrough());
    engine->mixer().setStartReports(true);
    audio::StartReport report;
    clickSmall(w, 2, 1);
    EXPECT_TRUE(waitFor([&] { return engine->mixer().takeStartReport(report); }));
    clickSmall(w, 2, 1);
    EXPECT_FALSE(waitFor([&] { return engine->mixer().takeStartReport(report); }, 300));
    w.editor().endEditing();
    EXPECT_FALSE(bar->seeThrough());
}

// The tempo takes 50..1000 and says so for anything else; undo and redo
// labels read as sentences; a cut is a cut; paste says what it did.
TEST_F(EditorWindow, TempoRefusalsUndoLabelsAndPasteWords) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    const int interval = editor.ringing().interval();
    QString typed;
    editor.setTextQuestion([&](const QString&, const QString&) { return typed; });
    for (const char* refused : {"2000", "49", "abc", ""}) {
        typed = QString::fromLatin1(refused);
        editor.actions().tempo->trigger();
        EXPECT_EQ(editor.ringing().interval(), interval) << refused;
    }
    EXPECT_EQ(messages.size(), 4);
    typed = QStringLiteral("1000");
    editor.actions().tempo->trigger();
    EXPECT_EQ(editor.ringing().interval(), 1000);
    EXPECT_EQ(editor.actions().undo->text(), QStringLiteral("Отменить изменение темпа"));

    clickSmall(w, 0, 1);
    editor.selectColumns(0, 1);
    editor.copy();
    editor.selectColumns(8, 8);
    ASSERT_TRUE(editor.paste());
    EXPECT_EQ(editor.actions().undo->text(), QStringLiteral("Отменить вставку из буфера"));
    EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("перед курсором")));
    editor.selectColumns(20, 21);
    ASSERT_TRUE(editor.paste());
    EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("заменили выделенные")));
    ASSERT_TRUE(editor.cut());
    EXPECT_EQ(editor.actions().undo->text(), QStringLiteral("Отменить вырезание"));
    editor.undo();
    EXPECT_EQ(editor.actions().redo->text(), QStringLiteral("Повторить вырезание"));
}

// With «Крупные ноты», a click on a bar's number selects the bar and
// writes nothing.
TEST_F(EditorWindow, ClickOnABarNumberSelectsTheBar) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    w.scoreView()->setReadable(true);
    QWidget* picture = w.scoreView()->image(0);
    QPoint at;
    for (const ScoreText& text : layoutReadableMarks(0, picture->size(), w.scoreView()->currentPage())) {
        if (text.text == QStringLiteral("2")) {
            at = text.box.topLeft() + QPoint(2, text.box.height() / 2);
        }
    }
    ASSERT_FALSE(at.isNull());
    const QStringList before = w.channels().common();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, at, picture->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(picture, &event);
    }
    EXPECT_EQ(editor.selectedColumns(), std::make_optional(std::make_pair(16, 31)));
    EXPECT_EQ(w.channels().common(), before);
}

// «История правки» lists every step; a click on one goes back to it.
TEST_F(EditorWindow, HistoryListGoesBackToAnyStep) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    clickSmall(w, 0, 1);
    clickSmall(w, 1, 1);
    clickSmall(w, 2, 1);
    editor.actions().history->trigger();
    auto* view = w.findChild<QUndoView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 4); // the start and three strikes
    view->setCurrentIndex(view->model()->index(1, 0));
    EXPECT_EQ(editor.undoStack().index(), 1);
    EXPECT_EQ(w.commonScoreLine(0), QStringLiteral("s1"));
    EXPECT_EQ(w.commonScoreLine(1), QString());
    editor.endEditing();
    EXPECT_TRUE(waitFor([&] { return w.findChild<QUndoView*>() == nullptr; }));
}

// «Курсор дальше после удара клавишей» switched off from the menu is kept:
// the next start of the window has it off, and on again is kept as well.
TEST_F(EditorWindow, AdvanceAfterKeyIsKeptAcrossARestart) {
    EXPECT_TRUE(start().editor().advancesAfterKey()); // on by default
    for (const bool on : {false, true}) {
        frm->editor().actions().advance->trigger();
        EXPECT_EQ(frm->editor().advancesAfterKey(), on);
        frm.reset();
        TfrmMain& again = startWith({});
        EXPECT_EQ(again.editor().advancesAfterKey(), on);
        EXPECT_EQ(again.editor().actions().advance->isChecked(), on);
    }
}

} // namespace
