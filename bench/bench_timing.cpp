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

    // Per column: how late the main thread actually struck it (the busy
    // work asked for plus whatever the machine added).
    std::vector<double> lateMs(static_cast<std::size_t>(columns), 0.0);
    std::vector<audio::StartReport> reports;
    int strikes = 0;
    for (int column = 0; column < columns; ++column) {
        const auto tick = start + std::chrono::milliseconds(column * intervalMs);
        std::this_thread::sleep_until(tick);
        busyUntil(tick + std::chrono::microseconds(lateness(random))); // the main thread is busy
        const std::int64_t ideal = anchor + static_cast<std::int64_t>(column) * intervalMs * rate / 1000;
        lateMs[static_cast<std::size_t>(column)] =
            std::chrono::duration<double, std::milli>(Clock::now() - tick).count();
        const ColumnStrikes strikesOfColumn =
            ColumnSampleFiles(pattern.at(column % pattern.size()), ensemble, {}, folder, name);
        voices.strikeColumn(strikesOfColumn.sampleFiles, ideal);
        strikes += static_cast<int>(strikesOfColumn.sampleFiles.size());
        if (column % 64 == 1) {
            voices.closeFinishedVoices();
        }
        audio::StartReport report;
        while (engine->mixer().takeStartReport(report)) {
            reports.push_back(report);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    audio::StartReport report;
    while (engine->mixer().takeStartReport(report)) {
        reports.push_back(report);
    }
    // Split the strikes by how late their tick really was: within the lead
    // (minus one block, the time the driver renders ahead) they must be exact.
    const double marginMs = audio::AudioEngine::kSchedulingLeadMs - 1000.0 * engine->bufferFrames() / rate;
    std::vector<std::int64_t> inTime;
    std::vector<std::int64_t> tooLate;
    double worstLate = 0.0;
    for (const audio::StartReport& r : reports) {
        const std::int64_t column =
            (r.targetFrame - lead - anchor) * 1000 / (static_cast<std::int64_t>(intervalMs) * rate);
        const double late =
            lateMs[static_cast<std::size_t>(std::clamp<std::int64_t>(column, 0, columns - 1))];
        worstLate = std::max(worstLate, late);
        (late < marginMs ? inTime : tooLate).push_back(r.startFrame - r.targetFrame);
    }
    const auto summary = [](std::vector<std::int64_t>& offsets, const char* label) {
        std::sort(offsets.begin(), offsets.end());
        const long long maxOffset = offsets.empty() ? 0 : offsets.back();
        const long long p99 = offsets.empty() ? 0 : offsets[offsets.size() * 99 / 100];
        std::printf("    %-34s %4zu strikes, onset error max %5lld frames, p99 %5lld frames\n", label,
                    offsets.size(), maxOffset, p99);
    };
    std::printf(
        "main thread asked to be late by 0..%2d ms (actually up to %.1f ms); lead %lld frames = %d ms; "
        "%d strikes, %llu counted late\n",
        maxLateMs, worstLate, static_cast<long long>(lead), audio::AudioEngine::kSchedulingLeadMs, strikes,
        static_cast<unsigned long long>(engine->mixer().lateStarts()));
    char label[64];
    std::snprintf(label, sizeof label, "tick less than %.1f ms late:", marginMs);
    summary(inTime, label);
    summary(tooLate, "tick later than that:");
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
