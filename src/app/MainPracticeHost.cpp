#include "app/MainPracticeHost.h"

#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "bells/MidiRinging.h"
#include "bells/TBellData.h"
#include "input/VirtualKeys.h"
#include "playback/SoundOutput.h"
#include "playback/TransportPanel.h"
#include "record/ScoreEditor.h"
#include "ringing/RingingChoices.h"
#include "score/ScoreView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

QWidget* MainPracticeHost::dialogParent() {
    return &m_window;
}

ProfileFile& MainPracticeHost::settingsFile() {
    return m_window.settingsFile();
}

KeyStrikeNotifier& MainPracticeHost::keyStrikeNotifier() {
    return m_window.bells().keyboard().keyStrikeNotifier();
}

StrikeInput MainPracticeHost::strikingInput() const {
    return m_window.m_bellsPanel ? m_window.bells().midi().strikingInput() : StrikeInput::keys();
}

std::optional<std::int64_t> MainPracticeHost::strikingMomentNs() const {
    return m_window.m_bellsPanel ? m_window.bells().midi().strikingMomentNs() : std::nullopt;
}

QList<StrikeInput> MainPracticeHost::strikeInputs() const {
    QList<StrikeInput> inputs{StrikeInput::keys()};
    if (m_window.m_bellsPanel) {
        if (const std::optional<MidiPort> port = m_window.bells().midi().chosenPort()) {
            inputs.append(StrikeInput::midi(*port));
        }
    }
    return inputs;
}

void MainPracticeHost::listenToInputTaps(InputTaps taps) {
    if (m_window.m_bellsPanel) {
        m_window.bells().midi().setTapListener(std::move(taps));
    }
}

void MainPracticeHost::showStatusMessage(const QString& text) {
    m_window.showStatusMessage(text);
}

QString MainPracticeHost::ringingName() const {
    if (!m_window.ringingName().isEmpty()) {
        return m_window.ringingName();
    }
    // Group ringings leave the window untitled: they are named by what each
    // group's selector has chosen.
    QStringList chosen;
    for (int g = 0; g < kGroupCount; ++g) {
        const QComboBox* selector = m_window.choices().groupSelector(g);
        if (selector && selector->currentIndex() > 0) {
            chosen << selector->currentText();
        }
    }
    return chosen.join(QStringLiteral(" + "));
}

const Ensemble& MainPracticeHost::ensemble() const {
    return m_window.ensemble();
}

TChannels& MainPracticeHost::channels() {
    return m_window.channels();
}

int MainPracticeHost::commonScoreSize() const {
    return m_window.commonScoreSize();
}

QString MainPracticeHost::commonScoreLine(int column) const {
    return m_window.commonScoreLine(column);
}

bool MainPracticeHost::soundAvailable() const {
    return m_window.audioEngine() && m_window.strikeVoices();
}

std::int64_t MainPracticeHost::audioFrameClock() const {
    return m_window.m_sound ? m_window.m_sound->frameClock() : 0;
}

int MainPracticeHost::audioSampleRate() const {
    return m_window.audioSampleRate();
}

std::int64_t MainPracticeHost::schedulingLeadFrames() const {
    const audio::AudioEngine* engine = m_window.audioEngine();
    return engine ? engine->schedulingLeadFrames() : 0;
}

void MainPracticeHost::soundBell(int bell, std::int64_t frame) {
    if (StrikeVoices* voices = m_window.strikeVoices()) {
        voices->sound(m_window.paths().sampleFolder() + m_window.bells().bellSampleFileName(bell),
                      kHandStrikeAliasMax, frame);
    }
}

void MainPracticeHost::soundPlayedBell(int bell, std::int64_t frame) {
    if (StrikeVoices* voices = m_window.strikeVoices()) {
        voices->soundAhead(m_window.paths().sampleFolder() + m_window.bells().bellSampleFileName(bell),
                           frame);
    }
}

void MainPracticeHost::withdrawPlayedBells(std::int64_t frame) {
    if (StrikeVoices* voices = m_window.strikeVoices()) {
        voices->cancelAheadFrom(frame);
    }
}

QString MainPracticeHost::bellName(int bell) const {
    const QString name = m_window.bells().bellDisplayName(bell).trimmed();
    return name.isEmpty() ? bellCaption(bell) : name;
}

QString MainPracticeHost::bellKeyName(int bell) const {
    const TBellData* catalogue = m_window.bells().bellData();
    const std::optional<int> key = catalogue ? catalogue->keyCode(bell) : std::nullopt;
    if (!key) {
        return QString();
    }
    // Letters and digits are their own names; the numeric pad's digits are told apart.
    if ((*key >= VirtualKeys::kLetterA && *key < VirtualKeys::kLetterA + 26) ||
        (*key >= VirtualKeys::kDigit0 && *key < VirtualKeys::kDigit0 + 10)) {
        return QString(QChar(*key));
    }
    if (*key >= VirtualKeys::kNumpad0 && *key < VirtualKeys::kNumpad0 + 10) {
        return QStringLiteral("Num %1").arg(*key - VirtualKeys::kNumpad0);
    }
    return QStringLiteral("#%1").arg(*key);
}

void MainPracticeHost::showPlace(int column) {
    if (!m_window.transport().isPlaying()) {
        m_window.transport().restorePlayPlace(column);
    }
}

bool MainPracticeHost::isPlaying() const {
    return m_window.transport().isPlaying();
}

void MainPracticeHost::play() {
    m_window.btnPlayClick();
}

void MainPracticeHost::playAt(std::int64_t idealFrame) {
    m_window.transport().playAt(idealFrame);
}

void MainPracticeHost::stop() {
    m_window.btnStopClick();
}

int MainPracticeHost::sequencerInterval() const {
    return m_window.transport().sequencerInterval();
}

void MainPracticeHost::setTempo(int intervalMs) {
    m_window.transport().setSequencerInterval(intervalMs);
    m_window.transport().ShowTempo();
}

PracticeHost::TransportRanges MainPracticeHost::transportRanges() const {
    TransportRanges ranges;
    ranges.sliderMaximum = m_window.tbProgress ? m_window.tbProgress->maximum() : 0;
    ranges.pageMaximum = m_window.udPage ? m_window.udPage->max() : 1;
    ranges.pageEnabled = m_window.udPage && m_window.udPage->isEnabled();
    return ranges;
}

void MainPracticeHost::restoreTransportRanges(const TransportRanges& ranges) {
    if (m_window.tbProgress) {
        // A slider clamped to its range moves; that is no seek.
        const QSignalBlocker quiet(m_window.tbProgress);
        m_window.tbProgress->setMaximum(ranges.sliderMaximum);
    }
    if (m_window.udPage) {
        m_window.udPage->setMax(ranges.pageMaximum);
        m_window.udPage->setEnabled(ranges.pageEnabled);
        if (m_window.edPage) {
            m_window.edPage->setText(QString::number(m_window.udPage->position()));
        }
    }
    m_window.transport().ShowTotalDuration();
}

bool MainPracticeHost::keyboardRinging() const {
    return m_window.bells().keyboard().keyboardRinging();
}

void MainPracticeHost::setKeyboardRinging(bool on) {
    m_window.bells().keyboard().setKeyboardRinging(on);
}

int MainPracticeHost::pagePosition() const {
    return m_window.udPage ? m_window.udPage->position() : 0;
}

bool MainPracticeHost::simplifiedScore() const {
    return m_window.cbGrid && m_window.cbGrid->isChecked();
}

bool MainPracticeHost::readableScore() const {
    return m_window.scoreView() && m_window.scoreView()->readable();
}

QWidget* MainPracticeHost::staff(BellGroup group) const {
    switch (group) {
    case BellGroup::Small:
        return m_window.pnlSmallBells;
    case BellGroup::Middle:
        return m_window.pnlMiddleBells;
    case BellGroup::Big:
        return m_window.pnlBigBells;
    }
    return nullptr;
}

std::optional<std::pair<int, int>> MainPracticeHost::scoreSelection() const {
    // The columns selected in the score editor, while one edits.
    if (m_window.m_editor == nullptr) {
        return std::nullopt;
    }
    return m_window.m_editor->selectedColumns();
}

QString MainPracticeHost::bellKeyText(int bell) const {
    const TBellData* catalogue = m_window.bells().bellData();
    const std::optional<int> key = catalogue ? catalogue->keyCode(bell) : std::nullopt;
    // Letter and digit keys have their character as virtual-key code.
    if (key && ((*key >= 'A' && *key <= 'Z') || (*key >= '0' && *key <= '9'))) {
        return QString(QChar(*key));
    }
    return QString();
}
