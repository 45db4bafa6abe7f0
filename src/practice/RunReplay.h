#pragma once

#include "practice/RunRecording.h"
#include "practice/StrikePlayer.h"

#include <QObject>
#include <QTimer>

class PracticeHost;

// Hears a practice run again through the program's sound: the recording's
// columns with the bells the loaded score gives them, and the learner's
// strikes, each on its frame. The score's cursor (and with it the page and
// the run's marks on it) follows the column sounding.
class RunReplay : public QObject {
    Q_OBJECT
public:
    explicit RunReplay(PracticeHost& host, QObject* parent = nullptr);

    // Stops the transport and plays; false, with nothing started, when there
    // is no sound or nothing to play.
    bool play(const RunRecording& recording, ReplayMode mode);
    void stop();
    bool isPlaying() const { return m_player.isPlaying(); }
    StrikePlayer& player() { return m_player; }

signals:
    // The last strike was handed to the engine (or the playing was stopped).
    void finished();

private:
    void follow();

    PracticeHost& m_host;
    StrikePlayer m_player;
    // The columns to show, frames from the start, and the next one.
    QList<RunRecording::Column> m_places;
    int m_nextPlace = 0;
    std::int64_t m_start = 0;
    QTimer m_follow;
};
