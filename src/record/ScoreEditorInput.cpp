// The score editor's menus, dialogs, selection, mouse and the marks over
// the staves.

#include "record/ScoreEditor.h"

#include "base/BellGroups.h"
#include "bells/Ensemble.h"
#include "record/EditorHost.h"
#include "record/EditorOverlay.h"
#include "record/ScoreHitTest.h"
#include "ringing/RingingReader.h"
#include "ringing/TChannels.h"
#include "score/ReadableScore.h"
#include "score/ScoreImage.h"
#include "score/ScoreView.h"

#include <QFrame>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>

namespace {

// The editor's own clipboard format: columns, one a line, as the files hold them.
const QString kColumnsMime = QStringLiteral("application/x-campanix-columns");

QAction* addItem(QMenu* menu, QObject* owner, const QString& name, const QString& caption,
                 const QList<QKeySequence>& keys = {}) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setShortcuts(keys);
    menu->addAction(action);
    return action;
}

} // namespace

void ScoreEditor::installDefaultQuestions() {
    m_askSave = [this](const QString& name) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Звон изменён"),
                        QStringLiteral("Сохранить изменения в звоне «%1»?").arg(name), QMessageBox::NoButton,
                        m_host->dialogParent());
        box.setObjectName(QStringLiteral("msgEditorSave"));
        QPushButton* save = box.addButton(QStringLiteral("Сохранить"), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(QStringLiteral("Не сохранять"), QMessageBox::DestructiveRole);
        box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.exec();
        if (box.clickedButton() == save) {
            return SaveAnswer::Save;
        }
        return box.clickedButton() == discard ? SaveAnswer::Discard : SaveAnswer::Cancel;
    };
    m_askPath = [this](const QString& suggested, bool) -> std::optional<QString> {
        QString start = suggested;
        if (QFileInfo(start).isRelative()) {
            QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            start = QDir(QFileInfo(folder).isDir() ? folder : QDir::homePath()).filePath(suggested);
        }
        const QString path =
            QFileDialog::getSaveFileName(m_host->dialogParent(), QStringLiteral("Сохранить звон"), start,
                                         QStringLiteral("Файлы колокольных звонов (*.ukl)"));
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    };
    m_askText = [this](const QString& title, const QString& current) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(m_host->dialogParent(), title, title + QStringLiteral(":"),
                                                   QLineEdit::Normal, current, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };
    m_message = [this](const QString& text) {
        QMessageBox::warning(m_host->dialogParent(), QStringLiteral("Редактор звона"), text);
    };
    m_askReplace = [this](const QString& text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Редактор звона"), text, QMessageBox::NoButton,
                        m_host->dialogParent());
        box.setObjectName(QStringLiteral("msgEditorReplace"));
        QPushButton* replace = box.addButton(QStringLiteral("Заменить"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        box.exec();
        return box.clickedButton() == replace;
    };
}

void ScoreEditor::buildMenus(QMenuBar* bar, QMenu* fileMenu, QAction* before, QWidget* window) {
    auto* fileItems = new QMenu(window);
    m_actions.newRinging =
        addItem(fileItems, this, QStringLiteral("nNewRinging"), QStringLiteral("Создать звон ..."));
    m_actions.save = addItem(fileItems, this, QStringLiteral("nSaveRinging"), QStringLiteral("Сохранить"),
                             {QKeySequence(Qt::CTRL | Qt::Key_S)});
    m_actions.saveAs =
        addItem(fileItems, this, QStringLiteral("nSaveRingingAs"), QStringLiteral("Сохранить как..."),
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    fileMenu->insertActions(before, fileItems->actions());
    fileMenu->insertSeparator(before);

    auto* edit = new QMenu(QStringLiteral("Правка"), window);
    edit->setObjectName(QStringLiteral("mEditMenu"));
    const QList<QAction*> top = bar->actions();
    const qsizetype fileAt = top.indexOf(fileMenu->menuAction());
    bar->insertMenu(fileAt >= 0 && fileAt + 1 < top.size() ? top.at(fileAt + 1) : nullptr, edit);
    m_actions.editRinging =
        addItem(edit, this, QStringLiteral("nEditRinging"), QStringLiteral("Редактировать звон"));
    m_actions.finish =
        addItem(edit, this, QStringLiteral("nFinishEditing"), QStringLiteral("Закончить правку"));
    edit->addSeparator();
    m_actions.undo = m_undo->createUndoAction(this, QStringLiteral("Отменить"));
    m_actions.undo->setObjectName(QStringLiteral("nUndo"));
    m_actions.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_actions.redo = m_undo->createRedoAction(this, QStringLiteral("Повторить"));
    m_actions.redo->setObjectName(QStringLiteral("nRedo"));
    m_actions.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(m_actions.undo);
    edit->addAction(m_actions.redo);
    edit->addSeparator();
    m_actions.cut = addItem(edit, this, QStringLiteral("nCut"), QStringLiteral("Вырезать"),
                            {QKeySequence(Qt::CTRL | Qt::Key_X)});
    m_actions.copy = addItem(edit, this, QStringLiteral("nCopy"), QStringLiteral("Копировать"),
                             {QKeySequence(Qt::CTRL | Qt::Key_C)});
    m_actions.paste = addItem(edit, this, QStringLiteral("nPaste"), QStringLiteral("Вставить"),
                              {QKeySequence(Qt::CTRL | Qt::Key_V)});
    m_actions.deleteColumns = addItem(edit, this, QStringLiteral("nDeleteColumns"),
                                      QStringLiteral("Удалить столбцы"), {QKeySequence(Qt::Key_Delete)});
    edit->addSeparator();
    m_actions.insertColumn = addItem(edit, this, QStringLiteral("nInsertColumn"),
                                     QStringLiteral("Вставить столбец"), {QKeySequence(Qt::Key_Insert)});
    m_actions.insertBar = addItem(edit, this, QStringLiteral("nInsertBar"), QStringLiteral("Вставить такт"),
                                  {QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    m_actions.deleteBar = addItem(edit, this, QStringLiteral("nDeleteBar"), QStringLiteral("Удалить такт"),
                                  {QKeySequence(Qt::CTRL | Qt::Key_Delete)});
    edit->addSeparator();
    m_actions.tempo = addItem(edit, this, QStringLiteral("nRingingTempo"), QStringLiteral("Темп звона ..."));
    m_actions.playSelection = addItem(edit, this, QStringLiteral("nPlaySelection"),
                                      QStringLiteral("Играть выделенное"), {QKeySequence(Qt::Key_F5)});
    m_actions.loopSelection =
        addItem(edit, this, QStringLiteral("nLoopSelection"), QStringLiteral("Повторять выделенное"),
                {QKeySequence(Qt::CTRL | Qt::Key_F5)});
    edit->addSeparator();
    m_actions.advance = addItem(edit, this, QStringLiteral("nAdvanceAfterKey"),
                                QStringLiteral("Курсор дальше после удара клавишей"));
    m_actions.advance->setCheckable(true);
    m_actions.advance->setChecked(m_advance);
    m_actions.history = addItem(edit, this, QStringLiteral("nEditHistory"), QStringLiteral("История правки"));

    buildKeys(window);
    for (QAction* action : {m_actions.undo, m_actions.redo}) {
        window->addAction(action);
    }

    connect(m_actions.newRinging, &QAction::triggered, this, [this] { newRinging(); });
    connect(m_actions.editRinging, &QAction::triggered, this, [this] { editLoadedRinging(); });
    connect(m_actions.finish, &QAction::triggered, this, [this] { maySetAside(); });
    connect(m_actions.save, &QAction::triggered, this, [this] { save(); });
    connect(m_actions.saveAs, &QAction::triggered, this, [this] { saveAs(); });
    connect(m_actions.cut, &QAction::triggered, this, [this] { cut(); });
    connect(m_actions.copy, &QAction::triggered, this, [this] { copy(); });
    connect(m_actions.paste, &QAction::triggered, this, [this] { paste(); });
    connect(m_actions.deleteColumns, &QAction::triggered, this, [this] { deleteSelection(); });
    connect(m_actions.insertColumn, &QAction::triggered, this, [this] {
        if (const auto selected = selectedColumns()) {
            insertColumns(selected->first, 1);
        }
    });
    connect(m_actions.insertBar, &QAction::triggered, this, [this] { insertBar(); });
    connect(m_actions.deleteBar, &QAction::triggered, this, [this] { deleteBars(); });
    connect(m_actions.tempo, &QAction::triggered, this, [this] {
        const std::optional<QString> text = m_askText(QStringLiteral("Миллисекунд между ударами (50-1000)"),
                                                      QString::number(m_edit.interval()));
        if (!text) {
            return;
        }
        bool ok = false;
        const int value = text->trimmed().toInt(&ok);
        // A tempo out of range is refused, not quietly made another.
        if (!ok || value < TChannels::kMinInterval || value > TChannels::kMaxInterval) {
            m_message(QStringLiteral("Темп задаётся целым числом миллисекунд между ударами, от %1 до %2.")
                          .arg(TChannels::kMinInterval)
                          .arg(TChannels::kMaxInterval));
            return;
        }
        setInterval(value);
    });
    connect(m_actions.playSelection, &QAction::triggered, this, [this] { playSelection(false); });
    connect(m_actions.loopSelection, &QAction::triggered, this, [this] { playSelection(true); });
    connect(m_actions.advance, &QAction::toggled, this, [this](bool on) { m_advance = on; });
    connect(m_actions.history, &QAction::triggered, this, [this] { showHistory(); });
    updateActions();
}

void ScoreEditor::updateActions() {
    for (QAction* action :
         {m_actions.save, m_actions.saveAs, m_actions.finish, m_actions.cut, m_actions.copy, m_actions.paste,
          m_actions.deleteColumns, m_actions.insertColumn, m_actions.insertBar, m_actions.deleteBar,
          m_actions.tempo, m_actions.playSelection, m_actions.loopSelection, m_actions.history}) {
        if (action) {
            action->setEnabled(m_editing);
        }
    }
    for (QAction* action : m_cursorKeys) {
        if (action) {
            action->setEnabled(m_editing);
        }
    }
    if (m_actions.editRinging) {
        m_actions.editRinging->setEnabled(!m_editing);
    }
}

// ---- selection ----

std::optional<std::pair<int, int>> ScoreEditor::selectedColumns() const {
    if (!m_editing && !m_viewSelection) {
        return std::nullopt;
    }
    return std::make_pair(std::min(m_anchor, m_cursor), std::max(m_anchor, m_cursor));
}

void ScoreEditor::selectColumns(int anchor, int cursor) {
    const int last = int(kMaxRingingColumns) - 2;
    anchor = std::clamp(anchor, 0, last);
    cursor = std::clamp(cursor, 0, last);
    if (anchor == m_anchor && cursor == m_cursor) {
        return;
    }
    m_anchor = anchor;
    m_cursor = cursor;
    showMarks();
    emit selectionChanged();
}

void ScoreEditor::moveCursor(int step, bool extend) {
    moveCursorTo(m_cursor + step, extend);
}

void ScoreEditor::moveCursorTo(int column, bool extend) {
    if (!m_editing) {
        return;
    }
    const int cursor = std::clamp(column, 0, std::max(0, m_edit.columnCount() - 1));
    selectColumns(extend ? m_anchor : cursor, cursor);
    showCursorPage();
}

void ScoreEditor::showCursorPage() {
    // The staves show the page of the edit cursor while nothing plays: a
    // click edits the column it is drawn on.
    if (m_editing && !m_host->isPlaying() && pageOfColumn(m_cursor) != m_host->currentPage()) {
        m_host->placeAt(m_cursor);
        showMarks();
    }
}

void ScoreEditor::selectAll() {
    if (m_editing) {
        selectColumns(0, std::max(0, m_edit.columnCount() - 1));
    }
}

void ScoreEditor::setAdvancesAfterKey(bool on) {
    m_advance = on;
    if (m_actions.advance) {
        m_actions.advance->setChecked(on);
    }
}

// ---- clipboard ----

void ScoreEditor::copy() {
    const std::optional<std::pair<int, int>> selected = selectedColumns();
    if (!selected) {
        return;
    }
    QStringList columns = m_edit.columns().mid(selected->first, selected->second - selected->first + 1);
    // Columns past the end are empty ones.
    while (columns.size() < selected->second - selected->first + 1) {
        columns.append(QString());
    }
    const QString text = columnsToClipboardText(columns);
    auto* data = new QMimeData;
    data->setData(kColumnsMime, text.toUtf8());
    data->setText(text);
    QApplication::clipboard()->setMimeData(data);
}

bool ScoreEditor::cut() {
    copy();
    return deleteSelection(QStringLiteral("вырезание"));
}

bool ScoreEditor::paste() {
    const std::optional<std::pair<int, int>> selected = selectedColumns();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!selected || !data) {
        return false;
    }
    const QString text =
        data->hasFormat(kColumnsMime) ? QString::fromUtf8(data->data(kColumnsMime)) : data->text();
    const std::optional<QStringList> columns = columnsFromClipboardText(text);
    if (!columns) {
        m_host->showStatusMessage(QStringLiteral("В буфере обмена нет столбцов звона."));
        return false;
    }
    // A selection of more than one column is replaced; otherwise the
    // columns go in before the cursor.
    const int count = selected->first == selected->second ? 0 : selected->second - selected->first + 1;
    const ColumnSplice splice = count == 0 ? m_edit.insertSplice(selected->first, *columns)
                                           : m_edit.replaceSplice(selected->first, count, *columns);
    if (!push(splice, QStringLiteral("вставку из буфера"))) {
        return false;
    }
    selectColumns(selected->first, selected->first + int(columns->size()) - 1);
    m_host->showStatusMessage(
        count == 0 ? QStringLiteral("Столбцы из буфера вставлены перед курсором: %1.").arg(columns->size())
                   : QStringLiteral("Столбцы из буфера заменили выделенные: %1.").arg(columns->size()));
    return true;
}

// ---- playing the selection ----

void ScoreEditor::playSelection(bool loop) {
    const std::optional<std::pair<int, int>> selected = selectedColumns();
    if (!selected || selected->first >= m_edit.columnCount()) {
        return;
    }
    // The transport plays the selection alone; Stop, Pause and Play act on it as on any playing.
    m_host->playRange(selected->first, std::min(selected->second, m_edit.columnCount() - 1), loop);
}

void ScoreEditor::playOrStop() {
    if (!m_editing) {
        return;
    }
    if (m_host->isPlaying()) {
        m_host->stop();
        showCursorPage();
        return;
    }
    m_host->playRange(std::min(m_cursor, m_edit.columnCount() - 1), m_edit.columnCount() - 1, false);
}

void ScoreEditor::follow() {
    // Playback ended or stopped (on column 0): back to the edit cursor's page.
    const bool playing = m_host->isPlaying();
    if (m_wasPlaying && !playing) {
        showCursorPage();
    }
    m_wasPlaying = playing;
    showMarks();
}

// ---- mouse and marks ----

void ScoreEditor::watchStaves() {
    ScoreView* view = m_host->scoreView();
    if (!view) {
        return;
    }
    for (int g = 0; g < kGroupCount; ++g) {
        QWidget* picture = view->image(g);
        if (!picture || !picture->parentWidget()) {
            continue;
        }
        if (m_pictures[static_cast<size_t>(g)] != picture) {
            picture->installEventFilter(this);
            m_pictures[static_cast<size_t>(g)] = picture;
        }
        if (!m_overlays[static_cast<size_t>(g)]) {
            m_overlays[static_cast<size_t>(g)] = new EditorOverlay(picture->parentWidget());
            m_overlays[static_cast<size_t>(g)]->setPageSource([this] { return scorePage(); });
            m_overlays[static_cast<size_t>(g)]->setStaffLeftSource([this, g] {
                const ScoreView* shown = m_host->scoreView();
                return shown ? shown->cursorArea(g).left : 0;
            });
            m_overlays[static_cast<size_t>(g)]->hide();
        }
    }
}

void ScoreEditor::attachToStaves() {
    ScoreView* view = m_host->scoreView();
    if (!view) {
        return;
    }
    watchStaves();
    for (int g = 0; g < kGroupCount; ++g) {
        QWidget* picture = view->image(g);
        if (!picture || !picture->parentWidget()) {
            continue;
        }
        if (m_pictures[static_cast<size_t>(g)] != picture) {
            picture->installEventFilter(this);
            m_pictures[static_cast<size_t>(g)] = picture;
        }
        m_overlays[static_cast<size_t>(g)]->show();
        m_overlays[static_cast<size_t>(g)]->raise();
    }
    letClicksThroughCursors(true);
}

void ScoreEditor::letClicksThroughCursors(bool through) {
    // The play cursor stands over the staff; a click on it is meant for the
    // column beneath.
    if (ScoreView* view = m_host->scoreView()) {
        for (int g = 0; g < kGroupCount; ++g) {
            if (QWidget* bar = view->cursor(g)) {
                bar->setAttribute(Qt::WA_TransparentForMouseEvents, through);
            }
        }
    }
}

int ScoreEditor::groupOfStaff(QObject* watched) const {
    for (int g = 0; g < kGroupCount; ++g) {
        if (m_pictures[static_cast<size_t>(g)] == watched) {
            return g;
        }
    }
    return -1;
}

bool ScoreEditor::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (m_shutDown || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
                       type != QEvent::MouseButtonRelease)) {
        return false;
    }
    const int group = groupOfStaff(watched);
    if (group < 0) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const auto* picture = static_cast<QWidget*>(watched);
    const int count = m_host->ensemble().groupCount(ensembleGroupNumber(groupAt(group)));
    const ScoreView* view = m_host->scoreView();
    const ScoreStaffArea area =
        view ? scoreStaffArea(group, picture->size(), view->currentPage()) : ScoreStaffArea{picture->size()};
    const std::optional<ScoreHit> hit = hitScore(group, picture->size(), m_host->currentPage(), count,
                                                 mouse->position().toPoint(), area.top, area.left);
    if (!m_editing) {
        return selectOutsideEditing(type, *mouse, hit);
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        // A click on a bar number selects the bar.
        if (const std::optional<int> bar = barNumberAt(group, picture->size(), mouse->position().toPoint())) {
            const int first = (*bar - 1) * kScoreBarColumns;
            selectColumns(first, first + kScoreBarColumns - 1);
            m_pressGroup.reset();
            return true;
        }
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && hit) {
        const bool extend = mouse->modifiers().testFlag(Qt::ShiftModifier);
        selectColumns(extend ? m_anchor : hit->column, hit->column);
        m_pressGroup = extend ? std::nullopt : std::optional<int>(group);
        m_dragged = false;
        return true;
    }
    if (type == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton) && hit && hit->column != m_cursor) {
        selectColumns(m_anchor, hit->column);
        m_dragged = true;
        return true;
    }
    if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        // A click without a drag on a bell's line adds or removes its strike.
        if (m_pressGroup == group && !m_dragged && hit && hit->position > 0 && hit->column == m_cursor) {
            // A strike added by a click is heard, quietly.
            const QString token = strikeTokenOf(group, hit->position);
            const bool adds = !m_edit.columns().value(hit->column).split(u',').contains(token);
            if (toggleStrike(hit->column, group, hit->position) && adds) {
                previewStrike(token);
            }
        }
        m_pressGroup.reset();
        return true;
    }
    return false;
}

bool ScoreEditor::selectOutsideEditing(QEvent::Type type, const QMouseEvent& mouse,
                                       const std::optional<ScoreHit>& hit) {
    if (type == QEvent::MouseButtonPress && mouse.button() == Qt::LeftButton && hit) {
        m_pressColumn = hit->column;
        m_dragged = false;
        return false;
    }
    if (type == QEvent::MouseMove && (mouse.buttons() & Qt::LeftButton) && hit && m_pressColumn &&
        (m_dragged || hit->column != *m_pressColumn)) {
        m_dragged = true;
        m_viewSelection = true;
        selectColumns(*m_pressColumn, hit->column);
        showMarks();
        return true;
    }
    if (type == QEvent::MouseButtonRelease && mouse.button() == Qt::LeftButton) {
        if (!m_dragged && m_viewSelection) {
            clearViewSelection();
        }
        m_pressColumn.reset();
    }
    return false;
}

void ScoreEditor::clearViewSelection() {
    if (!m_viewSelection) {
        return;
    }
    m_viewSelection = false;
    showMarks();
    emit selectionChanged();
}

std::optional<int> ScoreEditor::barNumberAt(int group, QSize size, QPoint at) const {
    ScoreView* view = m_host->scoreView();
    if (!view || !view->readable()) {
        return std::nullopt;
    }
    for (const ScoreText& text : layoutReadableMarks(group, size, view->currentPage())) {
        bool number = false;
        const int bar = text.text.toInt(&number);
        // The number's own width, not its whole box: the box spans the bar.
        const QRect drawn(text.box.topLeft(),
                          QSize(std::max(1, text.pixelSize) * int(text.text.size() + 1), text.box.height()));
        if (number && bar > 0 && drawn.contains(at)) {
            return bar;
        }
    }
    return std::nullopt;
}

int ScoreEditor::scorePage() const {
    return m_host->currentPage();
}

void ScoreEditor::showMarks() {
    if (!m_editing && !m_viewSelection) {
        for (EditorOverlay* overlay : m_overlays) {
            if (overlay) {
                overlay->hide();
            }
        }
        return;
    }
    const std::pair<int, int> selected = *selectedColumns();
    for (EditorOverlay* overlay : m_overlays) {
        if (overlay) {
            // Outside editing there is no edit cursor, only the passage.
            overlay->showSelection(scorePage(), selected.first, selected.second, m_editing ? m_cursor : -1);
            overlay->show();
            overlay->raise();
        }
    }
}
