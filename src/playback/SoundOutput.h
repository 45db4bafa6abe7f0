#pragma once

#include "playback/MciInterpreter.h"
#include "playback/ReleaseStreams.h"
#include "playback/StrikeVoices.h"
#include "playback/audio/AudioEngine.h"

#include <QList>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

// The program's sound: the audio engine on the sound device (or running
// silently on the null output), the voice commands over it, the strike
// voices, and the streams that close finished voices on the main thread.
// Created once at start-up; main thread only.
class SoundOutput {
public:
    // sampleRate: the rate to ask of the device (it may choose another).
    explicit SoundOutput(std::optional<int> sampleRate);
    // Serves the release streams' pending hand-overs and waits for them
    // before the voices and the engine go.
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // False when no device could be opened and the engine runs silently.
    bool onDevice() const;
    audio::AudioEngine& engine() { return *m_engine; }
    StrikeVoices& voices() { return *m_voices; }

    // Decodes every sample of `folder` in the background, once per folder,
    // so that a new set is converted before it is struck.
    void preloadFolder(const QString& folder);
    // Where a sample stands for Play's wait: no such file, not asked for (or
    // failed to decode), being converted, or ready at the output's rate.
    enum class SampleState { Missing, Absent, Converting, Ready };
    SampleState sampleState(const QString& path) const;
    // Asks for the sample ahead of everything else the cache has to do.
    void askForSample(const QString& path);

    // A hand (key) strike of the sample at `path`: at once when it is ready,
    // otherwise as soon as it is, late by the wait. `gain`: the strike's
    // loudness (a MIDI strike's velocity), 1 for a key.
    void strikeByHand(const QString& path, float gain = 1.0f);
    // Hand strikes that had to wait for their sample, and the longest wait.
    int lateHandStrikes() const { return m_lateHandStrikes; }
    std::int64_t longestHandWaitFrames() const { return m_longestHandWait; }

    // How long after its ideal frame a sequencer column sounds.
    std::int64_t leadFrames() const { return m_engine->schedulingLeadFrames(); }

    // Closes the voices that have finished sounding.
    void closeFinishedVoices() { m_voices->closeFinishedVoices(); }
    // Starts a release stream that hands closeFinishedVoices to the main thread.
    void startReleaseStream() { m_releaseStreams->start(); }

    // The clock the sequencer anchors its columns to: frames rendered so
    // far, at sampleRate() frames per second.
    std::int64_t frameClock() const { return m_engine->frameClock(); }
    int sampleRate() const { return m_engine->sampleRate(); }
    // The device level 0..255 as the two 16-bit channel volumes give it.
    int deviceLevel() const;
    void setDeviceLevel(int level);

private:
    std::unique_ptr<audio::AudioEngine> m_engine;
    std::unique_ptr<MciInterpreter> m_mci;
    std::unique_ptr<StrikeVoices> m_voices;
    std::unique_ptr<ReleaseStreams> m_releaseStreams;
    void strikeWaitingHands();

    QString m_preloadedFolder;
    // Hand strikes waiting for their sample, each with the frame it was asked at.
    struct WaitingHand {
        QString path;
        std::int64_t askedAt = 0;
        float gain = 1.0f;
    };
    QList<WaitingHand> m_waitingHands;
    QTimer m_handPoll;
    int m_lateHandStrikes = 0;
    std::int64_t m_longestHandWait = 0;
};
