// The score editor's keys (the cursor, the page, the whole ringing, Space)
// and its undo history as a list.

#include "record/ScoreEditor.h"

#include "base/ScorePages.h"
#include "record/EditorHost.h"

#include <QAction>
#include <QDialog>
#include <QUndoStack>
#include <QUndoView>
#include <QVBoxLayout>
#include <QWidget>

#include <climits>

void ScoreEditor::buildKeys(QWidget* window) {
    // Window shortcuts, on only while the score is edited: they come before
    // the ringing keys, so Space plays instead of unselecting a bell.
    struct Key {
        QKeySequence sequence;
        std::function<void()> act;
    };
    const auto to = [this](int column, bool extend) {
        return [this, column, extend] { moveCursorTo(column, extend); };
    };
    const auto by = [this](int step, bool extend) {
        return [this, step, extend] { moveCursor(step, extend); };
    };
    const Key keys[] = {
        {QKeySequence(Qt::Key_Left), by(-1, false)},
        {QKeySequence(Qt::Key_Right), by(1, false)},
        {QKeySequence(Qt::SHIFT | Qt::Key_Left), by(-1, true)},
        {QKeySequence(Qt::SHIFT | Qt::Key_Right), by(1, true)},
        {QKeySequence(Qt::Key_PageUp), by(-kPageColumns, false)},
        {QKeySequence(Qt::Key_PageDown), by(kPageColumns, false)},
        {QKeySequence(Qt::SHIFT | Qt::Key_PageUp), by(-kPageColumns, true)},
        {QKeySequence(Qt::SHIFT | Qt::Key_PageDown), by(kPageColumns, true)},
        {QKeySequence(Qt::Key_Home), to(0, false)},
        {QKeySequence(Qt::Key_End), to(INT_MAX, false)},
        {QKeySequence(Qt::SHIFT | Qt::Key_Home), to(0, true)},
        {QKeySequence(Qt::SHIFT | Qt::Key_End), to(INT_MAX, true)},
        {QKeySequence(Qt::CTRL | Qt::Key_A), [this] { selectAll(); }},
        {QKeySequence(Qt::Key_Space), [this] { playOrStop(); }},
    };
    for (const Key& key : keys) {
        auto* action = new QAction(this);
        action->setShortcut(key.sequence);
        window->addAction(action);
        connect(action, &QAction::triggered, this, key.act);
        m_cursorKeys.append(action);
    }
}

void ScoreEditor::showHistory() {
    // Every step of the undo stack; a click goes back (or forward) to it.
    auto* dialog = new QDialog(m_host->dialogParent());
    dialog->setObjectName(QStringLiteral("dlgEditHistory"));
    dialog->setWindowTitle(QStringLiteral("История правки"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* view = new QUndoView(m_undo, dialog);
    view->setEmptyLabel(QStringLiteral("Начало правки"));
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(view);
    connect(this, &ScoreEditor::editingChanged, dialog, [dialog](bool editing) {
        if (!editing) {
            dialog->close();
        }
    });
    dialog->resize(320, 400);
    dialog->show();
}
