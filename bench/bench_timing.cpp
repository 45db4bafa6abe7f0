// Timing of sequencer strikes in real time: a ringing at 50 ms per column is
// struck column by column by a main thread that arrives late at every tick
// (busy with other work) by a random amount, through the null driver. For
// each strike the mixer reports the frame it started on; the offset from its
// ideal frame (+ the scheduling lead) is the timing error heard.

#include "BenchSamples.h"
#include "playback/ColumnStrikes.h"
#include "playback/StrikeVoices.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void busyUntil(Clock::time_point until) {
    while (Clock::now() < until) {
    }
}

void run(const QString& folder, int columns, int maxLateMs) {
    audio::AudioEngineOptions options;
    options.useDevice = false;
    auto engine = audio::AudioEngine::startRealtime(options);
    engine->mixer().setStartReports(true);
    MciInterpreter mci(*engine);
    StrikeVoices voices(mci, 1);
    engine->samples().preloadFolder(folder.toStdString());
    engine->samples().waitForPreload();

    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("111111111111111"), QStringLiteral("bbbbmmmmmmsssss"));
    const QStringList pattern = {QStringLiteral("s1,m1,b1"), QStringLiteral("s2"),    QStringLiteral("s3,m2"),
                                 QStringLiteral("s4"),       QStringLiteral("s5,b2"), QStringLiteral("m3")};
    const auto name = [](int bell) { return QStringLiteral("bell%1.wav").arg(bell); };

    std::mt19937 random(5);
    std::uniform_int_distribution<int> lateness(0, maxLateMs * 1000);
    const int rate = engine->sampleRate();
    const int intervalMs = 50;
    const std::int64_t lead = engine->schedulingLeadFrames();
    // The sequencer's anchor: the frame clock and the wall clock at Play.
    const std::int64_t anchor = engine->frameClock();
    const Clock::time_point start = Clock::now();

    std::vector<std::int64_t> offsets;
    int strikes = 0;
    for (int column = 0; column < columns; ++column) {
        const auto tick = start + std::chrono::milliseconds(column * intervalMs);
        std::this_thread::sleep_until(tick);
        busyUntil(tick + std::chrono::microseconds(lateness(random))); // the main thread is busy
        const std::int64_t ideal = anchor + static_cast<std::int64_t>(column) * intervalMs * rate / 1000;
        const ColumnStrikes strikesOfColumn =
            ColumnSampleFiles(pattern.at(column % pattern.size()), ensemble, {}, folder, name);
        voices.strikeColumn(strikesOfColumn.sampleFiles, ideal);
        strikes += static_cast<int>(strikesOfColumn.sampleFiles.size());
        if (column % 64 == 1) {
            voices.closeFinishedVoices();
        }
        audio::StartReport report;
        while (engine->mixer().takeStartReport(report)) {
            offsets.push_back(report.startFrame - report.targetFrame);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    audio::StartReport report;
    while (engine->mixer().takeStartReport(report)) {
        offsets.push_back(report.startFrame - report.targetFrame);
    }
    std::sort(offsets.begin(), offsets.end());
    const std::int64_t maxOffset = offsets.empty() ? 0 : offsets.back();
    const std::int64_t p99 = offsets.empty() ? 0 : offsets[offsets.size() * 99 / 100];
    std::printf("main thread late by 0..%2d ms (lead %lld frames = %d ms): %d strikes, onset error max %lld "
                "frames, p99 %lld frames, late starts %llu\n",
                maxLateMs, static_cast<long long>(lead), audio::AudioEngine::kSchedulingLeadMs, strikes,
                static_cast<long long>(maxOffset), static_cast<long long>(p99),
                static_cast<unsigned long long>(engine->mixer().lateStarts()));
}

} // namespace

int main(int argc, char** argv) {
    const int columns = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400; // 20 s at 50 ms
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    if (!writeBenchBells(folder, 48000)) {
        std::fprintf(stderr, "cannot write the bench samples\n");
        return 1;
    }
    std::printf("Ringing at 50 ms per column, %d columns, null driver (256-frame blocks)\n", columns);
    run(folder, columns, 10);
    run(folder, columns, 24);
    run(folder, columns, 45); // later than the lead: those strikes start at once and count as late
    return 0;
}
