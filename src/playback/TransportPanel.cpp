#include "playback/TransportPanel.h"

#include "base/Logging.h"
#include "playback/FrameClock.h"
#include "playback/SoundOutput.h"
#include "playback/TransportPanelHost.h"
#include "playback/TransportText.h"
#include "ui/TUpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include <random>

namespace {

// The output's frame clock while the audio engine runs; the monotonic clock
// otherwise, so that the transport keeps time without an engine too.
class OutputFrameClock : public FrameClock {
public:
    explicit OutputFrameClock(TransportPanelHost& host) : m_host(host) {}
    std::int64_t currentFrame() const override {
        const SoundOutput* sound = m_host.soundOutput();
        return sound ? sound->frameClock() : m_steady.currentFrame();
    }
    int sampleRate() const override {
        const SoundOutput* sound = m_host.soundOutput();
        return sound ? sound->sampleRate() : m_steady.sampleRate();
    }

private:
    TransportPanelHost& m_host;
    SteadyFrameClock m_steady;
};

} // namespace

TransportPanel::TransportPanel(const Controls& controls, TransportPanelHost& host, QObject* parent)
    : QObject(parent), m_controls(controls), m_host(host) {}

TransportPanel::~TransportPanel() = default;

Sequencer& TransportPanel::sequencer() {
    if (!m_sequencer) {
        if (!m_frameClock) {
            m_frameClock = std::make_unique<OutputFrameClock>(m_host);
        }
        m_sequencer = std::make_unique<Sequencer>(m_state, static_cast<TransportHost&>(*this), *m_frameClock);
    }
    return *m_sequencer;
}

Generator& TransportPanel::generator() {
    if (!m_generator) {
        sequencer();
        m_generator =
            std::make_unique<Generator>(m_state, static_cast<GeneratorHost&>(*this), std::random_device{}());
    }
    return *m_generator;
}

void TransportPanel::setup() {
    // The timer runs once per column, re-armed for the next column's time.
    m_controls.timer->setSingleShot(true);
    connect(m_controls.page, &TUpDown::positionChanged, m_controls.pageEdit,
            [this](int position) { m_controls.pageEdit->setText(QString::number(position)); });
    sequencer();
    FindVolumeDevices();
    ShowTempo();
    showVolumeLevel();
}

bool TransportPanel::isPlaying() const {
    // Play pressed and waiting for the bells' sounds counts as playing.
    return m_sequencer && (m_sequencer->isRunning() || m_sequencer->waitingForSounds());
}

void TransportPanel::setSequencerInterval(int milliseconds) {
    sequencer().setInterval(milliseconds);
}

void TransportPanel::applyRingingRanges(transport::RingingLoader loader) {
    sequencer().applyLoaderRanges(loader);
}

void TransportPanel::restorePlayPlace(int column) {
    sequencer().restorePlace(column);
}

void TransportPanel::playRange(int first, int last, bool loops) {
    sequencer().playRange(first, last, loops);
}

// ---- transport ----

void TransportPanel::btnPlayClick() {
    if (m_host.exportMode()) {
        // Started with "html": Play exports the library's scores instead, every time.
        m_host.exportHtml();
        return;
    }
    sequencer().play();
}

void TransportPanel::playAt(std::int64_t firstFrame) {
    sequencer().playAt(firstFrame);
}

void TransportPanel::btnPauseClick() {
    sequencer().pause();
}

void TransportPanel::btnStopClick() {
    sequencer().stop();
}

void TransportPanel::btnRewClick() {
    sequencer().rewind();
}

void TransportPanel::btnFFClick() {
    sequencer().fastForward();
}

void TransportPanel::mmTimerTimer() {
    sequencer().tick();
}

void TransportPanel::tbProgressChange() {
    sequencer().sliderMoved(m_controls.progress->value());
}

void TransportPanel::udPageClick() {
    m_controls.pageEdit->setText(QString::number(m_controls.page->position()));
    sequencer().pageChosen(m_controls.page->position());
}

void TransportPanel::ResetPlayback() {
    sequencer().resetPlayback();
}

void TransportPanel::PlayNextInTurn() {
    // The chooser's highlighted list ringing, loaded with its ensemble; the
    // tick that called this then plays it from column 0.
    const QString name = m_host.highlightedRinging();
    if (name.isEmpty()) {
        return;
    }
    if (!m_host.loadListRinging(name)) {
        qCWarning(lcPlayback) << "next ringing in turn did not load:" << name;
        return;
    }
    sequencer().enableTimer();
}

void TransportPanel::ShowPlayTime() {
    sequencer().showPlayTime();
}

void TransportPanel::ShowTotalDuration() {
    sequencer().showTotalDuration();
}

// ---- tempo ----

void TransportPanel::ShowTempo() {
    sequencer().showTempo();
}

void TransportPanel::tbTempChange() {
    sequencer().tempoSliderMoved(m_controls.tempoSlider->value());
}

void TransportPanel::nTempUpClick() {
    sequencer().faster();
}

void TransportPanel::nTempDownClick() {
    sequencer().slower();
}

// ---- volume ----

void TransportPanel::FindVolumeDevices() {
    // Of the output kinds only the wave output counts: the engine's master
    // gain, present whenever the engine runs (with a device or without).
    m_waveVolumeDevice = m_host.soundOutput() != nullptr;
}

int TransportPanel::deviceLevel() const {
    const SoundOutput* sound = m_waveVolumeDevice ? m_host.soundOutput() : nullptr;
    return sound ? sound->deviceLevel() : 0;
}

void TransportPanel::showVolumeLevel() {
    const int level = deviceLevel();
    {
        const QSignalBlocker quiet(m_controls.volumeSlider);
        m_controls.volumeSlider->setValue(transport::volumeSliderPosition(level));
    }
    m_controls.volume->setText(transport::volumeCaption(level));
}

void TransportPanel::tbVolumeChange() {
    const int level = transport::levelForVolumeSlider(m_controls.volumeSlider->value());
    SoundOutput* sound = m_host.soundOutput();
    if (m_waveVolumeDevice && sound) {
        sound->setDeviceLevel(level);
    }
    m_controls.volume->setText(transport::volumeCaption(level));
}

void TransportPanel::nVolumeUpClick() {
    setVolumeLevel(transport::louderLevel(deviceLevel()));
}

void TransportPanel::nVolumeDownClick() {
    setVolumeLevel(transport::softerLevel(deviceLevel()));
}

void TransportPanel::setVolumeLevel(int level) {
    {
        const QSignalBlocker quiet(m_controls.volumeSlider);
        m_controls.volumeSlider->setValue(transport::volumeSliderPosition(level));
    }
    // Set here, not only through the slider: a slider already at the
    // position would leave a device changed elsewhere at its old level.
    SoundOutput* sound = m_host.soundOutput();
    if (m_waveVolumeDevice && sound) {
        sound->setDeviceLevel(level);
    }
    m_controls.volume->setText(transport::volumeCaption(level));
}

// ---- generator ----

void TransportPanel::nGeneratorClick() {
    generator().start();
}

void TransportPanel::GenerateNext() {
    generator().generateNext();
}

// ---- the sequencer's and the generator's host ----

int TransportPanel::commonScoreSize() const {
    return m_host.commonScoreSize();
}

void TransportPanel::clearScores() {
    m_host.clearScores();
}

void TransportPanel::soundColumn(int column, std::int64_t idealFrame) {
    m_host.soundColumn(column, idealFrame);
}

void TransportPanel::cancelSoundsFrom(std::int64_t idealFrame) {
    if (SoundOutput* sound = m_host.soundOutput()) {
        sound->voices().cancelFrom(idealFrame);
    }
}

std::int64_t TransportPanel::soundLeadFrames() const {
    const SoundOutput* sound = m_host.soundOutput();
    return sound ? sound->leadFrames() : 0;
}

void TransportPanel::strikeColumn(int column, std::int64_t idealFrame) {
    m_host.strikeColumn(column, idealFrame);
}

bool TransportPanel::soundsReady() {
    SoundOutput* sound = m_host.soundOutput();
    if (!sound) {
        return true;
    }
    bool ready = true;
    for (const QString& path : m_host.samplesForPlay()) {
        switch (sound->sampleState(path)) {
        case SoundOutput::SampleState::Missing:
        case SoundOutput::SampleState::Ready:
            break;
        case SoundOutput::SampleState::Converting:
            ready = false;
            break;
        case SoundOutput::SampleState::Absent:
            // Absent once asked for: it failed to decode, and its strikes
            // are silent; nothing to wait for.
            if (!m_askedForPlay.contains(path)) {
                m_askedForPlay.append(path);
                sound->askForSample(path);
                ready = false;
            }
            break;
        }
    }
    if (ready) {
        m_askedForPlay.clear();
    }
    return ready;
}

void TransportPanel::showWaitingForSounds(bool waiting) {
    m_host.showStatusMessage(waiting ? QStringLiteral("Звуки колоколов готовятся к звону...") : QString());
}

void TransportPanel::soundsChanged() {
    if (m_sequencer) {
        m_sequencer->soundsChanged();
    }
}

void TransportPanel::sweepFinishedVoices() {
    // A release worker hands the sweep back to the main thread.
    if (SoundOutput* sound = m_host.soundOutput()) {
        sound->startReleaseStream();
    }
}

bool TransportPanel::notesShown() const {
    return m_host.notesShown();
}

void TransportPanel::redrawScore() {
    m_host.redrawScore();
}

void TransportPanel::placeScoreCursor() {
    m_host.placeScoreCursor();
}

void TransportPanel::resetScoreView() {
    m_host.resetScoreView();
}

void TransportPanel::resetAnimation() {
    m_host.resetAnimation();
}

bool TransportPanel::playAllInTurn() const {
    return m_host.playAllInTurn();
}

void TransportPanel::uncheckPlayAllInTurn() {
    m_host.uncheckPlayAllInTurn();
}

void TransportPanel::selectNextInTurn() {
    m_host.selectNextInTurn();
}

void TransportPanel::playNextInTurn() {
    PlayNextInTurn();
}

void TransportPanel::generateNext() {
    GenerateNext();
}

int TransportPanel::sliderPosition() const {
    return m_controls.progress->value();
}

void TransportPanel::setSliderPosition(int position, bool notify) {
    // A notified change reaches the sequencer through the slider's own signal.
    if (notify) {
        m_controls.progress->setValue(position);
        return;
    }
    const QSignalBlocker quiet(m_controls.progress);
    m_controls.progress->setValue(position);
}

void TransportPanel::setSliderMaximum(int maximum) {
    const QSignalBlocker quiet(m_controls.progress);
    m_controls.progress->setMaximum(maximum);
}

void TransportPanel::setSliderEnabled(bool enabled) {
    m_controls.progress->setEnabled(enabled);
}

void TransportPanel::setPagePosition(int position) {
    m_controls.page->setPosition(position);
    m_controls.pageEdit->setText(QString::number(m_controls.page->position()));
}

void TransportPanel::setPageMaximum(int maximum) {
    m_controls.page->setMax(maximum);
    m_controls.pageEdit->setText(QString::number(m_controls.page->position()));
}

void TransportPanel::setPageEnabled(bool enabled) {
    m_controls.page->setEnabled(enabled);
    m_controls.pageEdit->setEnabled(enabled);
}

void TransportPanel::showPlayTime(const QString& text) {
    m_controls.playTime->setText(text);
}

void TransportPanel::showTotalDuration(const QString& text) {
    m_controls.progress->setToolTip(text);
    m_controls.duration->setText(text);
}

void TransportPanel::showTempoCaption(const QString& text) {
    m_controls.tempo->setText(text);
}

int TransportPanel::tempoSliderPosition() const {
    return m_controls.tempoSlider->value();
}

void TransportPanel::setTempoSliderPosition(int position, bool notify) {
    if (notify) {
        m_controls.tempoSlider->setValue(position);
        return;
    }
    const QSignalBlocker quiet(m_controls.tempoSlider);
    m_controls.tempoSlider->setValue(position);
}

void TransportPanel::scheduleTick(int milliseconds) {
    m_controls.timer->start(milliseconds);
}

void TransportPanel::cancelTick() {
    m_controls.timer->stop();
}

int TransportPanel::selectedBellCount() const {
    return m_host.selectedBellCount();
}

int TransportPanel::groupItemCount(int group) const {
    return m_host.groupItemCount(group);
}

int TransportPanel::groupItemIndex(int group) const {
    return m_host.groupItemIndex(group);
}

void TransportPanel::chooseGroupRinging(int group, int index) {
    m_host.chooseGroupRinging(group, index);
}

bool TransportPanel::sequencerRunning() const {
    return isPlaying();
}

void TransportPanel::play() {
    btnPlayClick();
}
