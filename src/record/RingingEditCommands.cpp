#include "record/RingingEditCommands.h"

ColumnsCommand::ColumnsCommand(RingingEdit& edit, ColumnSplice splice, const QString& text,
                               RingingEditApplied applied)
    : QUndoCommand(text), m_edit(edit), m_splice(std::move(splice)), m_applied(std::move(applied)) {}

void ColumnsCommand::redo() {
    m_edit.apply(m_splice);
    if (m_applied) {
        m_applied(&m_splice);
    }
}

void ColumnsCommand::undo() {
    const ColumnSplice back = m_splice.inverse();
    m_edit.apply(back);
    if (m_applied) {
        m_applied(&back);
    }
}

HeaderCommand::HeaderCommand(RingingEdit& edit, const QString& header, const QString& text,
                             RingingEditApplied applied)
    : QUndoCommand(text), m_edit(edit), m_before(edit.header()), m_after(header),
      m_applied(std::move(applied)) {}

void HeaderCommand::redo() {
    set(m_after);
}

void HeaderCommand::undo() {
    set(m_before);
}

void HeaderCommand::set(const QString& header) {
    m_edit.setHeader(header);
    if (m_applied) {
        m_applied(nullptr);
    }
}
