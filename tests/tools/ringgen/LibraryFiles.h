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
    QList<QStringList> columns;  // the tokens of each column
};

// A body file (after `preambleLines` plain lines): decoded, header parsed,
// columns split at ",". Nothing when the file cannot be read or is empty.
std::optional<LoadedBody> loadBody(const QString& path, int preambleLines = 0);

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
