#pragma once

#include "base/ProfileFile.h"

#include <QString>

// The ensemble's place in campanix.ini: section [Serial], keys Bells and
// Types (the text form of Ensemble). Everything that reads or writes them
// goes through here.
namespace ensemble_settings {

inline const QString kSection = QStringLiteral("Serial");
inline const QString kBellsKey = QStringLiteral("Bells");
inline const QString kTypesKey = QStringLiteral("Types");

// What a missing key reads as: no bell selected, no groups.
inline const QString kMissingBells = QStringLiteral("000000000000000");
inline const QString kMissingTypes = QStringLiteral("nnnnnnnnnnnnnnn");
// What the file written at first start holds: bells 13 and 14 selected.
inline const QString kFirstStartBells = QStringLiteral("000000000000011");

struct Text {
    QString bells;
    QString types;
};

Text read(const ProfileFile& file);
// False when the file could not be written.
bool write(ProfileFile& file, const Text& text);

} // namespace ensemble_settings
