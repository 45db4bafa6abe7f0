#pragma once

#include <QString>
#include <QStringList>

class Ensemble;
class KeyStrikeNotifier;
class QWidget;
class ScoreView;
class TChannels;

// What the score editor needs of the rest of the program: the ensemble, the
// working set that plays and the score that shows it, the transport, the
// window's title and the folder of list ringings. The main window answers it.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    virtual QWidget* dialogParent() = 0;
    virtual const Ensemble& ensemble() const = 0;
    // The working set; the editor changes its scores in place.
    virtual TChannels& channels() = 0;
    // Null until start-up has created the staves.
    virtual ScoreView* scoreView() = 0;
    // The bells struck from the keyboard (null before start-up made them).
    virtual KeyStrikeNotifier* keyStrikes() = 0;

    // Loads a whole body into the working set as a common ringing, with its
    // tempo, pages and score.
    virtual void loadRinging(const QStringList& body) = 0;
    // The working set changed in place: the score drawn again, the held
    // columns handed again; with a new length, the pages and the duration.
    virtual void ringingChanged(bool lengthChanged) = 0;
    virtual int currentInterval() const = 0;
    virtual void setInterval(int milliseconds) = 0;

    // The transport: where the cursor stands, whether it plays; playing
    // from a column; stopping.
    virtual int currentColumn() const = 0;
    virtual int currentPage() const = 0;
    virtual bool isPlaying() const = 0;
    virtual void placeAt(int column) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    // Plays columns first..last only, once or round and round, until the
    // user stops it or it ends.
    virtual void playRange(int first, int last, bool loop) = 0;
    // Sounds a bell quietly, as a preview of a strike written.
    virtual void previewBell(int bell) = 0;

    // The loaded ringing's name ("" when none) and whether it is a group
    // ringing (a 128-column merge of the group selectors' choices).
    virtual QString ringingName() const = 0;
    // The user ringing file (".ukl") the loaded ringing was opened from;
    // "" when it came from elsewhere.
    virtual QString ringingFilePath() const = 0;
    virtual bool groupRingingLoaded() const = 0;
    virtual void showTitle(const QString& name, bool modified) = 0;
    virtual void showStatusMessage(const QString& text) = 0;
    // The folder of list ringings, ending in '/'; "" when unknown.
    virtual QString customDir() const = 0;
};
