#pragma once

// The readable table of bells: for each row of bells its settings, the
// partials every bell of the row shares, and the fifteen bells with their own
// deviations. The file format is described at the top of bells.table.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace bellsynth {

inline constexpr int kBellsPerRow = 15;
inline constexpr int kRowCount = 3;

struct PartialEntry {
    std::string name;
    double ratio = 1.0;   // to the nominal (or the fundamental of a plate)
    double levelDb = 0.0; // relative to the nominal, before the contact tilt
    double decay = 1.0;   // factor on the T60 of the decay law
    double splitPercent = 0.0;
    double stretch = 0.0; // share of the bell's stretch, in cents per cent
    double riseMs = 0.0;
};

struct BellEntry {
    double kg = 0.0;
    double nominalHz = 0.0; // 0 = derived from the weight by the row's pitch constant
    double ringSeconds = 0.0;
    double loudDb = 0.0;
    double contactMs = 1.0;
    double humCents = 0.0;
    double stretchCents = 0.0;
    double growl = 0.0;
};

struct Reflection {
    double delayLeftMs = 0.0;
    double delayRightMs = 0.0;
    double gainDb = -20.0;
};

struct BellRow {
    int number = 0;
    std::string name;
    double pitchConstant = 0.0;
    double strikeRatio = 0.5;
    double ringFactor = 1.3;
    double decayExponent = 0.7;
    double scatterCents = 0.0;
    double maxBeatHz = 3.0;
    double splashDb = 0.0;
    double splashT60 = 0.3;
    double noiseDb = -30.0;
    double noiseDecayMs = 3.0;
    double bounceMs = 5.0;
    double bounceGain = 0.0;
    double growlBeatHz = 0.0;
    double growlLevelDb = -60.0;
    double growlSpacingHz = 0.0;
    double stereoSpreadDb = 0.0;
    double stereoSpreadDegrees = 0.0;
    std::vector<Reflection> reflections;
    double roomLowpassHz = 5000.0;
    double loudnessDb = -15.0;
    std::vector<PartialEntry> partials;
    std::vector<BellEntry> bells;

    // The nominal of a bell: its own figure, or the pitch law of the row.
    double nominalOf(int bell) const;
    // Index of the reference partial (ratio 1).
    int referencePartial() const;
};

struct BellTable {
    std::vector<BellRow> rows;
};

// Reads the table; on failure returns nothing and sets `error` to a message
// naming the line and what is wrong with it.
std::optional<BellTable> parseBellTable(std::istream& in, std::string& error);
std::optional<BellTable> loadBellTable(const std::string& path, std::string& error);

} // namespace bellsynth
