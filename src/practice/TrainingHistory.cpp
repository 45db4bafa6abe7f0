#include "practice/TrainingHistory.h"

#include "base/AtomicFile.h"
#include "base/Logging.h"
#include "practice/RunRecording.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QHash>

#include <algorithm>
#include <cmath>
#include <optional>

#include <unistd.h>

namespace {

const QString kHeader = QStringLiteral("# Campanix training history: date;ringing;part;interval ms;mean ms;"
                                       "share within 20 ms;deviation ms;mean distance ms;hits;misses;extras;"
                                       "strikes");
constexpr int kRequiredFields = 6;
constexpr int kAllFields = 11;
constexpr int kRecordingField = 11;
// Ends a torn line: no number, date or strike reads with it.
constexpr char kTornMark[] = " #torn";

QString escapeField(QString text) {
    text.replace(QLatin1Char('%'), QStringLiteral("%25"));
    text.replace(QLatin1Char(';'), QStringLiteral("%3B"));
    text.replace(QLatin1Char('\n'), QStringLiteral("%0A"));
    text.replace(QLatin1Char('\r'), QStringLiteral("%0D"));
    return text;
}

QString unescapeField(QString text) {
    text.replace(QStringLiteral("%3B"), QStringLiteral(";"));
    text.replace(QStringLiteral("%0A"), QStringLiteral("\n"));
    text.replace(QStringLiteral("%0D"), QStringLiteral("\r"));
    text.replace(QStringLiteral("%25"), QStringLiteral("%"));
    return text;
}

bool readNumber(const QString& text, double& value) {
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool readWhole(const QString& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= 0;
}

// A run's strikes are its hits and extras, each once. A line torn while it
// was written and ended by the next run's line break has lost strikes at
// its end (or the end of its last field): it is no run to chart or replay.
bool strikesAgree(const TrainingRun& run) {
    return RunRecording::strikeCount(run.recording) == static_cast<qsizetype>(run.hits) + run.extras;
}

} // namespace

TrainingHistory::TrainingHistory(QString path) : m_path(std::move(path)) {}

QString TrainingHistory::defaultPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/campanix/training-history.txt");
}

QString TrainingHistory::formatLine(const TrainingRun& run) {
    const QStringList fields = {
        run.date.toString(Qt::ISODate),
        escapeField(run.ringing),
        escapeField(run.part),
        QString::number(run.interval),
        QString::number(run.meanMs, 'f', 1),
        QString::number(run.shareOnTime, 'f', 3),
        QString::number(run.deviationMs, 'f', 1),
        QString::number(run.meanAbsoluteMs, 'f', 1),
        QString::number(run.hits),
        QString::number(run.misses),
        QString::number(run.extras),
    };
    QString line = fields.join(QLatin1Char(';'));
    if (!run.recording.isEmpty()) {
        line += QLatin1Char(';') + escapeField(run.recording);
    }
    return line;
}

namespace {

// The local time of the history's dates. Each local date the system makes
// asks after the time zone (a file check per date with the C library), which
// would be most of the cost of reading a long history; the offset is
// therefore asked once per hour of the dates read, except for an hour in
// which it changes.
class LocalTimes {
public:
    QDateTime at(const QString& text) {
        // "yyyy-MM-ddTHH:mm:ss" as the history writes it; anything else the slow way.
        if (text.size() != 19 || text.at(10) != QLatin1Char('T')) {
            return QDateTime::fromString(text, Qt::ISODate);
        }
        const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
        const QTime time = QTime::fromString(text.mid(11), Qt::ISODate);
        if (!date.isValid() || !time.isValid()) {
            return QDateTime::fromString(text, Qt::ISODate);
        }
        const qint64 hour = date.toJulianDay() * 24 + time.hour();
        auto known = m_offsets.find(hour);
        if (known == m_offsets.end()) {
            const int first = QDateTime(date, QTime(time.hour(), 0)).offsetFromUtc();
            const int last = QDateTime(date, QTime(time.hour(), 59, 59)).offsetFromUtc();
            known = m_offsets.insert(hour, first == last ? std::optional<int>(first) : std::nullopt);
        }
        return known.value() ? QDateTime(date, time, Qt::OffsetFromUTC, *known.value())
                             : QDateTime(date, time);
    }

private:
    QHash<qint64, std::optional<int>> m_offsets;
};

bool parseFields(const QString& line, TrainingRun& run, LocalTimes* times) {
    const QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() < kRequiredFields) {
        return false;
    }
    TrainingRun parsed;
    parsed.date = times ? times->at(fields[0]) : QDateTime::fromString(fields[0], Qt::ISODate);
    parsed.ringing = unescapeField(fields[1]);
    parsed.part = unescapeField(fields[2]);
    if (!parsed.date.isValid() || parsed.ringing.isEmpty() || !readWhole(fields[3], parsed.interval) ||
        !readNumber(fields[4], parsed.meanMs) || !readNumber(fields[5], parsed.shareOnTime) ||
        parsed.shareOnTime < 0.0 || parsed.shareOnTime > 1.0) {
        return false;
    }
    // The later fields came all at once: a line with some of them was cut
    // short, and present ones must be readable.
    if (fields.size() > kRequiredFields && fields.size() < kAllFields) {
        return false;
    }
    if (fields.size() >= kAllFields &&
        (!readNumber(fields[6], parsed.deviationMs) || !readNumber(fields[7], parsed.meanAbsoluteMs) ||
         !readWhole(fields[8], parsed.hits) || !readWhole(fields[9], parsed.misses) ||
         !readWhole(fields[10], parsed.extras))) {
        return false;
    }
    if (fields.size() > kRecordingField) {
        parsed.recording = unescapeField(fields[kRecordingField]);
        if (!strikesAgree(parsed)) {
            return false;
        }
    }
    run = parsed;
    return true;
}

} // namespace

bool TrainingHistory::parseLine(const QString& line, TrainingRun& run) {
    return parseFields(line, run, nullptr);
}

namespace {

// Lines are split as bytes and only a line that may be wanted is decoded.
QByteArrayView withoutLineEnd(QByteArrayView line) {
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r')) {
        line.chop(1);
    }
    return line;
}

bool isRunLine(QByteArrayView line) {
    return !line.isEmpty() && line.front() != '#';
}

// The second field as it stands in the file (still escaped).
QByteArrayView ringingField(QByteArrayView line) {
    const qsizetype first = line.indexOf(';');
    if (first < 0) {
        return {};
    }
    const qsizetype second = line.indexOf(';', first + 1);
    return second < 0 ? QByteArrayView() : line.sliced(first + 1, second - first - 1);
}

constexpr qint64 kBackwardBlock = 64 * 1024;
constexpr qint64 kForwardBlock = 1024 * 1024;

// A run's line as bytes. Only the fields before the strikes are decoded as
// text and split; the strikes, long and plain ASCII, are taken as they stand.
bool readRunLine(QByteArrayView line, TrainingRun& run, LocalTimes& times) {
    qsizetype cut = -1;
    int separators = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == ';' && ++separators == kAllFields) {
            cut = i;
            break;
        }
    }
    if (cut < 0) {
        return parseFields(QString::fromUtf8(line), run, &times);
    }
    TrainingRun parsed;
    if (!parseFields(QString::fromUtf8(line.first(cut)), parsed, &times)) {
        return false;
    }
    QByteArrayView strikes = line.sliced(cut + 1);
    // Fields a later version may add after the strikes are not read.
    if (const qsizetype next = strikes.indexOf(';'); next >= 0) {
        strikes = strikes.first(next);
    }
    parsed.recording =
        strikes.contains('%') ? unescapeField(QString::fromUtf8(strikes)) : QString::fromUtf8(strikes);
    if (!strikesAgree(parsed)) {
        return false;
    }
    run = parsed;
    return true;
}

} // namespace

bool TrainingHistory::fail(const QString& problem, const char* logText) {
    m_problem = problem;
    qCWarning(lcPractice) << logText << m_path;
    return false;
}

QList<TrainingRun> TrainingHistory::load() const {
    QList<TrainingRun> runs;
    m_skipped = 0;
    m_unreadable = false;
    QFile file(m_path);
    if (!file.exists()) {
        return runs;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_unreadable = true;
        qCWarning(lcPractice) << "could not read the training history" << m_path;
        return runs;
    }
    LocalTimes times;
    const auto consider = [&](QByteArrayView line) {
        line = withoutLineEnd(line);
        if (!isRunLine(line)) {
            return;
        }
        TrainingRun run;
        if (readRunLine(line, run, times)) {
            runs << run;
        } else {
            ++m_skipped;
        }
    };
    // Read in large blocks and cut into lines here: the lines of runs kept
    // with their strikes are long.
    QByteArray pending;
    while (!file.atEnd()) {
        const QByteArray block = file.read(kForwardBlock);
        if (block.isEmpty()) {
            qCWarning(lcPractice) << "could not read the training history to its end" << m_path;
            break;
        }
        pending += block;
        qsizetype lineStart = 0;
        for (qsizetype lineEnd = pending.indexOf('\n'); lineEnd >= 0;
             lineEnd = pending.indexOf('\n', lineStart)) {
            consider(QByteArrayView(pending).sliced(lineStart, lineEnd - lineStart));
            lineStart = lineEnd + 1;
        }
        pending.remove(0, lineStart);
    }
    consider(pending);
    return runs;
}

QList<TrainingRun> TrainingHistory::lastRuns(const QString& ringing, int count) const {
    QList<TrainingRun> runs; // newest first until the end
    m_unreadable = false;
    QFile file(m_path);
    if (count <= 0 || !file.exists()) {
        return runs;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_unreadable = true;
        qCWarning(lcPractice) << "could not read the training history" << m_path;
        return runs;
    }
    const QByteArray wanted = escapeField(ringing).toUtf8();
    LocalTimes times;
    const auto consider = [&](QByteArrayView line) {
        line = withoutLineEnd(line);
        TrainingRun run;
        if (isRunLine(line) && ringingField(line) == wanted && readRunLine(line, run, times) &&
            run.ringing == ringing) {
            runs << run;
        }
    };
    // Blocks are read from the end backwards; `carried` is the beginning of
    // the earliest line seen, whose start lies in the next block back.
    const qint64 floor = std::max<qint64>(0, file.size() - kRecentBytes);
    qint64 end = file.size();
    QByteArray carried;
    while (end > floor && runs.size() < count) {
        const qint64 start = std::max(floor, end - kBackwardBlock);
        QByteArray block;
        if (!file.seek(start) || (block = file.read(end - start)).size() != end - start) {
            qCWarning(lcPractice) << "could not read the training history" << m_path;
            break;
        }
        block += carried;
        end = start;
        qsizetype lineEnd = block.size();
        for (qsizetype lineStart = block.lastIndexOf('\n', lineEnd - 1);
             lineStart >= 0 && runs.size() < count;
             lineStart = lineEnd > 0 ? block.lastIndexOf('\n', lineEnd - 1) : -1) {
            consider(QByteArrayView(block).sliced(lineStart + 1, lineEnd - lineStart - 1));
            lineEnd = lineStart;
        }
        carried = block.left(lineEnd);
        // The file's first line has no line break before it; a line cut by
        // the limit is not read.
        if (start == 0 && runs.size() < count) {
            consider(carried);
        }
    }
    std::reverse(runs.begin(), runs.end());
    return runs;
}

bool TrainingHistory::append(const TrainingRun& run) {
    m_problem.clear();
    const QByteArray line = formatLine(run).toUtf8() + '\n';
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("не удалось создать папку %1").arg(folder),
                    "could not create the folder of the training history");
    }
    const auto create = [&] {
        return writeFileAtomically(m_path, kHeader.toUtf8() + '\n' + line)
                   ? true
                   : fail(QStringLiteral("не удалось записать файл %1").arg(m_path),
                          "could not write the training history");
    };
    QFile file(m_path);
    if (!file.exists()) {
        return create();
    }
    // A file that cannot be read may hold any number of runs: it is never
    // written over, not even appended to blindly.
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("файл %1 есть, но его нельзя прочитать; он оставлен как был").arg(m_path),
                    "the training history cannot be read and is left alone:");
    }
    const qint64 size = file.size();
    char last = '\n';
    if (size > 0 && (!file.seek(size - 1) || !file.getChar(&last))) {
        return fail(QStringLiteral("файл %1 есть, но его нельзя прочитать; он оставлен как был").arg(m_path),
                    "the training history cannot be read and is left alone:");
    }
    file.close();
    if (size == 0) {
        return create();
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return fail(QStringLiteral("файл %1 недоступен для записи").arg(m_path),
                    "could not open the training history for writing");
    }
    // A torn last line keeps its own line, and is marked so that no field
    // it was cut in reads as a whole one (cut just before its strikes, it
    // would read as a run kept without them); the run is written whole or taken back.
    const QByteArray bytes = (last == '\n' ? QByteArray() : QByteArray(kTornMark) + '\n') + line;
    if (file.write(bytes) != bytes.size() || ::fsync(file.handle()) != 0) {
        file.resize(size);
        return fail(QStringLiteral("не удалось дописать файл %1").arg(m_path),
                    "could not append to the training history");
    }
    return true;
}
