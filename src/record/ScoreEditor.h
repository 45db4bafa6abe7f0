#pragma once

#include "record/RingingEdit.h"
#include "record/ScoreHitTest.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>

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
    // changes go to a new file in `folder` and editing ends. Gives that file,
    // or nothing when nothing was unsaved or it could not be written (logged).
    std::optional<QString> keepUnsavedForEnd(const QString& folder);

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
    bool deleteSelection();
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
    void playSelection(bool loop);

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
    void followLoop();
    bool writeTo(const QString& path, bool listRinging);
    int scorePage() const;
    int groupOfStaff(QObject* watched) const;
    bool selectOutsideEditing(QEvent::Type type, const QMouseEvent& mouse,
                              const std::optional<ScoreHit>& hit);
    void clearViewSelection();

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
    std::optional<std::pair<int, int>> m_loop;
    // The furthest column of the loop played in this round.
    int m_loopReached = -1;
    QTimer* m_loopTimer = nullptr;
    std::array<QPointer<EditorOverlay>, 3> m_overlays;
    std::array<QPointer<QWidget>, 3> m_pictures;

    SaveQuestion m_askSave;
    PathQuestion m_askPath;
    TextQuestion m_askText;
    Messenger m_message;

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
    };
    const Actions& actions() const { return m_actions; }

private:
    Actions m_actions;
    // Cursor keys, active only while editing.
    std::array<QAction*, 4> m_cursorKeys{};
};
