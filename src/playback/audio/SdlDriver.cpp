#include "playback/audio/SdlDriver.h"

#include "playback/audio/Mixer.h"

#include <cstring>

namespace audio {

std::unique_ptr<SdlDriver> SdlDriver::open(int wantedRate, int wantedFrames, std::string* error) {
    std::unique_ptr<SdlDriver> driver(new SdlDriver);
    // How the sound server lists the program's stream.
    // The program ends on SIGTERM and SIGINT itself (closing as its window
    // does); SDL would otherwise turn them into quit events nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Campanix");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Bells");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (error) {
            *error = SDL_GetError();
        }
        return nullptr;
    }
    driver->m_subsystemStarted = true;

    SDL_AudioSpec wanted{};
    wanted.freq = wantedRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(wantedFrames);
    wanted.callback = &SdlDriver::callback;
    wanted.userdata = driver.get();
    driver->m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &driver->m_spec,
                                           SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (driver->m_device == 0) {
        if (error) {
            *error = SDL_GetError();
        }
        return nullptr;
    }
    return driver;
}

SdlDriver::~SdlDriver() {
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
    }
    if (m_subsystemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlDriver::start(Mixer& mixer) {
    SDL_LockAudioDevice(m_device);
    m_mixer = &mixer;
    SDL_UnlockAudioDevice(m_device);
    SDL_PauseAudioDevice(m_device, 0);
}

void SdlDriver::stop() {
    if (m_device == 0) {
        return;
    }
    SDL_PauseAudioDevice(m_device, 1);
    // Waits for a callback in progress to end.
    SDL_LockAudioDevice(m_device);
    m_mixer = nullptr;
    SDL_UnlockAudioDevice(m_device);
}

std::string SdlDriver::backendName() const {
    const char* name = SDL_GetCurrentAudioDriver();
    return name ? name : "";
}

void SdlDriver::callback(void* userdata, Uint8* stream, int length) {
    auto* driver = static_cast<SdlDriver*>(userdata);
    const int frames = length / static_cast<int>(2 * sizeof(float));
    if (!driver->m_mixer) {
        std::memset(stream, 0, static_cast<std::size_t>(length));
        return;
    }
    driver->m_mixer->render(reinterpret_cast<float*>(stream), frames);
}

} // namespace audio
