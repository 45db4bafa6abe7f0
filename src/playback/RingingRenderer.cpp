#include "playback/RingingRenderer.h"

#include "base/ScorePages.h"

#include "playback/ColumnStrikes.h"
#include "playback/MciInterpreter.h"
#include "playback/StrikeVoices.h"
#include "playback/audio/AudioEngine.h"

#include <QFile>

RenderResult renderRinging(const RenderJob& job) {
    RenderResult result;
    if (job.intervalMs <= 0) {
        result.error = QStringLiteral("the interval between columns must be positive");
        return result;
    }
    audio::AudioEngineOptions options;
    options.sampleRate = job.sampleRate;
    options.voices = job.voices;
    options.busGain = audio::kRingingBusGain;
    std::unique_ptr<audio::AudioEngine> engine = audio::AudioEngine::createOffline(options);
    MciInterpreter mci(*engine);
    StrikeVoices voices(mci, 1u);
    audio::OfflineRenderer renderer(engine->mixer(), engine->bufferFrames());

    std::string error;
    const auto failed = [&result, &renderer](const std::string& error) {
        result.error = QString::fromStdString(error);
        result.systemError = renderer.systemError();
        return result;
    };
    const auto cancelled = [&result] {
        result.cancelled = true;
        result.error = QStringLiteral("cancelled");
        return result;
    };
    if (!renderer.open(QFile::encodeName(job.outputPath).toStdString(), job.format, &error)) {
        return failed(error);
    }

    StrikeSwitches switches = job.switches;
    switches.showMovie = false; // nothing to animate
    const auto sampleFile = [&job](int bell) { return job.sampleFiles[static_cast<std::size_t>(bell)]; };
    const std::int64_t rate = engine->sampleRate();
    const std::int64_t lead = engine->schedulingLeadFrames();
    for (int column = 0; column < job.columns.size(); ++column) {
        const std::int64_t frame = static_cast<std::int64_t>(column) * job.intervalMs * rate / 1000;
        if (!renderer.renderUntil(frame)) {
            return failed(renderer.error());
        }
        const ColumnStrikes strikes =
            ColumnSampleFiles(job.columns.at(column), job.ensemble, switches, job.sampleFolder, sampleFile);
        // The ideal frame is placed one lead early so that the column sounds
        // exactly on its own frame of the file.
        voices.strikeColumn(strikes.sampleFiles, frame - lead);
        result.strikes += static_cast<int>(strikes.sampleFiles.size());
        if (job.strikes) {
            job.strikes(frame, strikes.sampleFiles);
        }
        // Finished voices are closed once a page, as the sequencer does.
        if (column % kPageColumns == 1) {
            voices.closeFinishedVoices();
        }
        if (job.progress && !job.progress(column + 1, static_cast<int>(job.columns.size()))) {
            return cancelled();
        }
    }
    const std::int64_t end = static_cast<std::int64_t>(job.columns.size()) * job.intervalMs * rate / 1000;
    if (!renderer.renderUntil(end) ||
        !renderer.renderRingOut(static_cast<std::int64_t>(job.maxRingOutSeconds) * rate)) {
        return failed(renderer.error());
    }
    // A cancel during the ring-out still leaves nothing behind.
    if (job.progress &&
        !job.progress(static_cast<int>(job.columns.size()), static_cast<int>(job.columns.size()))) {
        return cancelled();
    }
    voices.closeFinishedVoices();
    result.frames = renderer.framesWritten();
    result.late = engine->mixer().lateStarts();
    if (!renderer.commit(&error)) {
        return failed(error);
    }
    result.ok = true;
    return result;
}
