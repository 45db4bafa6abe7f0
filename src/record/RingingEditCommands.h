#pragma once

#include "record/RingingEdit.h"

#include <QUndoCommand>

#include <functional>

// The undoable edits of a ringing. Each command holds the splice it made
// and tells the editor what changed after doing or undoing it, so the score
// on screen and the working set that plays follow every step.

// Told after a change: the splice as made (its inverse on undo), or nothing
// when only the header changed.
using RingingEditApplied = std::function<void(const ColumnSplice* splice)>;

class ColumnsCommand : public QUndoCommand {
public:
    ColumnsCommand(RingingEdit& edit, ColumnSplice splice, const QString& text, RingingEditApplied applied);
    void redo() override;
    void undo() override;

private:
    RingingEdit& m_edit;
    ColumnSplice m_splice;
    RingingEditApplied m_applied;
};

class HeaderCommand : public QUndoCommand {
public:
    HeaderCommand(RingingEdit& edit, const QString& header, const QString& text, RingingEditApplied applied);
    void redo() override;
    void undo() override;

private:
    void set(const QString& header);

    RingingEdit& m_edit;
    QString m_before;
    QString m_after;
    RingingEditApplied m_applied;
};
