#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The chooser of list ringings ("Выбор звона"): the names of
// Custom/list.kli on the left, the highlighted ringing's description on the
// right, "Играть все по очереди" and "Загрузить". It keeps the text of the
// highlighted ringing as read at highlighting, and loads that text.
class TfrmSelSound : public QDialog {
    Q_OBJECT
public:
    // Loads a list ringing from its file's lines; false when it could not.
    using Loader = std::function<bool(const QStringList& fileLines)>;

    explicit TfrmSelSound(QWidget* parent = nullptr);

    // The folder of the list ringings (ending in "/"), the loader, and what
    // starts playing after a load.
    void setCustomDir(const QString& dir) { m_customDir = dir; }
    void setLoader(Loader loader) { m_loader = std::move(loader); }
    void setPlay(std::function<void()> play) { m_play = std::move(play); }

    // Fills lbSounds with the names of the list file (blank lines skipped),
    // selects the first and shows it.
    void fillList(const QString& listPath);
    // Shows the highlighted ringing: reads Custom/<name>.kol, keeps its text
    // and shows its description, an empty line and its name. Nothing
    // highlighted clears the kept text and the memo; a file the ringing
    // reader refuses clears the kept text and says why in the memo. Either
    // disables Load.
    void lbSoundsClick();
    // Loads the kept text, plays it and closes the chooser; does nothing
    // while no readable ringing is highlighted.
    void btnLoadClick();
    bool hasLoadableRinging() const { return !m_highlighted.isEmpty(); }

    // The highlighted name ("" when the list is empty).
    QString selectedName() const;
    // Highlights the next ringing, the first after the last.
    void selectNext();
    const QStringList& highlightedText() const { return m_highlighted; }

    // Shows the chooser modally, centred on the screen.
    int execCentred();

    QListWidget* lbSounds = nullptr;
    QPlainTextEdit* mDesc = nullptr;
    QCheckBox* cbRound = nullptr;
    QPushButton* btnLoad = nullptr;

private:
    QString m_customDir;
    QStringList m_highlighted;
    Loader m_loader;
    std::function<void()> m_play;
};
