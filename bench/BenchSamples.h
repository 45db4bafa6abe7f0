#pragma once

// Short marked bell samples for the benchmarks, written to a temporary folder.

#include <sndfile.h>

#include <QString>

#include <vector>

inline bool writeBenchBells(const QString& folder, int frames) {
    for (int bell = 0; bell < 15; ++bell) {
        std::vector<float> values(static_cast<std::size_t>(frames), 0.0f);
        for (int f = 0; f < frames; ++f) {
            values[static_cast<std::size_t>(f)] =
                0.05f * static_cast<float>(frames - f) / static_cast<float>(frames);
        }
        SF_INFO info{};
        info.samplerate = 48000;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        const QString path = folder + QStringLiteral("bell%1.wav").arg(bell);
        SNDFILE* file = sf_open(path.toStdString().c_str(), SFM_WRITE, &info);
        if (!file) {
            return false;
        }
        sf_writef_float(file, values.data(), frames);
        sf_close(file);
    }
    return true;
}
