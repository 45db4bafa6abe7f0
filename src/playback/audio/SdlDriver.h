#pragma once

#include "playback/audio/OutputDriver.h"

#include <SDL.h>

#include <memory>
#include <string>

namespace audio {

// The sound device through SDL2 audio: float32 stereo at 48 kHz or the
// device's own rate, with a small buffer (the requested size where the
// device allows it). SDL converts if the device wants another format.
class SdlDriver : public OutputDriver {
public:
    // Opens the default output device, paused. Null (with `error` set) when
    // there is no usable device.
    static std::unique_ptr<SdlDriver> open(int wantedRate, int wantedFrames, std::string* error);
    ~SdlDriver() override;

    const char* name() const override { return "SDL2"; }
    int sampleRate() const override { return m_spec.freq; }
    int bufferFrames() const override { return m_spec.samples; }
    void start(Mixer& mixer) override;
    void stop() override;
    // The SDL audio driver in use ("pulseaudio", "alsa", "dummy", ...).
    std::string backendName() const;

private:
    SdlDriver() = default;
    static void callback(void* userdata, Uint8* stream, int length);

    SDL_AudioDeviceID m_device = 0;
    SDL_AudioSpec m_spec{};
    Mixer* m_mixer = nullptr;
    bool m_subsystemStarted = false;
};

} // namespace audio
