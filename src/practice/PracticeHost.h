#pragma once

#include "base/BellGroups.h"
#include "bells/Ensemble.h"
#include "input/StrikeInput.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

class Ensemble;
class KeyStrikeNotifier;
class ProfileFile;
class QWidget;
class TChannels;

// What ring-along practice needs of the rest of the program: the loaded
// ringing, the sound and its frame clock, the transport, keyboard ringing
// and where the score is shown. The main window answers it.
class PracticeHost {
public:
    virtual ~PracticeHost() = default;

    // The parent of the practice dialogs and message boxes.
    virtual QWidget* dialogParent() = 0;
    // The settings file, which keeps the latency offset.
    virtual ProfileFile& settingsFile() = 0;
    // Tells of each bell struck from the keyboard (or another input).
    virtual KeyStrikeNotifier& keyStrikeNotifier() = 0;
    // The input of the strike being told by keyStrikeNotifier() now.
    virtual StrikeInput strikingInput() const { return StrikeInput::keys(); }
    // Its moment on the monotonic clock (ns) when the input knows it finer
    // than the notifier's whole milliseconds (a MIDI note).
    virtual std::optional<std::int64_t> strikingMomentNs() const { return std::nullopt; }
    // The inputs that can strike now, the keys first; each has its latency.
    virtual QList<StrikeInput> strikeInputs() const { return {StrikeInput::keys()}; }
    // Every stroke of an input other than the keys (a pad, whatever bell it
    // rings and whether it rings), for the calibration; an empty function
    // stops them.
    using InputTaps = std::function<void(const StrikeInput& input, std::int64_t steadyNs)>;
    virtual void listenToInputTaps(InputTaps taps) { Q_UNUSED(taps); }
    virtual void showStatusMessage(const QString& text) = 0;

    // The loaded ringing: its name as the user knows it, the ensemble, the
    // scores (a drill puts them aside and back) and the common score.
    virtual QString ringingName() const = 0;
    virtual const Ensemble& ensemble() const = 0;
    virtual TChannels& channels() = 0;
    virtual int commonScoreSize() const = 0;
    // The text of one column of the common score ("" past its end).
    virtual QString commonScoreLine(int column) const = 0;

    // Sound: false while the program runs without an audio engine.
    virtual bool soundAvailable() const = 0;
    // Frames rendered so far, at audioSampleRate() frames per second.
    virtual std::int64_t audioFrameClock() const = 0;
    virtual int audioSampleRate() const = 0;
    // How long before its frame a column is handed to the engine (0 without one).
    virtual std::int64_t schedulingLeadFrames() const = 0;
    // Sounds one bell of the ensemble on the given frame, as a hand strike.
    virtual void soundBell(int bell, std::int64_t frame) = 0;
    // Sounds one bell on the given frame with a voice of playback (a run
    // heard again, the count-in): many may ring at once, and hand strikes
    // do not cut them short. withdrawPlayedBells takes back those that
    // would start on or after `frame`.
    virtual void soundPlayedBell(int bell, std::int64_t frame) = 0;
    virtual void withdrawPlayedBells(std::int64_t frame) = 0;
    // The bell's name in the catalogue and the key that rings it ("" for none).
    virtual QString bellName(int bell) const { return bellCaption(bell); }
    // Shows the stopped transport at `column`: the score cursor and page
    // follow a run heard again.
    virtual void showPlace(int column) { Q_UNUSED(column); }
    virtual QString bellKeyName(int bell) const {
        Q_UNUSED(bell);
        return QString();
    }

    // The transport, as the Play and Stop buttons run it.
    virtual bool isPlaying() const = 0;
    virtual void play() = 0;
    // Plays the ringing from its first column, which sounds a scheduling
    // lead after `idealFrame` of the frame clock.
    virtual void playAt(std::int64_t idealFrame) = 0;
    virtual void stop() = 0;
    // Milliseconds per column.
    virtual int sequencerInterval() const = 0;
    // Sets the milliseconds per column and shows the new tempo.
    virtual void setTempo(int intervalMs) = 0;
    // How far the transport's slider and page selector reach for the loaded
    // ringing. Playing a drill's few bars narrows them: they are kept before
    // and put back after it, with the ringing's length shown again.
    struct TransportRanges {
        int sliderMaximum = 0;
        int pageMaximum = 1;
        bool pageEnabled = false;
    };
    virtual TransportRanges transportRanges() const = 0;
    virtual void restoreTransportRanges(const TransportRanges& ranges) = 0;

    // Keyboard ringing: the bell keys ring only while it is on.
    virtual bool keyboardRinging() const = 0;
    virtual void setKeyboardRinging(bool on) = 0;

    // The score shown: the page selector's position (1 the first page, 0
    // when there is no selector), whether the simplified grid is drawn, and
    // the staff of each group (nullptr before it exists).
    virtual int pagePosition() const = 0;
    virtual bool simplifiedScore() const = 0;
    // The staves in the readable view («Крупные ноты»), their line labels
    // in a margin left of the staff.
    virtual bool readableScore() const { return false; }
    virtual QWidget* staff(BellGroup group) const = 0;
    // The columns selected on the score (first, last), if any: the training
    // setup offers their bars as the passage.
    virtual std::optional<std::pair<int, int>> scoreSelection() const { return std::nullopt; }
    // The key that rings a bell, as its caption shows it ("" for none).
    virtual QString bellKeyText(int /*bell*/) const { return QString(); }
};
