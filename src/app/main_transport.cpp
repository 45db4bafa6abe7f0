// Handlers of the transport, tempo, volume and the generator. Each reads its
// control and hands the work to the sequencer or the generator.

#include "app/TfrmMain.h"
#include "output/OutputController.h"
#include "ringing/TfrmSelSound.h"

#include <QSignalBlocker>

#include <random>

namespace {

// The output's frame clock while the audio engine runs; the monotonic clock
// otherwise, so that the transport keeps time without an engine too.
class WindowFrameClock : public FrameClock {
public:
    explicit WindowFrameClock(TfrmMain& window) : m_window(window) {}
    std::int64_t currentFrame() const override {
        return m_window.audioEngine() ? m_window.audioFrameClock() : m_steady.currentFrame();
    }
    int sampleRate() const override {
        return m_window.audioEngine() ? m_window.audioSampleRate() : m_steady.sampleRate();
    }

private:
    TfrmMain& m_window;
    SteadyFrameClock m_steady;
};

} // namespace

Sequencer& TfrmMain::sequencer() {
    if (!m_sequencer) {
        if (!m_transportHost) {
            m_transportHost = std::make_unique<MainTransportHost>(*this);
        }
        if (!m_frameClock) {
            m_frameClock = std::make_unique<WindowFrameClock>(*this);
        }
        m_sequencer = std::make_unique<Sequencer>(m_transport, *m_transportHost, *m_frameClock);
    }
    return *m_sequencer;
}

Generator& TfrmMain::generator() {
    if (!m_generator) {
        sequencer();
        m_generator = std::make_unique<Generator>(m_transport, *m_transportHost, std::random_device{}());
    }
    return *m_generator;
}

void TfrmMain::setupTransport() {
    // The timer runs once per column, re-armed for the next column's time.
    mmTimer->setSingleShot(true);
    connect(udPage, &TUpDown::positionChanged, edPage,
            [this](int position) { edPage->setText(QString::number(position)); });
    sequencer();
    FindVolumeDevices();
    ShowTempo();
    showVolumeLevel();
}

bool TfrmMain::isPlaying() const {
    return m_sequencer && m_sequencer->isRunning();
}

int TfrmMain::sequencerInterval() const {
    return m_transport.interval;
}

void TfrmMain::setSequencerInterval(int milliseconds) {
    sequencer().setInterval(milliseconds);
}

void TfrmMain::applyRingingRanges(transport::RingingLoader loader) {
    sequencer().applyLoaderRanges(loader);
}

void TfrmMain::restorePlayPlace(int column) {
    sequencer().restorePlace(column);
}

// ---- transport ----

void TfrmMain::btnPlayClick() {
    if (OutputController::isExportMode(m_arguments)) {
        // Started with "html": Play exports the library's scores instead, every time.
        output()->exportHtml();
        return;
    }
    sequencer().play();
}

void TfrmMain::btnPauseClick() {
    sequencer().pause();
}

void TfrmMain::btnStopClick() {
    sequencer().stop();
}

void TfrmMain::btnRewClick() {
    sequencer().rewind();
}

void TfrmMain::btnFFClick() {
    sequencer().fastForward();
}

void TfrmMain::mmTimerTimer() {
    sequencer().tick();
}

void TfrmMain::tbProgressChange() {
    sequencer().sliderMoved(tbProgress->value());
}

void TfrmMain::udPageClick() {
    edPage->setText(QString::number(udPage->position()));
    sequencer().pageChosen(udPage->position());
}

void TfrmMain::ResetPlayback() {
    sequencer().resetPlayback();
}

void TfrmMain::PlayNextInTurn() {
    // The chooser's highlighted list ringing, loaded with its ensemble; the
    // tick that called this then plays it from column 0.
    const QString name = selSound()->selectedName();
    if (name.isEmpty() || !loadListRingingByName(name)) {
        return;
    }
    sequencer().enableTimer();
}

void TfrmMain::ShowPlayTime() {
    sequencer().showPlayTime();
}

void TfrmMain::ShowTotalDuration() {
    sequencer().showTotalDuration();
}

// ---- tempo ----

void TfrmMain::ShowTempo() {
    sequencer().showTempo();
}

void TfrmMain::tbTempChange() {
    sequencer().tempoSliderMoved(tbTemp->value());
}

void TfrmMain::nTempUpClick() {
    sequencer().faster();
}

void TfrmMain::nTempDownClick() {
    sequencer().slower();
}

// ---- volume ----

void TfrmMain::FindVolumeDevices() {
    // Of the output kinds only the wave output counts: the engine's master
    // gain, present whenever the engine runs (with a device or without).
    m_waveVolumeDevice = hasWaveVolumeDevice();
}

void TfrmMain::showVolumeLevel() {
    const int level = m_waveVolumeDevice ? GetDeviceVolume() : 0;
    {
        const QSignalBlocker quiet(tbVolume);
        tbVolume->setValue(transport::volumeSliderPosition(level));
    }
    btnVolume->setText(transport::volumeCaption(level));
}

void TfrmMain::tbVolumeChange() {
    const int level = transport::levelForVolumeSlider(tbVolume->value());
    if (m_waveVolumeDevice) {
        SetDeviceVolume(level);
    }
    btnVolume->setText(transport::volumeCaption(level));
}

void TfrmMain::nVolumeUpClick() {
    setVolumeLevel(transport::louderLevel(m_waveVolumeDevice ? GetDeviceVolume() : 0));
}

void TfrmMain::nVolumeDownClick() {
    setVolumeLevel(transport::softerLevel(m_waveVolumeDevice ? GetDeviceVolume() : 0));
}

void TfrmMain::setVolumeLevel(int level) {
    {
        const QSignalBlocker quiet(tbVolume);
        tbVolume->setValue(transport::volumeSliderPosition(level));
    }
    // Set here, not only through the slider: a slider already at the
    // position would leave a device changed elsewhere at its old level.
    if (m_waveVolumeDevice) {
        SetDeviceVolume(level);
    }
    btnVolume->setText(transport::volumeCaption(level));
}

// ---- generator ----

void TfrmMain::nGeneratorClick() {
    generator().start();
}

void TfrmMain::GenerateNext() {
    generator().generateNext();
}
