#include "playback/audio/AudioEngine.h"

#include "playback/audio/NullDriver.h"
#include "playback/audio/SdlDriver.h"

namespace audio {

namespace {

MixerConfig mixerConfig(const AudioEngineOptions& options, int sampleRate) {
    MixerConfig config;
    config.sampleRate = sampleRate;
    config.voices = options.voices;
    config.busGain = options.busGain;
    config.voiceRate = options.samplesRate;
    return config;
}

} // namespace

std::unique_ptr<AudioEngine> AudioEngine::startRealtime(const AudioEngineOptions& options) {
    std::unique_ptr<AudioEngine> engine(new AudioEngine);
    std::unique_ptr<OutputDriver> driver;
    if (options.useDevice) {
        std::unique_ptr<SdlDriver> device =
            SdlDriver::open(options.sampleRate, options.bufferFrames, &engine->m_deviceError);
        if (device) {
            engine->m_backend = device->backendName();
            driver = std::move(device);
            engine->m_output = Output::Device;
        }
    }
    if (!driver) {
        driver = std::make_unique<NullDriver>(options.sampleRate, options.bufferFrames);
        engine->m_output = Output::Null;
    }
    engine->m_bufferFrames = driver->bufferFrames();
    engine->m_mixer = std::make_unique<Mixer>(mixerConfig(options, driver->sampleRate()));
    engine->m_samples = std::make_unique<SampleCache>(engine->m_mixer->voiceRate());
    engine->m_streams = std::make_unique<VoiceStreamer>(engine->m_mixer->voiceRate());
    engine->m_driver = std::move(driver);
    engine->m_driver->start(*engine->m_mixer);
    return engine;
}

std::unique_ptr<AudioEngine> AudioEngine::createOffline(const AudioEngineOptions& options) {
    std::unique_ptr<AudioEngine> engine(new AudioEngine);
    engine->m_output = Output::Offline;
    engine->m_bufferFrames = options.bufferFrames;
    engine->m_mixer = std::make_unique<Mixer>(mixerConfig(options, options.sampleRate));
    engine->m_samples = std::make_unique<SampleCache>(engine->m_mixer->voiceRate());
    engine->m_streams = std::make_unique<VoiceStreamer>(engine->m_mixer->voiceRate());
    return engine;
}

AudioEngine::~AudioEngine() {
    stop();
}

void AudioEngine::stop() {
    if (m_driver) {
        m_driver->stop();
    }
}

std::string AudioEngine::outputName() const {
    switch (m_output) {
    case Output::Device:
        return m_backend.empty() ? std::string("SDL2") : "SDL2 (" + m_backend + ")";
    case Output::Null:
        return "null";
    case Output::Offline:
        break;
    }
    return "offline";
}

} // namespace audio
