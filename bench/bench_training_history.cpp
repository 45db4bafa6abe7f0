// What the end of a practice run costs with a long history: a history file
// of 50 MB (587,406 runs of 40 ringings, some of them damaged lines) is made,
// then each "Stop" runs in a process of its own as the trainer does it: the
// run is added to the history and the progress chart reads the last runs of
// its ringing. Printed: the time the window waits and the peak resident size.
// First, the ear-training dialog's read of a 66 MB history of thresholds.
//
//   build/bench/bench_training_history

#include "practice/EarHistory.h"
#include "practice/RunRecording.h"
#include "practice/TrainingHistory.h"

#include "support/ProcessMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

constexpr int kRuns = 587406;
constexpr int kRingings = 40;
// As many runs as the summary's chart asks for.
constexpr int kChartRuns = 30;
constexpr int kStops = 3;

QString ringingName(int index) {
    return QStringLiteral("Трезвон, вариант %1").arg(index);
}

TrainingRun runOf(int index) {
    TrainingRun run;
    run.date = QDateTime(QDate(2020, 1, 1), QTime(8, 0)).addSecs(static_cast<qint64>(index) * 240);
    run.ringing = ringingName(index % kRingings);
    run.part = QStringLiteral("sm").mid(index % 2, 1);
    run.interval = 120 + index % 60;
    run.meanMs = (index % 81) - 40.0;
    run.shareOnTime = (index % 1000) / 1000.0;
    run.deviationMs = 12.5;
    run.meanAbsoluteMs = 21.5;
    run.hits = 60 + index % 7;
    run.misses = index % 3;
    run.extras = index % 2;
    return run;
}

bool writeHistory(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write("# history\n");
    QByteArray block;
    for (int i = 0; i < kRuns; ++i) {
        // One line in ten thousand is damaged, as a torn write would leave it.
        block += i % 10000 == 9999 ? QByteArray("2021-03-04T10:00:00;\xff\xfe broken\n")
                                   : TrainingHistory::formatLine(runOf(i)).toUtf8() + '\n';
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return file.error() == QFileDevice::NoError;
}

// One Stop, in a process that has done nothing else.
int runStop(const QString& path, int stop) {
    TrainingHistory history(path);
    TrainingRun run = runOf(kRuns + stop);
    run.date = QDateTime::currentDateTime();
    const long before = statusKilobytes("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const bool stored = history.append(run);
    const qint64 appendMs = timer.elapsed();
    const QList<TrainingRun> chart = history.lastRuns(run.ringing, kChartRuns);
    const qint64 totalMs = timer.elapsed();
    // The worst case of the chart: a ringing not practised lately, looked for as far back as it reads.
    timer.restart();
    const QList<TrainingRun> none = history.lastRuns(QStringLiteral("Не тренировался"), kChartRuns);
    const qint64 absentMs = timer.elapsed();
    std::printf("stop %d: append %5lld ms%s, chart %5lld ms (%lld runs), window waits %5lld ms; "
                "resident %5.1f MB before, %6.1f MB peak; chart of an absent ringing %5lld ms (%lld runs)\n",
                stop, static_cast<long long>(appendMs), stored ? "" : " (not stored)",
                static_cast<long long>(totalMs - appendMs), static_cast<long long>(chart.size()),
                static_cast<long long>(totalMs), before / 1024.0, statusKilobytes("VmHWM") / 1024.0,
                static_cast<long long>(absentMs), static_cast<long long>(none.size()));
    return 0;
}

// The processor time of this thread: the machine's other work does not count.
qint64 threadCpuUs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

constexpr int kRecordedRuns = 10000;
constexpr int kRecordedColumns = 1000;
constexpr int kRecordedStrikes = 400;

QString recordedStrikes() {
    constexpr int rate = 48000;
    RunRecording recording{rate, {10, 11, 12, 13, 14}, {}, {}};
    for (int column = 0; column < kRecordedColumns; ++column) {
        recording.columnPlayed(column, 100000 + column * 4800);
    }
    for (int i = 0; i < kRecordedStrikes; ++i) {
        // Strikes spread over the run, up to 60 ms either side of their column.
        const int column = i * kRecordedColumns / kRecordedStrikes;
        recording.strikes.push_back({10 + i % 5, 100000 + column * 4800 + ((i * 37) % 121 - 60) * 48});
    }
    return recording.encode();
}

// The history with strikes: its size, a whole read, the chart's read and
// one decoding, each the best of a few tries.
int readRecordedHistory(const QString& path) {
    const QString strikes = recordedStrikes();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            return 1;
        }
        file.write("# history\n");
        for (int i = 0; i < kRecordedRuns; ++i) {
            TrainingRun run = runOf(i);
            run.recording = strikes;
            // A run's strikes are its hits and extras.
            run.hits = kRecordedStrikes - run.extras;
            file.write(TrainingHistory::formatLine(run).toUtf8() + '\n');
        }
    }
    TrainingHistory history(path);
    qint64 loadMs = -1;
    qint64 loadCpuMs = -1;
    qint64 chartMs = -1;
    qint64 decodeUs = -1;
    qsizetype loaded = 0;
    qsizetype charted = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuBefore = threadCpuUs();
        const QList<TrainingRun> runs = history.load();
        const qint64 load = timer.elapsed();
        const qint64 loadCpu = (threadCpuUs() - cpuBefore) / 1000;
        timer.restart();
        const QList<TrainingRun> chart = history.lastRuns(ringingName(7), kChartRuns);
        const qint64 chartTime = timer.elapsed();
        timer.restart();
        RunRecording recording;
        const bool decoded =
            !chart.isEmpty() && RunRecording::decode(chart.last().recording, 48000, recording);
        const qint64 decode = timer.nsecsElapsed() / 1000;
        if (!decoded || recording.strikes.size() != kRecordedStrikes) {
            std::fprintf(stderr, "the strikes did not read back\n");
            return 1;
        }
        loaded = runs.size();
        charted = chart.size();
        loadMs = loadMs < 0 ? load : std::min(loadMs, load);
        loadCpuMs = loadCpuMs < 0 ? loadCpu : std::min(loadCpuMs, loadCpu);
        chartMs = chartMs < 0 ? chartTime : std::min(chartMs, chartTime);
        decodeUs = decodeUs < 0 ? decode : std::min(decodeUs, decode);
    }
    std::printf(
        "history with strikes: %d runs, %.1f MB (%lld bytes of strikes a run); whole read %lld ms "
        "(processor %lld ms; %lld runs), chart %lld ms (%lld runs), one run's strikes decoded in %lld us\n",
        kRecordedRuns, static_cast<double>(QFileInfo(path).size()) / 1e6,
        static_cast<long long>(strikes.size()), static_cast<long long>(loadMs),
        static_cast<long long>(loadCpuMs), static_cast<long long>(loaded), static_cast<long long>(chartMs),
        static_cast<long long>(charted), static_cast<long long>(decodeUs));
    return 0;
}

// The ear-training dialog opening on a 66 MB history of thresholds, in a
// process of its own: the time to its last results and the peak resident size.
constexpr qint64 kEarHistoryBytes = 66LL * 1000 * 1000;

int openEarHistory(const QString& path) {
    const long before = statusKilobytes("VmRSS");
    QElapsedTimer timer;
    timer.start();
    EarHistory history(path);
    const QList<EarResult> shown = history.last(20);
    std::printf("ear-training history of %.0f MB: last results in %lld ms (%lld shown); resident %5.1f MB "
                "before, %5.1f MB peak\n",
                static_cast<double>(QFileInfo(path).size()) / 1e6, static_cast<long long>(timer.elapsed()),
                static_cast<long long>(shown.size()), before / 1024.0, statusKilobytes("VmHWM") / 1024.0);
    return shown.size() == 20 ? 0 : 1;
}

bool writeEarHistory(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray block;
    for (qint64 i = 0; file.size() + block.size() < kEarHistoryBytes; ++i) {
        block += EarHistory::formatLine({QDateTime(QDate(2020, 1, 1), QTime(8, 0)).addSecs(i * 60),
                                         5.0 + static_cast<double>(i % 300) / 10.0, 30})
                     .toUtf8();
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return file.error() == QFileDevice::NoError;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QStringLiteral("--ear")) {
        return openEarHistory(arguments.at(2));
    }
    if (arguments.size() == 3) {
        return runStop(arguments.at(1), arguments.at(2).toInt());
    }
    QTemporaryDir dir;
    {
        const QString ear = dir.filePath(QStringLiteral("ear-training.txt"));
        if (!writeEarHistory(ear)) {
            std::fprintf(stderr, "cannot write %s\n", ear.toUtf8().constData());
            return 1;
        }
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--ear"), ear});
        child.waitForFinished(-1);
        QFile::remove(ear);
    }
    if (readRecordedHistory(dir.filePath(QStringLiteral("recorded-history.txt"))) != 0) {
        return 1;
    }
    std::fflush(stdout);
    const QString path = dir.filePath(QStringLiteral("training-history.txt"));
    if (!writeHistory(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.toUtf8().constData());
        return 1;
    }
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    std::printf("history: %d runs, %.1f MB\n", kRuns, static_cast<double>(before.size()) / 1e6);
    std::fflush(stdout);
    for (int stop = 1; stop <= kStops; ++stop) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {path, QString::number(stop)});
        child.waitForFinished(-1);
    }
    QFile file(path);
    const QByteArray after = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    std::printf("after %d stops: %.1f MB; the earlier bytes %s\n", kStops,
                static_cast<double>(after.size()) / 1e6,
                after.startsWith(before) ? "kept as they were" : "CHANGED");
    return 0;
}
