// The score editor's saving: to the user's file, to the list of ringings,
// and the copies of unsaved edits kept against a crash or a kill.

#include "record/ScoreEditor.h"

#include "base/Logging.h"
#include "base/TextCodec.h"
#include "record/EditorHost.h"
#include "record/RingingSave.h"
#include "record/UnsavedRingings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUndoStack>

namespace {

bool listHolds(const QString& listPath, const QString& name) {
    return readTextLines(listPath).value_or(QStringList()).contains(name);
}

} // namespace

bool ScoreEditor::save() {
    if (!m_editing) {
        return false;
    }
    if (m_path.isEmpty()) {
        return saveAs();
    }
    return writeTo(m_path, m_listRinging);
}

bool ScoreEditor::saveAs() {
    if (!m_editing) {
        return false;
    }
    if (m_listRinging) {
        const std::optional<QString> name = m_askText(QStringLiteral("Название звона в списке"), m_name);
        return name && saveListAs(name->trimmed());
    }
    const QString suggested = m_path.isEmpty() ? m_name + QStringLiteral(".ukl") : m_path;
    const std::optional<QString> path = m_askPath(suggested, false);
    if (!path || path->isEmpty()) {
        return false;
    }
    return writeTo(*path, false);
}

bool ScoreEditor::saveListAs(const QString& name) {
    const QString dir = m_host->customDir();
    const std::optional<QString> file = listRingingPath(dir, name);
    // Saving again under the name it was saved under replaces nothing new.
    const bool itself = !m_path.isEmpty() && name == m_name;
    if (file && !itself && (QFileInfo::exists(*file) || listHolds(dir + QStringLiteral("list.kli"), name))) {
        if (listHolds(dir + QStringLiteral("shipped.kli"), name)) {
            // A ringing that came with the program stays as it came: the
            // user's version becomes a file of the user's own.
            m_message(QStringLiteral("Звон «%1» входит в поставку программы и не будет заменён. "
                                     "Сохраните свой вариант в отдельный файл.")
                          .arg(name));
            const std::optional<QString> path = m_askPath(name + QStringLiteral(".ukl"), false);
            if (!path || path->isEmpty()) {
                return false;
            }
            const QString before = m_name;
            m_name = name;
            if (!writeTo(*path, false)) {
                m_name = before;
                return false;
            }
            m_listRinging = false;
            return true;
        }
        if (!m_askReplace(QStringLiteral("Звон «%1» уже есть в списке. Заменить его?").arg(name))) {
            return false;
        }
    }
    const QString before = m_name;
    m_name = name;
    if (!writeTo(dir, true)) {
        m_name = before;
        showTitle();
        return false;
    }
    return true;
}

bool ScoreEditor::writeTo(const QString& path, bool listRinging) {
    const RingingWriteResult result =
        listRinging ? writeListRinging(path, m_host->ensemble(), m_name, QString(), m_edit.body())
                    : writeUserRingingFile(path, m_host->ensemble(), m_name, m_edit.body());
    if (!result) {
        m_message(result.error.isEmpty() ? QStringLiteral("Не удалось сохранить звон.") : result.error);
        return false;
    }
    m_path = listRinging ? path : result.path;
    m_unsavedOrigin = false;
    m_undo->setClean();
    dropUnsavedFile();
    showTitle();
    m_host->showStatusMessage(QStringLiteral("Звон сохранён: %1").arg(QFileInfo(result.path).fileName()));
    return true;
}

// ---- unsaved edits kept ----

std::optional<QString> ScoreEditor::keepUnsavedNow() {
    if (!isModified() || m_shutDown) {
        return std::nullopt;
    }
    const QStringList folders = m_unsavedFolders.isEmpty() ? unsavedRingingFolders() : m_unsavedFolders;
    const QString fileName = unsavedFileName(m_name, QDateTime::currentDateTime());
    for (const QString& folder : folders) {
        // The same file each time, rewritten whole, while its folder takes it.
        const bool same =
            !m_unsavedFile.isEmpty() && QFileInfo(m_unsavedFile).absolutePath() ==
                                            QFileInfo(QDir(folder).filePath(fileName)).absolutePath();
        const QString path = same ? m_unsavedFile : QDir(folder).filePath(fileName);
        if (!QDir().mkpath(folder)) {
            qCWarning(lcRecord) << "cannot keep unsaved changes in" << folder << ": cannot create it";
            continue;
        }
        const RingingWriteResult result =
            writeUserRingingFile(path, m_host->ensemble(), m_name, m_edit.body());
        if (!result) {
            qCWarning(lcRecord) << "cannot keep unsaved changes in" << folder << ":" << result.error;
            continue;
        }
        if (!m_unsavedFile.isEmpty() && m_unsavedFile != result.path) {
            QFile::remove(m_unsavedFile);
        }
        m_unsavedFile = result.path;
        m_editsSinceKept = 0;
        return m_unsavedFile;
    }
    return std::nullopt;
}

std::optional<QString> ScoreEditor::keepUnsavedForEnd(const QStringList& folders) {
    if (!isModified()) {
        endEditing();
        return std::nullopt;
    }
    if (!folders.isEmpty()) {
        m_unsavedFolders = folders;
    }
    const std::optional<QString> kept = keepUnsavedNow();
    if (kept) {
        qCWarning(lcRecord) << "unsaved changes kept in" << *kept;
    } else {
        qCWarning(lcRecord) << "unsaved changes lost: no folder took them";
    }
    // The kept file stays for the next start; nothing is asked on the way out.
    m_unsavedFile.clear();
    m_undo->setClean();
    m_unsavedOrigin = false;
    endEditing();
    return kept;
}

void ScoreEditor::editCounted() {
    if (!m_editing) {
        return;
    }
    if (++m_editsSinceKept >= kAutosaveEdits) {
        keepUnsavedNow();
    }
}

void ScoreEditor::dropUnsavedFile() {
    if (!m_unsavedFile.isEmpty()) {
        if (!QFile::remove(m_unsavedFile) && QFileInfo::exists(m_unsavedFile)) {
            qCWarning(lcRecord) << "cannot remove the kept copy" << m_unsavedFile;
        }
        m_unsavedFile.clear();
    }
    m_editsSinceKept = 0;
}
