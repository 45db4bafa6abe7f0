#include "playback/SoundOutput.h"

#include "playback/DeviceVolume.h"

#include <QFile>

#include <random>

SoundOutput::SoundOutput(std::optional<int> sampleRate) {
    audio::AudioEngineOptions options;
    options.busGain = audio::kRingingBusGain;
    options.sampleRate = sampleRate.value_or(options.sampleRate);
    m_engine = audio::AudioEngine::startRealtime(options);
    m_mci = std::make_unique<MciInterpreter>(*m_engine);
    m_voices = std::make_unique<StrikeVoices>(*m_mci, std::random_device{}());
    m_releaseStreams = std::make_unique<ReleaseStreams>([this] { closeFinishedVoices(); });
}

SoundOutput::~SoundOutput() {
    m_releaseStreams->finish();
    m_releaseStreams.reset();
    m_voices.reset();
    m_mci.reset();
    m_engine.reset();
}

bool SoundOutput::onDevice() const {
    return m_engine->output() == audio::AudioEngine::Output::Device;
}

void SoundOutput::preloadFolder(const QString& folder) {
    if (folder.isEmpty() || folder == m_preloadedFolder) {
        return;
    }
    m_preloadedFolder = folder;
    m_engine->samples().preloadFolder(QFile::encodeName(folder).toStdString());
}

int SoundOutput::deviceLevel() const {
    return deviceLevelFromVolumes(m_engine->volumeLeft(), m_engine->volumeRight());
}

void SoundOutput::setDeviceLevel(int level) {
    const std::uint16_t channel = channelVolumeForLevel(level);
    m_engine->setVolume(channel, channel);
}
