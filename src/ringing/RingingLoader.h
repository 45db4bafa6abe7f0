#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

struct RingingDocument;
struct RingingLoadResult;
struct RingingReadFailure;
class RingingLoaderHost;
class TChannels;
class TfrmSelSound;

// Loading ringings into the working set: library and group ringings, list
// ringings with their ensembles, opened user ringing files, and the chooser
// of list ringings ("Выбор звона"), which it creates on first use and owns
// through the host's dialog parent.
//
// A load that fails changes nothing, says why in the status bar and is
// logged.
class RingingLoader : public QObject {
public:
    RingingLoader(TChannels& channels, RingingLoaderHost& host, QObject* parent = nullptr);

    // Score `index` (0..2 a group, 3 the common score) from a file or lines,
    // with its tempo and length shown; false when nothing was loaded.
    bool LoadRinging(int index, const QString& path);
    bool loadRingingLines(int index, const QStringList& bodyLines);
    // A user ringing file's title, ensemble and body.
    bool openUserRingingText(const QString& path);
    // A list ringing from its file's lines, and Custom/<name>.kol as one:
    // title, ensemble, body, whole-ringing pages and the offered choice.
    bool loadListRinging(const QStringList& fileLines);
    bool loadListRingingByName(const QString& name);
    // Page selector and slider for a whole ringing, score redrawn.
    void showWholeRingingPages();
    // Shows why a ringing was refused in the status bar, and logs it; false.
    bool refuseRinging(const QString& path, const RingingReadFailure& failure);

    // The chooser, created on first use; the menu's "Выбор звона" opens it
    // with playback reset and no ringing chosen.
    TfrmSelSound* selSound();
    void nLoadSoundsClick();
    // The chooser's "Играть все по очереди" (false before the chooser exists).
    bool isPlayInTurnChecked() const;
    void uncheckPlayInTurn();

private:
    bool applyRingingLoad(const RingingLoadResult& result);
    bool applyRingingDocument(const RingingDocument& document);

    TChannels& m_channels;
    RingingLoaderHost& m_host;
    TfrmSelSound* m_selSound = nullptr;
};
