#pragma once

#include "playback/audio/Mixer.h"
#include "playback/audio/OutputDriver.h"
#include "playback/audio/SampleCache.h"
#include "playback/audio/VoiceStreamer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace audio {

// The bus headroom of the program and of the renderer: one bell peaks near
// full scale on its own, and a fast ringing of fifteen long-ringing bells
// sums about 10 dB above one. At -7 dB a single strike still peaks near
// -9 dBFS while dense ringings stay mostly below the limiter.
inline constexpr float kRingingBusGain = 0.45f;

struct AudioEngineOptions {
    int sampleRate = 48000;
    int bufferFrames = 256;
    // Voices sounding at once before the quietest is taken over: fast
    // ringing of long-ringing bells keeps several hundred alive.
    int voices = 512;
    // Gain of the bus before the volume and the limiter (see kRingingBusGain).
    float busGain = 1.0f;
    // Try the sound device first; when false (or when it fails) the null
    // driver keeps time instead.
    bool useDevice = true;
    // The rate of the installation's samples. At another device rate the
    // voices are mixed at this one and their sum interpolated to the
    // device's (see MixerConfig::voiceRate), so samples play as decoded.
    int samplesRate = 48000;
};

// The audio engine of the program: the sample cache, the voice pool with its
// master bus, and one driver calling the mixer. Real-time engines run the
// sound device through SDL2, or the null driver when no device opens; an
// offline engine has no driver and is rendered by an OfflineRenderer.
class AudioEngine {
public:
    enum class Output { Device, Null, Offline };

    // Scheduling lead: a sequencer strike sounds this long after the ideal
    // time of its column, so that a main thread that is late by less than
    // this still starts it on its exact frame.
    static constexpr int kSchedulingLeadMs = 30;

    static std::unique_ptr<AudioEngine> startRealtime(const AudioEngineOptions& options);
    static std::unique_ptr<AudioEngine> createOffline(const AudioEngineOptions& options);
    ~AudioEngine();

    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    Output output() const { return m_output; }
    // "SDL2 (pulseaudio)", "null" or "offline".
    std::string outputName() const;
    // Why the sound device did not open (empty when it did or was not tried).
    const std::string& deviceError() const { return m_deviceError; }

    SampleCache& samples() { return *m_samples; }
    // Long sounds (lesson voices) decoded as they play.
    VoiceStreamer& streams() { return *m_streams; }
    Mixer& mixer() { return *m_mixer; }
    const Mixer& mixer() const { return *m_mixer; }

    int sampleRate() const { return m_mixer->sampleRate(); }
    int bufferFrames() const { return m_bufferFrames; }
    std::int64_t frameClock() const { return m_mixer->frameClock(); }
    std::int64_t schedulingLeadFrames() const {
        return static_cast<std::int64_t>(sampleRate()) * kSchedulingLeadMs / 1000;
    }

    // The device volume: the master gain of each channel as a 16-bit value.
    // The engine always has it, whatever the driver.
    void setVolume(std::uint16_t left, std::uint16_t right) { m_mixer->setMasterVolume(left, right); }
    std::uint16_t volumeLeft() const { return m_mixer->masterVolumeLeft(); }
    std::uint16_t volumeRight() const { return m_mixer->masterVolumeRight(); }

    // Stops the driver: no more render calls after this returns.
    void stop();

private:
    AudioEngine() = default;

    Output m_output = Output::Offline;
    int m_bufferFrames = 256;
    std::string m_deviceError;
    std::string m_backend;
    // Destroyed in reverse: the driver stops before the mixer goes, and the
    // mixer before the samples and streams its voices point at.
    std::unique_ptr<SampleCache> m_samples;
    std::unique_ptr<VoiceStreamer> m_streams;
    std::unique_ptr<Mixer> m_mixer;
    std::unique_ptr<OutputDriver> m_driver;
};

} // namespace audio
