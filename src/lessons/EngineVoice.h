#pragma once

#include "lessons/LessonVoices.h"
#include "playback/audio/Mixer.h"
#include "playback/audio/VoiceStreamer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace audio {
class AudioEngine;
}

// A lesson voice played through the program's audio engine: the MP3 file is
// decoded a block at a time by the engine's voice streamer while it plays (a
// spoken commentary of a few minutes must neither freeze the window nor sit
// whole in memory), and sounds as one voice of the mixer at the master
// volume, so the window's volume control governs it too. A play starts as
// soon as the first quarter second is decoded; a missing or damaged file,
// or no engine at all, plays nothing.
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
    // A play is waiting for the start of the file to be decoded.
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
    std::shared_ptr<audio::VoiceStreamer::Stream> m_stream;
    std::optional<audio::VoiceHandle> m_handle;
    // The engine the handle belongs to, so that a restarted engine never
    // receives a handle of the old one.
    audio::AudioEngine* m_handleEngine = nullptr;
    bool m_waiting = false;
    QTimer m_poll;
};
