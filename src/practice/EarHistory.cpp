#include "practice/EarHistory.h"

#include "base/Logging.h"
#include "practice/Staircase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

EarHistory::EarHistory(QString path) : m_path(std::move(path)) {}

QString EarHistory::defaultPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/campanix/ear-training.txt");
}

QString EarHistory::formatLine(const EarResult& result) {
    return QStringLiteral("%1\t%2\t%3\n")
        .arg(result.date.toString(Qt::ISODate))
        .arg(result.thresholdMs, 0, 'f', 2)
        .arg(result.trials);
}

bool EarHistory::parseLine(const QString& line, EarResult& result) {
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 3) {
        return false;
    }
    bool thresholdOk = false;
    bool trialsOk = false;
    result.date = QDateTime::fromString(fields.at(0), Qt::ISODate);
    result.thresholdMs = fields.at(1).toDouble(&thresholdOk);
    result.trials = fields.at(2).toInt(&trialsOk);
    // The comparisons are false for a NaN as well.
    return result.date.isValid() && thresholdOk && trialsOk && result.thresholdMs > 0.0 &&
           result.thresholdMs <= Staircase::kCeilingMs && result.trials > 0;
}

QList<EarResult> EarHistory::last(int count) const {
    QList<EarResult> results;
    m_unreadable = false;
    QFile file(m_path);
    if (!file.exists()) {
        return results;
    }
    const qint64 start = std::max<qint64>(0, file.size() - kTailBytes);
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly) || !file.seek(start) ||
        (bytes = file.read(file.size() - start)).size() != file.size() - start) {
        m_unreadable = true;
        qCWarning(lcPractice) << "could not read the ear-training history" << m_path;
        return results;
    }
    // The first line of the tail may be cut by its start; a last line
    // without its line break was cut off while being written.
    const qsizetype begin = start > 0 ? bytes.indexOf('\n') + 1 : 0;
    const qsizetype end = bytes.lastIndexOf('\n') + 1;
    const QStringList lines = QString::fromUtf8(bytes.sliced(begin, std::max<qsizetype>(0, end - begin)))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        EarResult result;
        if (parseLine(line, result)) {
            results << result;
        }
    }
    return results.mid(std::max<qsizetype>(0, results.size() - count));
}

bool EarHistory::append(const EarResult& result) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        qCWarning(lcPractice) << "could not open the ear-training history" << m_path;
        return false;
    }
    QByteArray bytes = formatLine(result).toUtf8();
    // A torn line left by an earlier failure is ended, so this one stands
    // alone, and marked, so that what is left of its last field is no figure.
    if (file.size() > 0 && file.seek(file.size() - 1) && file.read(1) != "\n") {
        bytes.prepend(" #torn\n");
    }
    if (file.write(bytes) != bytes.size() || ::fsync(file.handle()) != 0) {
        qCWarning(lcPractice) << "could not write the ear-training history" << m_path;
        return false;
    }
    return true;
}

QString earTrendText(const QList<EarResult>& results) {
    if (results.isEmpty()) {
        return QStringLiteral("Пока нет результатов.");
    }
    QStringList values;
    for (const EarResult& r : results.mid(std::max<qsizetype>(0, results.size() - 5))) {
        values << QStringLiteral("%1 мс").arg(
            QString::number(r.thresholdMs, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')));
    }
    QString text = values.join(QStringLiteral(", "));
    if (results.size() >= 2) {
        // Half the earlier results against half the later: a lower threshold hears finer.
        const qsizetype half = results.size() / 2;
        double early = 0.0;
        double late = 0.0;
        for (qsizetype i = 0; i < half; ++i) {
            early += results.at(i).thresholdMs / static_cast<double>(half);
        }
        for (qsizetype i = results.size() - half; i < results.size(); ++i) {
            late += results.at(i).thresholdMs / static_cast<double>(half);
        }
        text += late < early * 0.9   ? QStringLiteral(": слух становится тоньше")
                : late > early * 1.1 ? QStringLiteral(": порог вырос")
                                     : QStringLiteral(": без заметных перемен");
    }
    return text;
}
