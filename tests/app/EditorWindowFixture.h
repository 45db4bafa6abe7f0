#pragma once

// The score editor in the real main window, offscreen: a program with five
// bells in three groups, the editor's questions answered by the test.

#include "support/MainWindowTest.h"
#include "support/RealKeys.h"

#include "base/Rounding.h"
#include "record/ScoreEditor.h"
#include "score/ScoreImage.h"
#include "score/ScoreLayout.h"
#include "score/ScoreView.h"

#include <QMouseEvent>
#include <QTemporaryDir>

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
        editor.setReplaceQuestion([this](const QString& text) {
            replaceQuestions << text;
            return replaceAnswer;
        });
        // Kept copies of unsaved edits go where the test looks.
        editor.setUnsavedFolders({files.filePath(QStringLiteral("unsaved"))});
        return w;
    }

    // A mouse event on the small staff where the layout puts the head of bell
    // `position` in column `column` of the page shown, sent to whatever stands
    // there, as the mouse would: the play cursor over column 0 included.
    void mouseOnSmall(TfrmMain& w, QEvent::Type type, int column, int position) {
        QWidget* picture = w.scoreView()->image(0);
        const ScoreStaffArea area = scoreStaffArea(0, picture->size(), w.scoreView()->currentPage());
        const double width = double(area.size.width()) / kScorePageColumns;
        const int place = column % kScorePageColumns;
        const QPoint at(area.left + roundHalfEven(width / 2 + place * width + scoreBarShift(place)),
                        area.top + roundHalfEven(scoreStaffRow(0, position, 2) * double(area.size.height()) / 5));
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
    QStringList replaceQuestions;
    bool replaceAnswer = false;
};
