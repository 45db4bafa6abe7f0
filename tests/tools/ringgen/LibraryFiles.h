#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Reading the installed library the way the program reads it, for the checks
// of the written data.

struct LoadedBody {
    std::optional<int> interval; // nothing when the header's first field is not an integer
    QStringList marks;           // the header's group marks
    QList<QStringList> columns;  // the tokens of each column, as decoded
    bool encoded = false;        // stored as one encoded line
    QStringList preamble;        // list ringings: Bells, Types, name, description
    // What the program's loader put into the score it loaded (the common
    // score for index 3, the group score otherwise), and the group flags it
    // left animated.
    QStringList loadedScore;
    std::array<bool, 3> animated{true, true, true};
};

// Loads a body file as the program does, into score `scoreIndex` (0..2 a
// group ringing, 3 a common ringing), after `preambleLines` plain lines.
// Nothing when the file cannot be read, is shorter than its preamble, or the
// loader refuses it.
std::optional<LoadedBody> loadBody(const QString& path, int scoreIndex, int preambleLines = 0);

struct CatalogueLine {
    QString require;
    QString name;
    QString file;
};

// A catalogue list's lines split into their first three fields; nothing when
// the file is missing or a line has fewer than three fields.
std::optional<QList<CatalogueLine>> readCatalogue(const QString& path);

QString installedDir();

// The numbers of small, middle and big bells that each recommended
// distribution of 5 to 15 bells (variants 0 and 1) gives, over every
// possible selection of bells, after the rule that bells 0..10 never ring
// in the small group.
QList<std::array<int, 3>> recommendedGroupCounts();
