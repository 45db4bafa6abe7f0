#include "playback/SoundOutput.h"

#include "playback/DeviceVolume.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <random>

SoundOutput::SoundOutput(std::optional<int> sampleRate) {
    audio::AudioEngineOptions options;
    options.busGain = audio::kRingingBusGain;
    options.sampleRate = sampleRate.value_or(options.sampleRate);
    m_engine = audio::AudioEngine::startRealtime(options);
    m_mci = std::make_unique<MciInterpreter>(*m_engine);
    m_voices = std::make_unique<StrikeVoices>(*m_mci, std::random_device{}());
    m_releaseStreams = std::make_unique<ReleaseStreams>([this] { closeFinishedVoices(); });
    // A waiting hand strike is looked at every 2 ms: a tenth of what a
    // listener notices, and nothing runs while none waits.
    m_handPoll.setInterval(2);
    m_handPoll.callOnTimeout([this] { strikeWaitingHands(); });
}

SoundOutput::SampleState SoundOutput::sampleState(const QString& path) const {
    if (!QFileInfo(path).isFile()) {
        return SampleState::Missing;
    }
    switch (m_engine->samples().availability(QFile::encodeName(path).toStdString())) {
    case audio::SampleCache::Availability::Ready:
        return SampleState::Ready;
    case audio::SampleCache::Availability::Decoding:
        return SampleState::Converting;
    case audio::SampleCache::Availability::Absent:
        break;
    }
    return SampleState::Absent;
}

void SoundOutput::askForSample(const QString& path) {
    m_engine->samples().tryGet(QFile::encodeName(path).toStdString());
}

void SoundOutput::strikeByHand(const QString& path, float gain) {
    SampleState state = sampleState(path);
    if (state == SampleState::Absent) {
        askForSample(path);
        state = sampleState(path);
    }
    if (state == SampleState::Converting) {
        m_waitingHands.append({path, m_engine->frameClock(), gain});
        m_handPoll.start();
        return;
    }
    // Ready, or a missing file (whose strike is silent as before).
    m_voices->sound(path, kHandStrikeAliasMax, std::nullopt, gain);
}

void SoundOutput::strikeWaitingHands() {
    for (qsizetype i = 0; i < m_waitingHands.size();) {
        const WaitingHand hand = m_waitingHands.at(i);
        const SampleState state = sampleState(hand.path);
        if (state == SampleState::Converting) {
            ++i;
            continue;
        }
        m_waitingHands.removeAt(i);
        if (state == SampleState::Ready) {
            m_voices->sound(hand.path, kHandStrikeAliasMax, std::nullopt, hand.gain);
            ++m_lateHandStrikes;
            m_longestHandWait = std::max(m_longestHandWait, m_engine->frameClock() - hand.askedAt);
        }
    }
    if (m_waitingHands.isEmpty()) {
        m_handPoll.stop();
    }
}

SoundOutput::~SoundOutput() {
    m_handPoll.stop();
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
