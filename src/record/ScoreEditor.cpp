#include "record/ScoreEditor.h"

#include "base/Logging.h"
#include "bells/KeyboardRinging.h"
#include "input/KeyStrikeNotifier.h"
#include "record/EditorHost.h"
#include "record/EditorOverlay.h"
#include "record/RingingEditCommands.h"
#include "record/RingingSave.h"
#include "ringing/TChannels.h"
#include "score/ScoreLayout.h"
#include "score/ScoreView.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>

namespace {

constexpr int kFollowMs = 50;

} // namespace

ScoreEditor::ScoreEditor(std::unique_ptr<EditorHost> host, QObject* parent)
    : QObject(parent), m_host(std::move(host)), m_undo(new QUndoStack(this)), m_followTimer(new QTimer(this)),
      m_autosaveTimer(new QTimer(this)) {
    m_followTimer->setInterval(kFollowMs);
    connect(m_followTimer, &QTimer::timeout, this, [this] { follow(); });
    m_autosaveTimer->setInterval(kAutosaveMs);
    connect(m_autosaveTimer, &QTimer::timeout, this, [this] {
        if (m_editsSinceKept > 0 || m_unsavedFile.isEmpty()) {
            keepUnsavedNow();
        }
    });
    connect(m_undo, &QUndoStack::cleanChanged, this, [this] { showTitle(); });
    // Every step, undo and redo included, counts towards the next kept copy.
    connect(m_undo, &QUndoStack::indexChanged, this, [this] { editCounted(); });
    installDefaultQuestions();
}

ScoreEditor::~ScoreEditor() = default;

// ---- starting and ending ----

void ScoreEditor::newRinging() {
    if (!maySetAside()) {
        return;
    }
    const std::optional<QString> name =
        m_askText(QStringLiteral("Название нового звона"), QStringLiteral("Новый звон"));
    if (!name) {
        return;
    }
    start(RingingEdit::blank(), name->trimmed().isEmpty() ? QStringLiteral("Новый звон") : name->trimmed(),
          {}, false);
}

void ScoreEditor::editLoadedRinging() {
    if (m_editing) {
        return;
    }
    const TChannels& channels = m_host->channels();
    QString header = QString::number(m_host->currentInterval());
    static const std::array<QString, 3> marks = {QStringLiteral("s-"), QStringLiteral("m-"),
                                                 QStringLiteral("b-")};
    QStringList chords;
    for (int g = 0; g < TChannels::kGroupCount; ++g) {
        if (!channels.isGroupAnimated(g)) {
            chords.append(marks[static_cast<size_t>(g)]);
        }
    }
    if (!chords.isEmpty()) {
        header += u';' + chords.join(u',');
    }
    const QStringList columns =
        channels.common().isEmpty() ? RingingEdit::blank().columns() : channels.common();
    const QString name =
        m_host->ringingName().isEmpty() ? QStringLiteral("Новый звон") : m_host->ringingName();
    const bool listRinging = m_host->groupRingingLoaded();
    // A ringing opened from the user's file is saved back to it.
    start(RingingEdit(header, columns), name, listRinging ? QString() : m_host->ringingFilePath(),
          listRinging);
}

void ScoreEditor::editBody(const QStringList& body, const QString& name) {
    if (!maySetAside()) {
        return;
    }
    start(RingingEdit::fromBody(body), name, {}, false);
    // A recording not yet saved is worth asking about.
    m_unsavedOrigin = true;
    showTitle();
}

void ScoreEditor::editRestored(const QString& keptFile) {
    endEditing();
    editLoadedRinging();
    m_path.clear();
    m_listRinging = false;
    m_unsavedOrigin = true;
    m_unsavedFile = keptFile;
    showTitle();
}

void ScoreEditor::start(const RingingEdit& edit, const QString& name, const QString& path, bool listRinging) {
    m_edit = edit;
    m_undo->clear();
    m_name = name;
    m_path = path;
    m_listRinging = listRinging;
    m_unsavedOrigin = false;
    m_unsavedFile.clear();
    m_editsSinceKept = 0;
    m_ownLoad = true;
    m_host->loadRinging(m_edit.body());
    m_ownLoad = false;
    m_editing = true;
    m_viewSelection = false;
    m_anchor = m_cursor = 0;
    attachToStaves();
    if (KeyStrikeNotifier* strikes = m_host->keyStrikes(); strikes && !m_hearsKeys) {
        connect(strikes, &KeyStrikeNotifier::bellStruck, this,
                [this](int bell, std::int64_t) { keyStruck(bell); });
        m_hearsKeys = true;
    }
    m_wasPlaying = false;
    m_followTimer->start();
    m_autosaveTimer->start();
    if (ScoreView* view = m_host->scoreView()) {
        view->setEditing(true);
    }
    showMarks();
    showTitle();
    updateActions();
    emit editingChanged(true);
    emit selectionChanged();
}

void ScoreEditor::endEditing() {
    if (!m_editing) {
        return;
    }
    m_editing = false;
    m_followTimer->stop();
    m_autosaveTimer->stop();
    // Saved or set aside: the kept copy has done its work.
    dropUnsavedFile();
    m_undo->clear();
    m_unsavedOrigin = false;
    if (ScoreView* view = m_host->scoreView()) {
        view->setEditing(false);
    }
    for (EditorOverlay* overlay : m_overlays) {
        if (overlay) {
            overlay->hide();
        }
    }
    letClicksThroughCursors(false);
    m_host->showTitle(m_name, false);
    updateActions();
    emit editingChanged(false);
    emit selectionChanged();
}

void ScoreEditor::shutDown() {
    m_shutDown = true;
    m_editing = false;
    m_followTimer->stop();
    m_autosaveTimer->stop();
}

bool ScoreEditor::isModified() const {
    return m_editing && (!m_undo->isClean() || m_unsavedOrigin);
}

bool ScoreEditor::maySetAside() {
    if (!m_editing) {
        return true;
    }
    if (isModified()) {
        switch (m_askSave(m_name)) {
        case SaveAnswer::Cancel:
            return false;
        case SaveAnswer::Save:
            if (!save()) {
                return false;
            }
            break;
        case SaveAnswer::Discard:
            break;
        }
    }
    endEditing();
    return true;
}

void ScoreEditor::workingSetReplaced() {
    if (!m_ownLoad && !m_shutDown) {
        clearViewSelection();
    }
    if (m_ownLoad || !m_editing || m_shutDown) {
        return;
    }
    // Too late to keep the ringing on screen, not too late to keep the work.
    if (isModified() && m_askSave(m_name) == SaveAnswer::Save) {
        save();
    }
    endEditing();
}

bool ScoreEditor::stillInWorkingSet() {
    // Anything that replaced the working set without telling (it always
    // should) must not receive edits meant for another ringing.
    if (m_editing && m_host->channels().common().size() != m_edit.columnCount()) {
        qCWarning(lcRecord) << "the edited ringing is no longer loaded; editing ends";
        workingSetReplaced();
    }
    return m_editing;
}

// ---- edits ----

bool ScoreEditor::push(const ColumnSplice& splice, const QString& text) {
    if (!stillInWorkingSet()) {
        return false;
    }
    if (const std::optional<QString> refusal = m_edit.refusal(splice)) {
        m_message(*refusal);
        return false;
    }
    m_undo->push(new ColumnsCommand(m_edit, splice, text, [this](const ColumnSplice* s) { applied(s); }));
    return true;
}

void ScoreEditor::applied(const ColumnSplice* splice) {
    if (!splice) {
        m_host->setInterval(m_edit.interval());
    } else {
        applySpliceToChannels(m_host->channels(), *splice);
        m_host->ringingChanged(splice->growth() != 0);
        if (splice->growth() != 0 && !m_host->isPlaying()) {
            // New pages put the transport on the first: back to the edit.
            m_host->placeAt(std::clamp(splice->at, 0, std::max(0, m_edit.columnCount() - 1)));
        }
    }
    showMarks();
    showTitle();
}

bool ScoreEditor::toggleStrike(int column, int group, int position) {
    return toggleToken(column, strikeTokenOf(group, position));
}

bool ScoreEditor::toggleToken(int column, const QString& token) {
    if (!m_editing || token.size() != 2 || column < 0) {
        return false;
    }
    return push(m_edit.toggleSplice(column, token), QStringLiteral("удар %1").arg(token));
}

void ScoreEditor::previewStrike(const QString& token) {
    for (int bell = 0; bell < kBellCount; ++bell) {
        if (KeyboardRinging::strikeToken(m_host->ensemble(), bell) == token) {
            m_host->previewBell(bell);
            return;
        }
    }
}

bool ScoreEditor::insertColumns(int at, int count) {
    if (!m_editing || count <= 0) {
        return false;
    }
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines.append(QString());
    }
    return push(m_edit.insertSplice(at, lines), QStringLiteral("вставку столбцов"));
}

bool ScoreEditor::insertBar() {
    const std::optional<std::pair<int, int>> selected = selectedColumns();
    if (!selected) {
        return false;
    }
    return insertColumns(selected->first - selected->first % kScoreBarColumns, kScoreBarColumns);
}

bool ScoreEditor::deleteSelection(const QString& label) {
    const std::optional<std::pair<int, int>> selected = selectedColumns();
    if (!selected || selected->first >= m_edit.columnCount()) {
        return false;
    }
    const int count = selected->second - selected->first + 1;
    if (!push(m_edit.removeSplice(selected->first, count),
              label.isEmpty() ? QStringLiteral("удаление столбцов") : label)) {
        return false;
    }
    selectColumns(selected->first, selected->first);
    return true;
}

bool ScoreEditor::deleteBars() {
    const std::optional<std::pair<int, int>> selected = selectedColumns();
    if (!selected) {
        return false;
    }
    const int first = selected->first - selected->first % kScoreBarColumns;
    const int last = selected->second - selected->second % kScoreBarColumns + kScoreBarColumns - 1;
    selectColumns(first, last);
    return deleteSelection();
}

bool ScoreEditor::setInterval(int milliseconds) {
    if (!stillInWorkingSet()) {
        return false;
    }
    milliseconds = std::clamp(milliseconds, TChannels::kMinInterval, TChannels::kMaxInterval);
    if (milliseconds == m_edit.interval()) {
        return false;
    }
    m_undo->push(new HeaderCommand(m_edit, m_edit.headerWithInterval(milliseconds),
                                   QStringLiteral("изменение темпа"),
                                   [this](const ColumnSplice* s) { applied(s); }));
    return true;
}

void ScoreEditor::undo() {
    if (stillInWorkingSet()) {
        m_undo->undo();
    }
}

void ScoreEditor::redo() {
    if (stillInWorkingSet()) {
        m_undo->redo();
    }
}

void ScoreEditor::keyStruck(int bell) {
    if (!m_editing) {
        return;
    }
    const QString token = KeyboardRinging::strikeToken(m_host->ensemble(), bell);
    if (token.size() != 2) {
        m_host->showStatusMessage(QStringLiteral("Этот колокол нельзя записать в звон."));
        return;
    }
    // A key strike is entered at the cursor, which then moves on to the
    // next column (the setting), so a line of strikes is typed without arrows.
    if (toggleToken(m_cursor, token) && m_advance) {
        moveCursorTo(m_cursor + 1, false);
    }
}

void ScoreEditor::showTitle() {
    if (m_editing) {
        m_host->showTitle(m_name, isModified());
    }
}
