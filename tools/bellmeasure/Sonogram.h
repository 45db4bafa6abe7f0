#pragma once

// Draws spectrograms of bell samples side by side into one picture: time to
// the right, frequency upwards on a logarithmic scale, level as colour.

#include "playback/audio/analysis/BellAnalysis.h"

#include <QImage>
#include <QString>
#include <vector>

namespace bellmeasure {

struct SpectrogramPanel {
    QString title;
    const Audio* audio = nullptr;
};

struct SpectrogramStyle {
    int panelWidth = 420;
    int panelHeight = 420;
    double seconds = 20.0; // time shown in each panel
    double lowHz = 40.0;
    double highHz = 16000.0;
    double rangeDb = 90.0; // levels this far under the loudest are black
};

QImage drawSpectrograms(const std::vector<SpectrogramPanel>& panels, const SpectrogramStyle& style);

} // namespace bellmeasure
