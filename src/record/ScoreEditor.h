#pragma once

#include "record/RingingEdit.h"
#include "record/ScoreHitTest.h"

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class EditorHost;
class EditorOverlay;
class QAction;
class QMenu;
class QMenuBar;
class QMouseEvent;
class QTimer;
class QUndoStack;
class QWidget;

// The score editor: the three staves become editable. It owns the ringing
// being written, its undo stack, its actions and the marks over the staves;
// clicks reach it through an event filter on the staff pictures and keyboard
// strikes through the key strike notifier. While it edits, the working set
// plays what it holds: every change is made there too.
class ScoreEditor : public QObject {
    Q_OBJECT
public:
    // What a question about unsaved changes was answered.
    enum class SaveAnswer { Save, Discard, Cancel };
    using SaveQuestion = std::function<SaveAnswer(const QString& name)>;
    // Asks for a path to save to (nothing when cancelled); `listRinging`:
    // the list ringings' folder is offered.
    using PathQuestion = std::function<std::optional<QString>(const QString& suggested, bool listRinging)>;
    using TextQuestion = std::function<std::optional<QString>(const QString& title, const QString& current)>;
    using Messenger = std::function<void(const QString& text)>;
    // Asks whether to replace something (a ringing of the same name).
    using ReplaceQuestion = std::function<bool(const QString& text)>;

    explicit ScoreEditor(std::unique_ptr<EditorHost> host, QObject* parent = nullptr);
    ~ScoreEditor() override;

    // The editor's items in the File menu (after `before`) and its own Edit
    // menu after the File menu; the cursor keys as window shortcuts.
    void buildMenus(QMenuBar* bar, QMenu* fileMenu, QAction* before, QWidget* window);

    // "Создать звон ...": an empty ringing of the current ensemble.
    void newRinging();
    // "Редактировать звон": the ringing loaded now.
    void editLoadedRinging();
    // A body from elsewhere (a recording just made), with its name.
    void editBody(const QStringList& body, const QString& name);
    // Ends editing (the marks go, the ringing stays loaded).
    void endEditing();
    // The window is going: no more timers, keys or questions, and nothing
    // asked of the host from here on.
    void shutDown();
    // An end nobody can be asked about (a termination signal): unsaved
    // changes go to a file of their own in the first of `folders` that takes
    // it, and editing ends. Gives that file, or nothing when nothing was
    // unsaved or no folder took it (logged).
    std::optional<QString> keepUnsavedForEnd(const QStringList& folders);
    // Where unsaved changes are kept while editing (every kAutosaveMs and
    // every kAutosaveEdits edits) and at a termination signal, first choice
    // first; the next start offers what it finds there.
    void setUnsavedFolders(const QStringList& folders) { m_unsavedFolders = folders; }
    // Writes the unsaved changes now (the timer and the edit count call it);
    // the file written, or nothing.
    std::optional<QString> keepUnsavedNow();
    const QString& unsavedFile() const { return m_unsavedFile; }
    // The ringing just loaded from a file of unsaved changes: edited as
    // unsaved, and that file is removed once the ringing is saved or set aside.
    void editRestored(const QString& keptFile);
    static constexpr int kAutosaveMs = 30000;
    static constexpr int kAutosaveEdits = 20;

    bool save();
    bool saveAs();
    // Before the ringing is replaced or the program ends: asks to save
    // unsaved changes; false when the user cancels.
    bool maySetAside();
    // The working set was replaced by someone else: editing ends, and
    // unsaved changes are offered for saving first.
    void workingSetReplaced();

    // Edits, as the actions and keys make them; false when refused.
    bool toggleStrike(int column, int group, int position);
    bool toggleToken(int column, const QString& token);
    bool insertColumns(int at, int count);
    bool insertBar();
    bool deleteSelection(const QString& label = {});
    bool deleteBars();
    void copy();
    bool cut();
    bool paste();
    bool setInterval(int milliseconds);
    void undo();
    void redo();

    // Selection of columns: the cursor and the anchor.
    void selectColumns(int anchor, int cursor);
    void moveCursor(int step, bool extend);
    // The edit cursor to `column` (kept within the ringing); the staves
    // follow its page while nothing plays.
    void moveCursorTo(int column, bool extend);
    void selectAll();
    void playSelection(bool loop);
    // Space while editing: plays from the edit cursor, or stops.
    void playOrStop();
    // The cursor moves on after a strike entered by key (on by default).
    bool advancesAfterKey() const { return m_advance; }
    void setAdvancesAfterKey(bool on);

    bool isEditing() const { return m_editing; }
    bool isModified() const;
    const RingingEdit& ringing() const { return m_edit; }
    const QString& name() const { return m_name; }
    const QString& path() const { return m_path; }
    QUndoStack& undoStack() { return *m_undo; }
    // First and last selected column (inclusive): while editing, or columns
    // dragged over on the staves outside editing (a passage to practise; a
    // click without a drag clears it).
    std::optional<std::pair<int, int>> selectedColumns() const;
    // Listens to the staves for such drags; called once the score exists.
    void watchStaves();

    // Questions and messages; dialogs by default, answers of their own in tests.
    void setSaveQuestion(SaveQuestion question) { m_askSave = std::move(question); }
    void setPathQuestion(PathQuestion question) { m_askPath = std::move(question); }
    void setTextQuestion(TextQuestion question) { m_askText = std::move(question); }
    void setMessenger(Messenger messenger) { m_message = std::move(messenger); }
    void setReplaceQuestion(ReplaceQuestion question) { m_askReplace = std::move(question); }

signals:
    void selectionChanged();
    void editingChanged(bool editing);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start(const RingingEdit& edit, const QString& name, const QString& path, bool listRinging);
    void installDefaultQuestions();
    bool stillInWorkingSet();
    bool push(const ColumnSplice& splice, const QString& text);
    void applied(const ColumnSplice* splice);
    void attachToStaves();
    void letClicksThroughCursors(bool through);
    void showMarks();
    void showTitle();
    void updateActions();
    void keyStruck(int bell);
    void follow();
    void showCursorPage();
    bool writeTo(const QString& path, bool listRinging);
    bool saveListAs(const QString& name);
    void editCounted();
    void dropUnsavedFile();
    void previewStrike(const QString& token);
    int scorePage() const;
    int groupOfStaff(QObject* watched) const;
    bool selectOutsideEditing(QEvent::Type type, const QMouseEvent& mouse,
                              const std::optional<ScoreHit>& hit);
    void clearViewSelection();
    // The bar whose number (the readable view's, 1-based) is at `at` on a
    // group's staff of `size`.
    std::optional<int> barNumberAt(int group, QSize size, QPoint at) const;

    std::unique_ptr<EditorHost> m_host;
    RingingEdit m_edit;
    QUndoStack* m_undo = nullptr;
    QString m_name;
    QString m_path;
    bool m_listRinging = false;
    bool m_editing = false;
    bool m_ownLoad = false;
    bool m_hearsKeys = false;
    bool m_shutDown = false;
    // Begun from a body never saved (a recording): unsaved from the start.
    bool m_unsavedOrigin = false;
    int m_anchor = 0;
    int m_cursor = 0;
    // A press on a staff: where, and whether the mouse has since dragged.
    std::optional<int> m_pressGroup;
    std::optional<int> m_pressColumn; // outside editing
    bool m_dragged = false;
    // Columns dragged over outside editing.
    bool m_viewSelection = false;
    bool m_wasPlaying = false;
    bool m_advance = true;
    QTimer* m_followTimer = nullptr;
    // Unsaved changes kept: the folders, this editing's file, the edits
    // since it was last written.
    QTimer* m_autosaveTimer = nullptr;
    QStringList m_unsavedFolders;
    QString m_unsavedFile;
    int m_editsSinceKept = 0;
    std::array<QPointer<EditorOverlay>, 3> m_overlays;
    std::array<QPointer<QWidget>, 3> m_pictures;

    SaveQuestion m_askSave;
    PathQuestion m_askPath;
    TextQuestion m_askText;
    Messenger m_message;
    ReplaceQuestion m_askReplace;

public:
    // The editor's actions, named for tests and the window's menus.
    struct Actions {
        QAction* newRinging = nullptr;
        QAction* editRinging = nullptr;
        QAction* save = nullptr;
        QAction* saveAs = nullptr;
        QAction* finish = nullptr;
        QAction* undo = nullptr;
        QAction* redo = nullptr;
        QAction* cut = nullptr;
        QAction* copy = nullptr;
        QAction* paste = nullptr;
        QAction* deleteColumns = nullptr;
        QAction* insertColumn = nullptr;
        QAction* insertBar = nullptr;
        QAction* deleteBar = nullptr;
        QAction* tempo = nullptr;
        QAction* playSelection = nullptr;
        QAction* loopSelection = nullptr;
        QAction* advance = nullptr;
        QAction* history = nullptr;
    };
    const Actions& actions() const { return m_actions; }

private:
    Actions m_actions;
    // Cursor and play keys, active only while editing.
    QList<QAction*> m_cursorKeys;
    void buildKeys(QWidget* window);
    void showHistory();
};
