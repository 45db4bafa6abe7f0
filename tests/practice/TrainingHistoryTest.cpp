// The history of practice runs keeps what it holds: a run is added at the
// end and nothing before it is rewritten, a file it cannot read is left
// alone, and the chart's look back from the end finds what a whole read
// would.

#include "practice/TrainingHistory.h"
#include "practice/RunRecording.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

TrainingRun runOf(const QString& ringing, int number) {
    TrainingRun run;
    run.date = QDateTime(QDate(2026, 1, 1), QTime(9, 0)).addSecs(number * 60);
    run.ringing = ringing;
    run.part = QStringLiteral("s");
    run.interval = 144;
    run.shareOnTime = 0.5;
    run.hits = number; // tells the runs apart
    return run;
}

QByteArray lineOf(const TrainingRun& run) {
    return TrainingHistory::formatLine(run).toUtf8() + '\n';
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// File modes apply to this thread as they do to a user's program: a process
// running as root (as tests in a container may) loses, in this thread only
// and until the end of the scope, its right to read and write any file.
class FileModesApply {
public:
    FileModesApply() {
        if (::geteuid() != 0) {
            m_active = true;
            return;
        }
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0) {
            return;
        }
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = m_restore = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~FileModesApply() {
        if (m_restore) {
            ::syscall(SYS_capset, &m_header, m_saved);
        }
    }
    bool active() const { return m_active; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
    bool m_restore = false;
};

} // namespace

// Damaged lines, bytes that are no UTF-8 and a torn last line stay exactly
// as they were; the new run gets a line of its own after them.
TEST(TrainingHistory, AppendKeepsEveryEarlierByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.txt"));
    const QByteArray before = QByteArray("# header\r\n") + lineOf(runOf(QStringLiteral("Звон"), 1)) +
                              QByteArray("\xff\xfe\x80 not a run;\xc3\n") + QByteArray("\r\n") +
                              lineOf(runOf(QStringLiteral("Звон"), 2)).replace('\n', "\r\n") +
                              QByteArray("2026-01-01T10:00:00;Звон;s;14"); // torn, no line break
    ASSERT_TRUE(writeBytes(path, before));
    TrainingHistory history(path);
    ASSERT_TRUE(history.append(runOf(QStringLiteral("Звон"), 3)));
    EXPECT_EQ(contents(path), before + " #torn\n" + lineOf(runOf(QStringLiteral("Звон"), 3)));
    ASSERT_TRUE(history.append(runOf(QStringLiteral("Звон"), 4)));
    EXPECT_EQ(contents(path), before + " #torn\n" + lineOf(runOf(QStringLiteral("Звон"), 3)) +
                                  lineOf(runOf(QStringLiteral("Звон"), 4)));

    const QList<TrainingRun> runs = history.load();
    EXPECT_EQ(history.skippedLines(), 2);
    ASSERT_EQ(runs.size(), 4);
    EXPECT_EQ(runs[1].hits, 2); // a CR LF line reads as well
    EXPECT_TRUE(history.problem().isEmpty());

    // An empty file is given its header, as a new one is.
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    ASSERT_TRUE(writeBytes(empty, {}));
    ASSERT_TRUE(TrainingHistory(empty).append(runOf(QStringLiteral("Звон"), 1)));
    EXPECT_TRUE(contents(empty).startsWith('#'));
    EXPECT_TRUE(contents(empty).endsWith(lineOf(runOf(QStringLiteral("Звон"), 1))));
}

// A history that can be written but not read may hold any number of runs:
// it is never written over, and the user is told the run was not kept.
TEST(TrainingHistory, NeverWritesAHistoryItCannotRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.txt"));
    QByteArray before("# header\n");
    for (int i = 1; i <= 13; ++i) {
        before += lineOf(runOf(QStringLiteral("Звон"), i));
    }
    ASSERT_TRUE(writeBytes(path, before));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    TrainingHistory history(path);
    {
        FileModesApply modes;
        if (!modes.active()) {
            GTEST_SKIP() << "file modes cannot be made to apply to this process";
        }
        EXPECT_FALSE(history.append(runOf(QStringLiteral("Звон"), 14)));
        EXPECT_TRUE(history.problem().contains(QStringLiteral("нельзя прочитать")))
            << history.problem().toStdString();
        EXPECT_TRUE(history.lastRuns(QStringLiteral("Звон"), 5).isEmpty());
        EXPECT_TRUE(history.unreadable());
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(history.lastRuns(QStringLiteral("Звон"), 5).size(), 5);
    EXPECT_FALSE(history.unreadable());

    // A file that can be read but not written is left as it is, too.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    {
        FileModesApply modes;
        EXPECT_FALSE(history.append(runOf(QStringLiteral("Звон"), 14)));
        EXPECT_TRUE(history.problem().contains(QStringLiteral("недоступен для записи")));
    }
    EXPECT_EQ(contents(path), before);
}

// The chart reads back from the end, a block at a time: whatever the lengths
// of the lines against the blocks, it finds the runs a whole read finds, and
// none from before the last kRecentBytes.
TEST(TrainingHistory, ChartLooksBackFromTheEndWithinItsLimit) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.txt"));
    const QString early = QStringLiteral("Ранний звон");
    const QString busy = QStringLiteral("Частый; звон");                 // escaped in the file
    QByteArray bytes = lineOf(runOf(early, 0)) + lineOf(runOf(busy, 0)); // no header
    int number = 1;
    while (bytes.size() < TrainingHistory::kRecentBytes + 200'000) {
        TrainingRun run = runOf(number % 3 == 0 ? busy : QStringLiteral("Другой"), number);
        // Names of many lengths move the line breaks across the blocks.
        run.part = QStringLiteral("k%1").arg(number % 15 + 1);
        run.ringing += number % 3 == 0 ? QString() : QString(number % 37, u'ж');
        bytes += lineOf(run);
        ++number;
    }
    bytes += lineOf(runOf(early, number));
    ASSERT_TRUE(writeBytes(path, bytes));
    TrainingHistory history(path);

    QList<TrainingRun> busyRuns;
    for (const TrainingRun& run : history.load()) {
        if (run.ringing == busy) {
            busyRuns << run;
        }
    }
    for (int count : {1, 7, 500, 5'000}) {
        SCOPED_TRACE(count);
        const QList<TrainingRun> last = history.lastRuns(busy, count);
        ASSERT_EQ(last.size(), std::min<qsizetype>(count, busyRuns.size()));
        for (qsizetype i = 0; i < last.size(); ++i) {
            EXPECT_EQ(last[i].hits, busyRuns[busyRuns.size() - last.size() + i].hits);
        }
    }
    // Only the last of the early ringing's runs lies within the limit; all
    // the busy ringing's runs there are found, none from before it.
    const QList<TrainingRun> earlyRuns = history.lastRuns(early, 10);
    ASSERT_EQ(earlyRuns.size(), 1);
    EXPECT_EQ(earlyRuns[0].hits, number);
    const QList<TrainingRun> all = history.lastRuns(busy, 1'000'000);
    EXPECT_LT(all.size(), busyRuns.size());
    EXPECT_GT(all.size(), busyRuns.size() * 9 / 10);
    EXPECT_EQ(all.last().hits, busyRuns.last().hits);

    // A file within the limit is read to its first line, header or not.
    const QString small = dir.filePath(QStringLiteral("small.txt"));
    ASSERT_TRUE(
        writeBytes(small, lineOf(runOf(early, 1)) + lineOf(runOf(busy, 2)) + lineOf(runOf(early, 3))));
    const QList<TrainingRun> both = TrainingHistory(small).lastRuns(early, 5);
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(both[0].hits, 1);
    EXPECT_EQ(both[1].hits, 3);
    EXPECT_TRUE(TrainingHistory(dir.filePath(QStringLiteral("none.txt"))).lastRuns(early, 5).isEmpty());
}

// Files users already have (lines of six fields and of eleven) still load
// beside runs kept with their strikes; the strikes read back as kept.
TEST(TrainingHistory, RunsOfEveryFormatReadBackWithTheirStrikes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.txt"));
    const QByteArray before = QByteArray("# Campanix training history\n"
                                         "2025-05-01T10:00:00;Звон;s;120;-3.5;0.750\n") +
                              lineOf(runOf(QStringLiteral("Звон"), 2));
    ASSERT_TRUE(writeBytes(path, before));
    RunRecording recording{48000, {4, 5}, {}, {}};
    recording.columnPlayed(0, 1000);
    recording.columnPlayed(1, 1000 + 4800);
    recording.strikes = {{5, 1000 - 96}, {4, 1000 + 4800 + 240}, {5, 1000 + 4800 + 480}};
    TrainingRun kept = runOf(QStringLiteral("Звон"), 3); // three hits: three strikes
    kept.recording = recording.encode();
    TrainingHistory history(path);
    ASSERT_TRUE(history.append(kept));
    ASSERT_TRUE(contents(path).startsWith(before));

    const QList<TrainingRun> runs = history.load();
    EXPECT_EQ(history.skippedLines(), 0);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_DOUBLE_EQ(runs[0].meanMs, -3.5);
    EXPECT_TRUE(runs[0].recording.isEmpty());
    EXPECT_TRUE(runs[1].recording.isEmpty());
    EXPECT_EQ(runs[2].hits, 3);
    EXPECT_EQ(runs[2].recording, kept.recording);
    const QList<TrainingRun> last = history.lastRuns(QStringLiteral("Звон"), 1);
    ASSERT_EQ(last.size(), 1);
    RunRecording read;
    ASSERT_TRUE(RunRecording::decode(last[0].recording, 48000, read));
    ASSERT_EQ(read.strikes.size(), 3);
    EXPECT_EQ(read.strikes[0].bell, 5);
    EXPECT_EQ(read.strikes[0].frame, -96);
    EXPECT_EQ(read.strikes[1].frame, 4800 + 240);
    EXPECT_EQ(read.columns.size(), 2);
}

// A line torn while it was written becomes a whole line once the next run
// ends it: wherever it was cut, it is no run, neither in a whole read nor in
// the chart's, so no second point is drawn and no replay stops short. (The
// next run marks it as torn; read alone, its strikes disagree with its hits.)
TEST(TrainingHistory, TornRunIsNoRunOnceTheNextOneEndsIt) {
    QTemporaryDir dir;
    RunRecording recording{48000, {4, 5}, {}, {}};
    for (int column = 0; column < 4; ++column) {
        recording.columnPlayed(column, 1000 + column * 4800);
    }
    // The last strike 10 ms after the one before, a single digit: a cut within it leaves its bell alone.
    recording.strikes = {{4, 1000 + 48}, {5, 1000 + 4800 + 96}, {4, 1000 + 4800 + 96 + 480}};
    TrainingRun whole = runOf(QStringLiteral("Звон"), 2);
    whole.extras = 1;
    whole.deviationMs = 7.5;
    whole.meanAbsoluteMs = 12.5;
    whole.recording = recording.encode();
    const QByteArray line = TrainingHistory::formatLine(whole).toUtf8();
    TrainingRun read;
    ASSERT_TRUE(TrainingHistory::parseLine(QString::fromUtf8(line), read));
    ASSERT_EQ(read.recording, whole.recording);

    const qsizetype sixth = line.indexOf(';', line.indexOf(QByteArray("0.500")));
    ASSERT_GT(sixth, 0);
    const QString path = dir.filePath(QStringLiteral("history.txt"));
    for (qsizetype cut = 1; cut < line.size(); ++cut) {
        SCOPED_TRACE(line.left(cut).toStdString());
        // As a line on its own, past the six fields of the oldest lines:
        // only a cut just before the strikes leaves a line of the version that kept none.
        if (cut > sixth && !(line.at(cut) == ';' && line.left(cut).count(';') == 10)) {
            EXPECT_FALSE(TrainingHistory::parseLine(QString::fromUtf8(line.left(cut)), read));
        }
        // In a file: a cut in each of the first fields and every cut from the extras on.
        if (cut > 2 && line.at(cut - 1) != ';' && line.left(cut).count(';') < 10) {
            continue;
        }
        ASSERT_TRUE(writeBytes(path, lineOf(runOf(QStringLiteral("Звон"), 1)) + line.left(cut)));
        TrainingHistory history(path);
        ASSERT_TRUE(history.append(runOf(QStringLiteral("Звон"), 3)));
        const QList<TrainingRun> runs = history.load();
        EXPECT_EQ(history.skippedLines(), 1);
        ASSERT_EQ(runs.size(), 2);
        EXPECT_EQ(runs[1].hits, 3);
        EXPECT_EQ(history.lastRuns(QStringLiteral("Звон"), 5).size(), 2);
    }

    // Strikes that disagree with the hits and extras are no run either.
    whole.hits = 3;
    EXPECT_FALSE(TrainingHistory::parseLine(TrainingHistory::formatLine(whole), read));
    EXPECT_EQ(RunRecording::strikeCount(whole.recording), 3);
    EXPECT_EQ(RunRecording::strikeCount(QStringLiteral("45||")), 0);
    EXPECT_EQ(RunRecording::strikeCount(QStringLiteral("45|0.2.0.64|4a,5")), -1);
    EXPECT_EQ(RunRecording::strikeCount(QStringLiteral("45|0.2.0|4a")), -1);
}
