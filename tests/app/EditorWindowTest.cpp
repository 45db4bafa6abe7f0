// The score editor in the real main window, offscreen: a teacher writes an
// exercise for the small bells from an empty score, corrects it, saves it
// and opens it again.

#include "support/MainWindowTest.h"

#include "app/MainPracticeHost.h"
#include "practice/TrainingSetupDialog.h"

#include "base/Rounding.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "playback/TransportPanel.h"
#include "record/ScoreEditor.h"
#include "score/ScoreImage.h"
#include "score/ScoreLayout.h"
#include "score/ScoreView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

class EditorWindow : public MainWindowTest {
protected:
    TfrmMain& start() {
        // Bells 13 and 14 small (s2, s1), 11 and 12 middle, 10 big.
        program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=000000000011111"),
                               QStringLiteral("Types=nnnnnnnnnnbmmss")});
        TfrmMain& w = startWith({});
        // Columns must be wide enough to be told apart by a click.
        w.resize(1400, 900);
        w.show();
        EXPECT_TRUE(waitFor([&w] { return w.scoreView()->image(0)->width() >= 640; }));
        ScoreEditor& editor = w.editor();
        editor.setTextQuestion([](const QString&, const QString&) { return QStringLiteral("Упражнение"); });
        editor.setPathQuestion([this](const QString&, bool) { return files.filePath(QStringLiteral("ex")); });
        editor.setSaveQuestion([this](const QString&) {
            ++questions;
            return answer;
        });
        editor.setMessenger([this](const QString& text) { messages << text; });
        return w;
    }

    // A mouse event on the small staff where the layout puts the head of bell
    // `position` in column `column` of the page shown, sent to whatever stands
    // there, as the mouse would: the play cursor over column 0 included.
    void mouseOnSmall(TfrmMain& w, QEvent::Type type, int column, int position) {
        QWidget* picture = w.scoreView()->image(0);
        const QSize size = picture->size();
        const double width = double(size.width()) / kScorePageColumns;
        const int place = column % kScorePageColumns;
        const QPoint at(roundHalfEven(width / 2 + place * width + scoreBarShift(place)),
                        roundHalfEven(scoreStaffRow(0, position, 2) * double(size.height()) / 5));
        QWidget* staff = picture->parentWidget();
        QWidget* target = staff->childAt(picture->mapToParent(at));
        ASSERT_NE(target, nullptr);
        const QPoint local = target->mapFrom(staff, picture->mapToParent(at));
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, target->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    void clickSmall(TfrmMain& w, int column, int position) {
        mouseOnSmall(w, QEvent::MouseButtonPress, column, position);
        mouseOnSmall(w, QEvent::MouseButtonRelease, column, position);
    }

    QTemporaryDir files;
    int questions = 0;
    ScoreEditor::SaveAnswer answer = ScoreEditor::SaveAnswer::Cancel;
    QStringList messages;
};

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

} // namespace
