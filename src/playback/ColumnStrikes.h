#pragma once

#include "bells/Ensemble.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// The switches read when a column is struck.
struct StrikeSwitches {
    // cbSmall, cbMiddle, cbBig: a group whose box is cleared is silent.
    std::array<bool, 3> groupSounds{true, true, true};
    // The animated-group flags of the loaded ringing (small, middle, big).
    std::array<bool, 3> groupAnimated{true, true, true};
    // cbShowMovie.
    bool showMovie = false;
    // Bells the user rings by hand in a practice run: silent, and not
    // animated (their key strike sounds and shows them).
    std::array<bool, kBellCount> bellSilenced{};
};

// What one column of the common score sounds: the sample paths in token
// order, the bell of each, and the bells whose strike frame is shown.
struct ColumnStrikes {
    QStringList sampleFiles;
    QList<int> bells;
    QList<int> animatedBells;
};

// The bell a strike token names: the position-th selected bell of the
// letter's group, counted from bell 0 upward for the big group and from bell
// 14 downward for every other letter. Bell 14 when there is no such bell
// (position 0, a position past the group's size, or no such group).
int BellForToken(const Ensemble& ensemble, QChar letter, int position);

// Turns one column line of the common score into the samples to sound. A
// line of at most one character sounds nothing. Tokens starting with "#" or
// "v", tokens without a position digit, tokens of any letter but s/m/b and
// tokens of a silenced group are skipped; only the first two characters of a
// token count. `sampleFileName` gives the catalogue's sound file of a bell.
ColumnStrikes ColumnSampleFiles(const QString& line, const Ensemble& ensemble, const StrikeSwitches& switches,
                                const QString& sampleFolder,
                                const std::function<QString(int)>& sampleFileName);
