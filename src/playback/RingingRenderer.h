#pragma once

#include "bells/Ensemble.h"
#include "playback/ColumnStrikes.h"
#include "playback/audio/OfflineRenderer.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

// A ringing to render offline: the ensemble, the column lines of the common
// score and the interval between columns, the sample set and the output.
struct RenderJob {
    Ensemble ensemble;
    QStringList columns;
    int intervalMs = 144;
    QString sampleFolder;                        // ends with "/"
    std::array<QString, kBellCount> sampleFiles; // the catalogue's sound file of each bell
    QString outputPath;
    audio::OfflineRenderer::Format format = audio::OfflineRenderer::Format::Pcm16;
    int sampleRate = 48000;
    int voices = 512;
    // Ring-out after the last column ends when every voice has ended, or
    // after this long at most.
    int maxRingOutSeconds = 600;
    // The group check boxes: a silenced group's strikes are skipped, as in
    // playback. Every group sounds by default.
    StrikeSwitches switches;
    // Called after each column with the columns done and the total, and once
    // more after the ring-out; returning false cancels the render, which then
    // writes nothing.
    std::function<bool(int done, int total)> progress;
    // Called for each column with the frame it sounds on and the sample
    // files it strikes (none for a silent column).
    std::function<void(std::int64_t frame, const QStringList& sampleFiles)> strikes;
};

struct RenderResult {
    bool ok = false;
    QString error;
    int systemError = 0;     // errno of a failed file operation, 0 when none
    std::int64_t frames = 0; // frames written
    int strikes = 0;         // voices started
    std::uint64_t late = 0;  // voices that missed their frame (always 0 offline)
    bool cancelled = false;  // stopped by the progress callback
};

// Renders a ringing to a WAV file through the same strike path as playback:
// column c sounds on frame c * interval * rate / 1000 of the file (column 0
// on frame 0), every group sounding, and the file holds the full ring-out of
// the last bells. The file is written whole or not at all.
// Switches silence groups as their check boxes do in playback.
RenderResult renderRinging(const RenderJob& job);
