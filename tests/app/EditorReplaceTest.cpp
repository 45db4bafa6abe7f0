// Every way of replacing the ringing in the editor asks first while edits
// are unsaved, and «Отмена» leaves the ringing, its edits, the title, the
// bells and the lists exactly as they were.

#include "app/EditorWindowFixture.h"

#include "base/TextCodec.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "input/VirtualKeys.h"

#include <QComboBox>
#include <QToolButton>
#include <QUndoStack>

#include <functional>

namespace {

// The test program's lists offer «Общий» (s1,m1,b1) and, for the small
// bells, «Малый».
using EditorReplace = EditorWindow;

// A user's choice in a list: the item shown changes, then the list says so.
void choose(QComboBox* box, int index) {
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

TEST_F(EditorReplace, EveryReplacingPathAsksFirstAndCancelKeepsEverything) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    struct Path {
        const char* what;
        std::function<void()> act;
    };
    auto* common = w.findChild<QComboBox*>(QStringLiteral("cbCommon"));
    auto* small = w.findChild<QComboBox*>(QStringLiteral("cbCustomSelection0"));
    ASSERT_NE(common, nullptr);
    ASSERT_NE(small, nullptr);
    ASSERT_GE(common->count(), 2);
    ASSERT_GE(small->count(), 2);
    const Path paths[] = {
        {"a ringing of the list", [&] { choose(common, 1); }},
        {"a group selector", [&] { choose(small, 1); }},
        {"a group selector set to none", [&] { choose(small, 0); }},
        {"the generator", [&] { control<QToolButton>(w, "btnGenerator")->click(); }},
        {"a bell unselected by a click", [&] { w.bells().bellStripClick(14); }},
        {"a bell unselected by Space",
         [&] {
             w.bells().setCurrentBell(13);
             w.bells().keyboard().handleRingingKey(VirtualKeys::kSpace, false);
         }},
        {"every bell selected", [&] { control<QToolButton>(w, "btnSelectAll")->click(); }},
        {"every bell unselected", [&] { control<QToolButton>(w, "btnDisselectAll")->click(); }},
        {"the list of ringings", [&] { w.nLoadSoundsClick(); }},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.what);
        editor.newRinging();
        ASSERT_TRUE(editor.isEditing());
        clickSmall(w, 3, 1);
        const QStringList columns = w.channels().common();
        const QString title = w.windowTitle();
        const QString bells = w.ensemble().bellsText() + w.ensemble().typesText();
        const int commonShown = common->currentIndex();
        const int smallShown = small->currentIndex();
        ASSERT_TRUE(title.endsWith(QStringLiteral(" *")));
        questions = 0;
        answer = ScoreEditor::SaveAnswer::Cancel;

        path.act();

        EXPECT_EQ(questions, 1);
        EXPECT_TRUE(editor.isEditing());
        EXPECT_TRUE(editor.isModified());
        EXPECT_EQ(w.channels().common(), columns);
        EXPECT_EQ(w.windowTitle(), title);
        EXPECT_EQ(w.ensemble().bellsText() + w.ensemble().typesText(), bells);
        EXPECT_EQ(common->currentIndex(), commonShown);
        EXPECT_EQ(small->currentIndex(), smallShown);
        EXPECT_EQ(editor.undoStack().count(), 1);
        // The edit goes on where it was.
        clickSmall(w, 4, 1);
        EXPECT_EQ(w.commonScoreLine(4), QStringLiteral("s1"));

        // Answered «Не сохранять», the choice is made and editing ends.
        answer = ScoreEditor::SaveAnswer::Discard;
        editor.maySetAside();
        EXPECT_FALSE(editor.isEditing());
    }
}

// With «Не сохранять» the list's ringing replaces the edited one at once,
// under its own name.
TEST_F(EditorReplace, DiscardLetsTheChosenRingingIn) {
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.newRinging();
    clickSmall(w, 3, 1);
    answer = ScoreEditor::SaveAnswer::Discard;
    choose(w.findChild<QComboBox*>(QStringLiteral("cbCommon")), 1);
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(editor.isEditing());
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral("Общий")));
    EXPECT_EQ(w.commonScoreLine(0), QStringLiteral("s1,m1,b1"));
}

// «Сохранить как...» of a group ringing under a name already in the list
// asks first; «Отмена» keeps the file; a ringing that came with the program
// is never replaced: the user's version goes to a file of the user's own.
TEST_F(EditorReplace, SavingUnderANameInTheListAsksAndNeverReplacesAShippedRinging) {
    TfrmMain& w = start();
    const QString custom = program.dir() + QStringLiteral("Custom/");
    QDir().mkpath(custom);
    ASSERT_TRUE(writeTextLines(custom + QStringLiteral("list.kli"),
                               {QStringLiteral("Свой"), QStringLiteral("Поставленный")}));
    for (const QString& name : {QStringLiteral("Свой"), QStringLiteral("Поставленный")}) {
        ASSERT_TRUE(writeTextLines(custom + name + QStringLiteral(".kol"), {QStringLiteral("старое")}));
    }
    ASSERT_TRUE(writeTextLines(custom + QStringLiteral("shipped.kli"), {QStringLiteral("Поставленный")}));
    const auto bytes = [&](const QString& name) {
        QFile file(custom + name + QStringLiteral(".kol"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray old = bytes(QStringLiteral("Свой"));
    const QByteArray shipped = bytes(QStringLiteral("Поставленный"));

    choose(w.findChild<QComboBox*>(QStringLiteral("cbCustomSelection0")), 1);
    ScoreEditor& editor = w.editor();
    editor.editLoadedRinging();
    ASSERT_TRUE(editor.isEditing());
    // The edited ringing is no longer the list's choice.
    EXPECT_EQ(w.findChild<QComboBox*>(QStringLiteral("cbCustomSelection0"))->currentIndex(), 0);
    clickSmall(w, 3, 2);
    QString asked = QStringLiteral("Свой");
    editor.setTextQuestion([&](const QString&, const QString&) { return asked; });

    replaceAnswer = false;
    EXPECT_FALSE(editor.saveAs());
    EXPECT_EQ(replaceQuestions.size(), 1);
    EXPECT_EQ(bytes(QStringLiteral("Свой")), old);
    EXPECT_TRUE(editor.isModified());

    replaceAnswer = true;
    EXPECT_TRUE(editor.saveAs());
    EXPECT_EQ(replaceQuestions.size(), 2);
    EXPECT_NE(bytes(QStringLiteral("Свой")), old);
    EXPECT_FALSE(editor.isModified());
    // Saved again under its own name: nothing new is replaced, nothing asked.
    clickSmall(w, 4, 2);
    EXPECT_TRUE(editor.save());
    EXPECT_EQ(replaceQuestions.size(), 2);

    // The shipped one: not asked, not replaced; a file of the user's instead.
    asked = QStringLiteral("Поставленный");
    clickSmall(w, 5, 2);
    EXPECT_TRUE(editor.saveAs());
    EXPECT_EQ(replaceQuestions.size(), 2);
    EXPECT_EQ(bytes(QStringLiteral("Поставленный")), shipped);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(files.filePath(QStringLiteral("ex.ukl"))));
    EXPECT_FALSE(editor.isModified());
}

} // namespace
