#pragma once

#include "base/RequiredFileCheck.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The fixed catalogue of the fifteen bells, read once from Data/desc.kli
// (Windows-1251): line i describes bell i with eight ";"-separated fields.
//   1 display name (unique ignoring letter case)   2 sample file name
//   3 picture when selected (also the information panel)
//   4 picture when not selected   5, 6, 8 carried but unused
//   7 key that strikes the bell, a decimal Windows virtual-key code
// Lines after the fifteenth are ignored.
class TBellData {
public:
    static constexpr int kBellLines = 15;
    static constexpr int kFields = 8;

    // Reads the catalogue at path. A missing file, line or field is reported
    // to check (once per missing item, naming path) and reading goes on; a
    // missing field reads as "" so every column keeps one entry per bell.
    TBellData(const QString& path, RequiredFileCheck& check);

    // Field `field` (1..8) of bell `bell` (0..14); "" outside those ranges.
    QString Column(int field, int bell) const;
    // The first bell whose display name equals name ignoring letter case
    // (Cyrillic included), or -1.
    int FindByName(const QString& name) const;
    // Field 7 as a whole number; nothing when it is not one.
    std::optional<int> keyCode(int bell) const;

    const QStringList& lines() const { return m_lines; }

private:
    QStringList m_lines;
    std::array<QStringList, kFields> m_columns;
};
