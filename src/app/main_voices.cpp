// Handlers of the strike voices: the hand strike, the columns of the common
// score, the sweep of finished voices, and the audio engine under them.

#include "app/TfrmMain.h"
#include "playback/DeviceVolume.h"
#include "practice/Trainer.h"
#include "animation/AnimationWorkers.h"

#include <QFile>

#include <random>

namespace {

// The output rate asked of the sound device: CAMPANIX_SAMPLE_RATE when it
// names a rate from 8000 to 192000 Hz, 48000 otherwise. The device may still
// choose another rate; the samples are converted to whatever it runs at.
std::optional<int> outputRateFromEnvironment() {
    bool ok = false;
    const int rate = qEnvironmentVariableIntValue("CAMPANIX_SAMPLE_RATE", &ok);
    return ok && rate >= 8000 && rate <= 192000 ? std::optional<int>(rate) : std::nullopt;
}

} // namespace

void TfrmMain::startAudio() {
    audio::AudioEngineOptions options;
    options.busGain = audio::kRingingBusGain;
    options.sampleRate = outputRateFromEnvironment().value_or(options.sampleRate);
    m_audio = audio::AudioEngine::startRealtime(options);
    m_mci = std::make_unique<MciInterpreter>(*m_audio);
    m_voices = std::make_unique<StrikeVoices>(*m_mci, std::random_device{}());
    m_releaseStreams = std::make_unique<ReleaseStreams>([this] { CloseFinishedVoices(); });
    if (m_audio->output() != audio::AudioEngine::Output::Device) {
        showStatusMessage(QStringLiteral("Звуковое устройство недоступно: программа работает без звука"));
    }
    preloadSampleFolder();
}

void TfrmMain::stopAudio() {
    if (m_releaseStreams) {
        m_releaseStreams->finish();
    }
    m_releaseStreams.reset();
    m_voices.reset();
    m_mci.reset();
    m_audio.reset();
}

void TfrmMain::preloadSampleFolder() {
    // Runs at start-up and at once on a change of model row or stereo switch,
    // so that the set is converted in the background before it is struck.
    if (!m_audio || !m_paths || m_paths->sampleFolder() == m_preloadedFolder) {
        return;
    }
    m_preloadedFolder = m_paths->sampleFolder();
    m_audio->samples().preloadFolder(QFile::encodeName(m_preloadedFolder).toStdString());
}

StrikeSwitches TfrmMain::strikeSwitches() const {
    StrikeSwitches switches;
    switches.groupSounds = {cbSmall->isChecked(), cbMiddle->isChecked(), cbBig->isChecked()};
    switches.groupAnimated = {isGroupAnimated(0), isGroupAnimated(1), isGroupAnimated(2)};
    switches.showMovie = cbShowMovie->isChecked();
    for (int bell = 0; bell < kBellCount && m_trainer; ++bell) {
        switches.bellSilenced[static_cast<std::size_t>(bell)] = m_trainer->silences(bell);
    }
    return switches;
}

int TfrmMain::BellForToken(QChar letter, int position) const {
    return ::BellForToken(m_ensemble, letter, position);
}

QStringList TfrmMain::ColumnSampleFiles(int column) {
    if (commonScoreSize() == 0) {
        return {};
    }
    const ColumnStrikes strikes =
        ::ColumnSampleFiles(commonScoreLine(column), m_ensemble, strikeSwitches(), m_paths->sampleFolder(),
                            [this](int bell) { return bellSampleFileName(bell); });
    // Each struck bell's frame through the strike worker, which is handed
    // the bell first.
    for (int bell : strikes.animatedBells) {
        if (m_animationWorkers) {
            m_animationWorkers->showStrikeFrame(bell);
        } else {
            ShowStrikeFrame(bell);
        }
    }
    return strikes.sampleFiles;
}

void TfrmMain::StrikeColumn(int column, std::optional<std::int64_t> idealFrame) {
    if (m_trainer && idealFrame) {
        m_trainer->columnStruck(column, *idealFrame);
    }
    if (!m_voices) {
        return;
    }
    preloadSampleFolder();
    const QStringList files = ColumnSampleFiles(column);
    if (m_channels) {
        m_channels->voiceFiles() = files;
    }
    m_voices->strikeColumn(files, idealFrame);
    if (cbShowMovie->isChecked() && !files.isEmpty()) {
        mmResetTimer->start();
    }
}

void TfrmMain::HandStrike(int bell) {
    if (!m_voices) {
        return;
    }
    preloadSampleFolder();
    const QString path = m_paths->sampleFolder() + bellSampleFileName(bell);
    if (!requiredFiles().check(path)) {
        return;
    }
    m_voices->sound(path, kHandStrikeAliasMax);
    if (cbShowMovie->isChecked()) {
        ShowStrikeFrame(bell);
        mmResetTimer->start();
    }
}

void TfrmMain::CloseFinishedVoices() {
    if (m_voices) {
        m_voices->closeFinishedVoices();
    }
}

int TfrmMain::SendMci(const QString& command) {
    return m_voices ? m_voices->sendMci(command) : kMciBusy;
}

bool TfrmMain::IsVoicePlaying(const QString& alias) {
    return m_voices && m_voices->isVoicePlaying(alias);
}

void TfrmMain::startReleaseStream() {
    if (m_releaseStreams) {
        m_releaseStreams->start();
    }
}

std::int64_t TfrmMain::audioFrameClock() const {
    return m_audio ? m_audio->frameClock() : 0;
}

int TfrmMain::audioSampleRate() const {
    return m_audio ? m_audio->sampleRate() : audio::AudioEngineOptions{}.sampleRate;
}

int TfrmMain::GetDeviceVolume() const {
    if (!m_audio) {
        return 0;
    }
    return deviceLevelFromVolumes(m_audio->volumeLeft(), m_audio->volumeRight());
}

void TfrmMain::SetDeviceVolume(int level) {
    if (!m_audio) {
        return;
    }
    const std::uint16_t channel = channelVolumeForLevel(level);
    m_audio->setVolume(channel, channel);
}

bool TfrmMain::hasWaveVolumeDevice() const {
    return m_audio != nullptr;
}
