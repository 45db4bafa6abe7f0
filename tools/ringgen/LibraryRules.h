#pragma once

#include "RingingSource.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The lists of the library: the common ringings, the ringings of one group
// (which loop in 128 columns and combine with the other groups' ringings)
// and the list ringings that carry their own ensemble.
enum class RingingList { Common, Small, Middle, Big, Custom };

inline constexpr int kGroupRingingColumns = 128;
inline constexpr int kShortestRingingMs = 30 * 1000;
inline constexpr int kLongestRingingMs = 3 * 60 * 1000;

QString listFolderName(RingingList list);
QChar groupLetter(RingingList list);

// How many bells of each group (small, middle, big) the ringing may name:
// the digits of a common requirement, the single digit of a group
// requirement for its own group, or the groups of a list ringing's
// ensemble. Nothing when that text is malformed.
std::optional<std::array<int, 3>> allowedGroupSizes(const RingingSource& ringing, RingingList list);

// The "Bells" line that goes with a list ringing's "Types" line.
QString bellsForTypes(const QString& types);

// Every rule a ringing of this list must keep; empty when it keeps them all.
QStringList checkRinging(const RingingSource& ringing, RingingList list);
