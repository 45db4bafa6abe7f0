#pragma once

#include "practice/Staircase.h"

#include <QList>
#include <QRandomGenerator>

#include <cstdint>

class PracticeHost;

// One strike of an ear-training passage, on its engine frame.
struct EarStrike {
    int bell = 0;
    std::int64_t frame = 0;
};

// One question: the passage's strikes as sounded, one of them moved early
// or late by offsetFrames (positive: late).
struct EarTrial {
    QList<EarStrike> strikes;
    int oddIndex = -1;
    int bell = -1;
    bool late = false;
    std::int64_t offsetFrames = 0;
    // The offset as sounded, in milliseconds (from the whole frames).
    double offsetMs = 0.0;
};

// Ear training apart from its dialog: a short passage (two bars of the
// loaded ringing, or a generated one when none is loaded) is played with
// one strike of one bell early or late; the learner says which bell and
// which way, and a staircase adapts the amount. Every strike is handed to
// the engine at once with its frame, so the offset is exact to the frame,
// each with a voice of playback, which no hand strike cuts short.
class EarTraining {
public:
    static constexpr int kBars = 2;
    static constexpr int kBarColumns = 16;
    // All strikes are handed at once: a passage is cut off at this many.
    static constexpr int kMostStrikes = 64;
    // The first strike sounds this long after the command.
    static constexpr int kStartLeadMs = 150;
    static constexpr int kGeneratedIntervalMs = 144;

    EarTraining(PracticeHost& host, quint32 seed);

    // False when there is nothing to play (no sound, or no bell chosen).
    bool ready() const;
    bool fromRinging() const { return m_fromRinging; }
    // The bells the passage strikes, biggest first: the possible answers.
    QList<int> bells() const;
    int intervalMs() const { return m_interval; }
    Staircase& staircase() { return m_staircase; }
    const EarTrial& trial() const { return m_trial; }
    bool answered() const { return m_answered; }

    // Sounds a new question at the staircase's present amount.
    const EarTrial& playTrial();
    // Sounds the present question again, from now.
    void replay();
    // The learner's answer to the present question: true when right. Only
    // the first answer to a question moves the staircase.
    bool answer(int bell, bool late);
    // Takes back the strikes of the question that have not sounded yet.
    void silence();
    // Starts a new staircase (after one has found its threshold).
    void restart() { m_staircase = Staircase(); }

    // The columns of a generated passage over the given bells (biggest first):
    // the biggest on the first beat of each half bar, the others in turn on
    // every second column.
    static QList<QList<int>> generatedColumns(const QList<int>& bells);
    // The strikes of `columns` on a grid from startFrame, one column every
    // intervalMs, at most kMostStrikes; the strike at oddIndex is moved by
    // offsetMs (rounded to whole frames) early or late.
    static EarTrial makeTrial(const QList<QList<int>>& columns, std::int64_t startFrame, int intervalMs,
                              int rate, int oddIndex, double offsetMs, bool late);
    // The strike to move. The bell comes first, any bell of the passage
    // alike (bellPick chooses), so that every answer is trained; then one of
    // its strikes, in the second half of the passage where it has one (the
    // first half sets the beat), alone in its column where it is (strikePick
    // chooses); never the very first strike.
    static int oddStrikeOf(const QList<EarStrike>& strikes, quint32 bellPick, quint32 strikePick);

private:
    void choosePassage();
    void sound(const EarTrial& trial);

    PracticeHost& m_host;
    QRandomGenerator m_random;
    QList<QList<int>> m_columns;
    int m_interval = kGeneratedIntervalMs;
    bool m_fromRinging = false;
    Staircase m_staircase;
    EarTrial m_trial;
    bool m_answered = true;
};
