#pragma once

#include "base/BellGroups.h"
#include "ringing/RingingReader.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What a ringing load did.
struct RingingLoadResult {
    // False when the load ended before touching the scores (the file could
    // not be read, or it had no first line): the scores, the interval and
    // the labels stay as they were.
    bool loaded = false;
    // The sequencer's interval after a load: the header's for a common
    // ringing (the given current interval when the header has none), 144 for
    // a group ringing. A header's interval is kept within the tempo range
    // 50..1000, so that no header can stall or race the sequencer.
    int interval = 0;
    // The header's interval as written, when it is a whole number.
    std::optional<int> headerInterval;
    // Why a file was not read (too large, too many columns, unreadable).
    std::optional<RingingReadFailure> refused;
};

// The playback working set: the three group scores (0 small, 1 middle,
// 2 big) and the common score (3), which is what plays, plus the scratch
// lists the reader, the voices and the score use while they work, and the
// animated-group flags. Plain data and the rules that keep the scores
// consistent; no window.
//
// After a common load every group score has as many lines as the common
// score, line i of group g holding the tokens of common line i with g's
// letter. After a group load that group holds at most 128 lines and the
// common score exactly 128, line i merging line i of the three groups.
class TChannels {
public:
    static constexpr int kGroupCount = ::kGroupCount;
    static constexpr int kCommonScore = 3;
    static constexpr int kGroupRingingColumns = 128;
    static constexpr int kGroupRingingInterval = 144;
    static constexpr int kMinInterval = 50;
    static constexpr int kMaxInterval = 1000;

    TChannels();

    // Score 0..2 (groups) or 3 (common).
    QStringList& score(int index) { return m_scores.at(static_cast<size_t>(index)); }
    const QStringList& score(int index) const { return m_scores.at(static_cast<size_t>(index)); }
    QStringList& common() { return m_scores[kCommonScore]; }
    const QStringList& common() const { return m_scores[kCommonScore]; }
    void clearScores();

    // Scratch lists: a file's lines while it is read, the paths or tokens of
    // the column being sounded or drawn.
    QStringList& scratch() { return m_scratch; }
    QStringList& headerFields() { return m_headerFields; }
    QStringList& headerMarks() { return m_headerMarks; }
    QStringList& voiceFiles() { return m_voiceFiles; }

    // Group 0 small, 1 middle, 2 big; a group whose header mark clears its
    // flag is played in chords and not animated.
    bool isGroupAnimated(int group) const;
    void setAllGroupsAnimated();

    // Loads a ringing body file into score `index` (0..2 a group ringing,
    // 3 a common ringing). currentInterval is the sequencer's interval,
    // kept when the header does not name one.
    RingingLoadResult LoadRinging(int index, const QString& path, int currentInterval);
    // The same for a body already in memory (read as the file's lines).
    RingingLoadResult loadRingingLines(int index, const QStringList& lines, int currentInterval);

    // The interval the ringing loaded last was written for (its header's,
    // or 144 for a group ringing), whatever tempo the user plays it at;
    // 0 before any load. The editor sets it when it changes the header.
    int ownInterval() const { return m_ownInterval; }
    void setOwnInterval(int milliseconds) { m_ownInterval = milliseconds; }

    // Rebuilds the common score (128 lines) from the three group scores.
    void MergeGroupScores();
    // Rebuilds the three group scores from the common score.
    void SplitCommonScore();

private:
    // Reads the header line into the flags; the interval when it names one.
    std::optional<int> parseHeader(const QString& header);

    std::array<QStringList, 4> m_scores;
    QStringList m_scratch;
    QStringList m_headerFields;
    QStringList m_headerMarks;
    QStringList m_voiceFiles;
    std::array<bool, kGroupCount> m_animated{true, true, true};
    int m_ownInterval = 0;
};
