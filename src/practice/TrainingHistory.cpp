#include "practice/TrainingHistory.h"

#include "base/AtomicFile.h"
#include "base/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cmath>

namespace {

const QString kHeader = QStringLiteral("# Campanix training history: date;ringing;part;interval ms;mean ms;"
                                       "share within 20 ms;deviation ms;mean distance ms;hits;misses;extras");
constexpr int kRequiredFields = 6;
constexpr int kAllFields = 11;

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
    return fields.join(QLatin1Char(';'));
}

bool TrainingHistory::parseLine(const QString& line, TrainingRun& run) {
    const QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() < kRequiredFields) {
        return false;
    }
    TrainingRun parsed;
    parsed.date = QDateTime::fromString(fields[0], Qt::ISODate);
    parsed.ringing = unescapeField(fields[1]);
    parsed.part = unescapeField(fields[2]);
    if (!parsed.date.isValid() || parsed.ringing.isEmpty() || !readWhole(fields[3], parsed.interval) ||
        !readNumber(fields[4], parsed.meanMs) || !readNumber(fields[5], parsed.shareOnTime) ||
        parsed.shareOnTime < 0.0 || parsed.shareOnTime > 1.0) {
        return false;
    }
    // The later fields are optional; present ones must be readable.
    if (fields.size() >= kAllFields &&
        (!readNumber(fields[6], parsed.deviationMs) || !readNumber(fields[7], parsed.meanAbsoluteMs) ||
         !readWhole(fields[8], parsed.hits) || !readWhole(fields[9], parsed.misses) ||
         !readWhole(fields[10], parsed.extras))) {
        return false;
    }
    run = parsed;
    return true;
}

QStringList TrainingHistory::readLines() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QList<TrainingRun> TrainingHistory::load() const {
    QList<TrainingRun> runs;
    m_skipped = 0;
    for (const QString& line : readLines()) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        TrainingRun run;
        if (parseLine(line, run)) {
            runs << run;
        } else {
            ++m_skipped;
        }
    }
    return runs;
}

QList<TrainingRun> TrainingHistory::lastRuns(const QString& ringing, int count) const {
    QList<TrainingRun> runs;
    for (const TrainingRun& run : load()) {
        if (run.ringing == ringing) {
            runs << run;
        }
    }
    return runs.mid(std::max<qsizetype>(0, runs.size() - count));
}

bool TrainingHistory::append(const TrainingRun& run) {
    QStringList lines = readLines();
    if (lines.isEmpty() || !lines.first().startsWith(QLatin1Char('#'))) {
        lines.prepend(kHeader);
    }
    lines << formatLine(run);
    // The summary tells the user the run was not kept; the log says where it failed.
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        qCWarning(lcPractice) << "could not create the folder of the training history" << m_path;
        return false;
    }
    if (!writeFileAtomically(m_path, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8())) {
        qCWarning(lcPractice) << "could not write the training history" << m_path;
        return false;
    }
    return true;
}
