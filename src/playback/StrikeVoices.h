#pragma once

#include "playback/MciInterpreter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>

// Alias ranges: sequencer strikes draw from 0..65564, hand strikes from 0..63.
inline constexpr int kSequencerAliasMax = 65564;
inline constexpr int kHandStrikeAliasMax = 63;
// A failing command is sent again at once at most this many times; a missing
// sample file fails every time, so the re-sends must end.
inline constexpr int kMciResends = 3;

// Runs `attempt` and, while it returns an error, runs it again at once, at
// most kMciResends more times. Returns the last result.
int sendWithResends(const std::function<int()>& attempt);

// The voice bookkeeping of the main window: the list of open aliases shared
// by the sequencer and the hand strike, the alias draws, and the sweep of
// finished voices. Every voice is an independent, non-blocking sound that is
// never waited for; voices are closed only once they have finished (or, for
// the hand strike's 64 aliases, when all of them still ring: see chooseAlias).
// Main thread only.
class StrikeVoices {
public:
    StrikeVoices(MciInterpreter& mci, std::uint32_t seed);

    void seed(std::uint32_t value) { m_random.seed(value); }

    // One command with the bounded re-sends; the result is the last error
    // code, which callers may ignore (a failed voice is simply silent).
    int sendMci(const QString& command, std::optional<std::int64_t> startFrame = std::nullopt,
                float gain = 1.0f);
    bool isVoicePlaying(const QString& alias);
    // Closes and forgets every listed voice that no longer plays.
    void closeFinishedVoices();

    // Draws a free alias in 0..maxAlias and lists it. A listed alias whose
    // voice still plays is never reused; a listed alias whose voice has ended
    // is closed and unlisted, and the draw goes on. When every alias of the
    // range is listed and playing (64 hand strikes still ringing), the oldest
    // of them is taken over (its voice fades out) instead of waiting for a
    // bell to end with the window frozen.
    QString chooseAlias(int maxAlias);

    // Opens and plays one sample under a fresh alias drawn from 0..maxAlias,
    // at `startFrame` of the engine's clock or at once, at `gain` (a
    // strike's velocity). Returns the alias.
    QString sound(const QString& path, int maxAlias, std::optional<std::int64_t> startFrame = std::nullopt,
                  float gain = 1.0f);

    // Sounds one column: each path under its own sequencer alias, starting on
    // idealFrame + the scheduling lead, or at once without an ideal frame.
    void strikeColumn(const QStringList& paths, std::optional<std::int64_t> idealFrame);
    // Withdraws the columns struck for ideal frames from `idealFrame` on: a
    // voice still waiting for its frame never sounds, one that has just
    // begun fades out at once.
    void cancelFrom(std::int64_t idealFrame);
    // A strike handed ahead of its frame outside the sequencer's columns (a
    // run heard again, a count-in): a playback voice, which hand strikes do
    // not take over. cancelAheadFrom withdraws those of them that start on
    // or after `startFrame`; those begun before ring on.
    void soundAhead(const QString& path, std::int64_t startFrame);
    void cancelAheadFrom(std::int64_t startFrame);
    // Voices struck for a later frame that have not started yet, as far as
    // this thread knows.
    int heldVoices() const { return static_cast<int>(m_held.size()); }

    const QStringList& aliasList() const { return m_aliases; }
    // The sample paths sounded by the latest column.
    const QStringList& voiceFiles() const { return m_voiceFiles; }
    MciInterpreter& mci() { return m_mci; }

private:
    struct HeldVoice;
    // Closes the voices of `voices` whose frame (ideal or start) is `frame` or later.
    void closeFrom(std::deque<HeldVoice>& voices, std::int64_t HeldVoice::*frameOf, std::int64_t frame);
    bool rangeFull(int maxAlias) const;
    QString takeOverOldest(int maxAlias);

    MciInterpreter& m_mci;
    std::mt19937 m_random;
    QStringList m_aliases;
    QStringList m_voiceFiles;
    // Sequencer voices handed ahead of their frame, oldest first.
    struct HeldVoice {
        std::int64_t idealFrame = 0;
        std::int64_t startFrame = 0;
        QString alias;
    };
    std::deque<HeldVoice> m_held;
    // Voices of soundAhead not started yet, in the order handed.
    std::deque<HeldVoice> m_ahead;
};
