// Handlers of the strike voices: the hand strike, the columns of the common
// score, the sweep of finished voices, and the audio engine under them.

#include "animation/AnimationWorkers.h"
#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/Ensemble.h"
#include "desktop/FirstShown.h"
#include "playback/ColumnStrikes.h"
#include "playback/SoundOutput.h"
#include "practice/Trainer.h"
#include "ringing/RingingChoices.h"

namespace {

// A window that is never painted (hidden, or a platform that paints
// nothing) still gets its samples decoded ahead of the strikes.
constexpr int kPreloadFallbackMs = 300;

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
    m_sound = std::make_unique<SoundOutput>(outputRateFromEnvironment());
    if (!m_sound->onDevice()) {
        showStatusMessage(QStringLiteral("Звуковое устройство недоступно: программа работает без звука"));
    }
    // The set decodes once the window is up: its decoding threads would take
    // the processor from the window's first pictures (on two cores they more
    // than double the time to the window). A strike asked for before then
    // decodes its own sample first, as ever.
    whenFirstShown(
        *this, [this] { guarded([this] { preloadSampleFolder(); }); }, kPreloadFallbackMs);
}

void TfrmMain::preloadSampleFolder() {
    // Runs at start-up and at once on a change of model row or stereo switch,
    // so that the set is converted in the background before it is struck.
    if (m_sound && m_paths) {
        m_sound->preloadFolder(m_paths->sampleFolder());
    }
}

StrikeSwitches TfrmMain::strikeSwitches() const {
    StrikeSwitches switches;
    switches.groupSounds = {cbSmall->isChecked(), cbMiddle->isChecked(), cbBig->isChecked()};
    switches.groupAnimated = {m_ringingChoices->isGroupAnimated(0), m_ringingChoices->isGroupAnimated(1),
                              m_ringingChoices->isGroupAnimated(2)};
    switches.showMovie = cbShowMovie->isChecked();
    for (int bell = 0; bell < kBellCount && m_trainer; ++bell) {
        switches.bellSilenced[static_cast<std::size_t>(bell)] = m_trainer->silences(bell);
    }
    return switches;
}

int TfrmMain::BellForToken(QChar letter, int position) const {
    return ::BellForToken(ensemble(), letter, position);
}

QStringList TfrmMain::ColumnSampleFiles(int column) {
    if (commonScoreSize() == 0) {
        return {};
    }
    const ColumnStrikes strikes =
        ::ColumnSampleFiles(commonScoreLine(column), ensemble(), strikeSwitches(), m_paths->sampleFolder(),
                            [this](int bell) { return bells().bellSampleFileName(bell); });
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
    if (!m_sound) {
        return;
    }
    const QStringList files = ColumnSampleFiles(column);
    if (m_channels) {
        m_channels->voiceFiles() = files;
    }
    // The column sounds already: the engine was handed it ahead of its frame.
    if (cbShowMovie->isChecked() && !files.isEmpty()) {
        mmResetTimer->start();
    }
}

void TfrmMain::HandStrike(int bell, float gain) {
    // A place of one's own belfry without a bell has nothing to sound.
    if (!m_sound || !bells().hasBell(bell)) {
        return;
    }
    preloadSampleFolder();
    const QString path = m_paths->sampleFolder() + bells().bellSampleFileName(bell);
    if (!m_required.check(path)) {
        return;
    }
    m_sound->strikeByHand(path, gain);
    if (cbShowMovie->isChecked()) {
        ShowStrikeFrame(bell);
        mmResetTimer->start();
    }
}

void TfrmMain::playSampleFile(const QString& path) {
    if (m_sound) {
        m_sound->strikeByHand(path);
    }
}

void TfrmMain::CloseFinishedVoices() {
    if (m_sound) {
        m_sound->closeFinishedVoices();
    }
}

int TfrmMain::audioSampleRate() const {
    return m_sound ? m_sound->sampleRate() : audio::AudioEngineOptions{}.sampleRate;
}

int TfrmMain::GetDeviceVolume() const {
    return m_sound ? m_sound->deviceLevel() : 0;
}

StrikeVoices* TfrmMain::strikeVoices() {
    return m_sound ? &m_sound->voices() : nullptr;
}

audio::AudioEngine* TfrmMain::audioEngine() {
    return m_sound ? &m_sound->engine() : nullptr;
}
