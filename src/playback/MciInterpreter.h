#pragma once

#include "playback/audio/AudioEngine.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

// Error codes of the media-control commands; 0 is success.
enum MciError : int {
    kMciOk = 0,
    kMciUnrecognizedCommand = 1,
    kMciDuplicateAlias = 2,
    kMciUnknownAlias = 3,
    kMciFileNotFound = 4,
    kMciCannotDecode = 5,
    kMciOutOfVoices = 6,
    kMciBusy = 7,
    // The sample is still being converted: the voice stays silent.
    kMciSampleNotReady = 8,
};

// One parsed command string.
struct MciCommand {
    enum Kind { Open, Play, Status, Close };
    Kind kind = Open;
    QString alias;
    QString path; // Open only
};

// Parses exactly the four command strings the voices use:
//   open "waveaudio!<path>" alias <alias>
//   play <alias>
//   status <alias> mode
//   close <alias>
// The path may hold blanks; an alias is one word. Anything else is empty.
std::optional<MciCommand> parseMciCommand(const QString& command);

// The media-control command strings over the audio engine: open takes the
// decoded sample from the cache and reserves a voice under the alias, play
// starts it, status answers "playing" while it sounds, close releases it.
// Main thread only.
//
// Over a sound device (or the null driver) open never waits for a sample:
// one still being decoded or converted fails with kMciSampleNotReady and
// moves to the front of the cache's queue, so that strike is silent rather
// than late and the window never freezes. Offline, open waits: a rendered
// file must hold every strike.
class MciInterpreter {
public:
    explicit MciInterpreter(audio::AudioEngine& engine);
    ~MciInterpreter();

    MciInterpreter(const MciInterpreter&) = delete;
    MciInterpreter& operator=(const MciInterpreter&) = delete;

    // Runs one command and returns 0 or an MciError. `answer` receives the
    // reply of status ("playing" or "stopped"). `startFrame` places a play on
    // that frame of the engine's clock instead of at once; `gain` is the
    // voice's own loudness (a strike's velocity), 1 by default.
    int execute(const QString& command, QString* answer = nullptr,
                std::optional<std::int64_t> startFrame = std::nullopt, float gain = 1.0f);

    audio::AudioEngine& engine() { return m_engine; }
    std::optional<audio::VoiceHandle> voiceOf(const QString& alias) const;
    int openCount() const { return static_cast<int>(m_voices.size()); }

private:
    int open(const MciCommand& command);

    audio::AudioEngine& m_engine;
    QHash<QString, audio::VoiceHandle> m_voices;
};
