#pragma once

#include "lessons/LessonVoices.h"
#include "playback/audio/Mixer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace audio {
class AudioEngine;
}

// A lesson voice played through the program's audio engine: the MP3 file is
// decoded on the sample cache's background thread (a spoken commentary of a
// few minutes must not freeze the window), then sounds as one voice of the
// mixer at the master volume, so the window's volume control governs it too.
// A play asked for while the file is still decoding starts as soon as it is
// ready; a missing or damaged file, or no engine at all, plays nothing.
class EngineVoice : public QObject, public LessonVoice {
    Q_OBJECT
public:
    // engine: gives the running engine, or null when there is none (before
    // start-up, after shutdown); asked afresh at every call.
    EngineVoice(std::function<audio::AudioEngine*()> engine, QString file, QObject* parent = nullptr);
    // Leaves the engine alone: at shutdown the engine may be gone already.
    ~EngineVoice() override = default;

    void playFromStart() override;
    void stop() override;

    const QString& file() const { return m_file; }
    // Sounding (or about to: the start is queued in the mixer).
    bool isPlaying() const;
    // A play is waiting for the file to finish decoding.
    bool isWaiting() const { return m_waiting; }

signals:
    // The voice has started sounding from its start.
    void started();

private:
    void pollDecoding();
    void startNow(audio::AudioEngine& engine);
    void closeVoice();

    std::function<audio::AudioEngine*()> m_engine;
    QString m_file;
    std::optional<audio::VoiceHandle> m_handle;
    // The engine the handle belongs to, so that a restarted engine never
    // receives a handle of the old one.
    audio::AudioEngine* m_handleEngine = nullptr;
    bool m_waiting = false;
    QTimer m_poll;
};
