#include "practice/PracticeGrades.h"

#include "base/AtomicFile.h"
#include "base/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace PracticeGrades {

int workingToleranceMs(int grade) {
    return kToleranceMs[static_cast<size_t>(std::clamp(grade, 0, kTopGrade - 1))];
}

QString caption(int grade) {
    if (grade <= 0) {
        return QStringLiteral("нет");
    }
    return QStringLiteral("%1 мс").arg(kToleranceMs[static_cast<size_t>(std::min(grade, kTopGrade) - 1)]);
}

double shareWithin(const QList<StrikeOutcome>& outcomes, double toleranceMs) {
    int within = 0;
    for (const StrikeOutcome& o : outcomes) {
        if (o.kind == StrikeOutcome::Kind::Hit && std::abs(o.errorMs) <= toleranceMs) {
            ++within;
        }
    }
    return outcomes.isEmpty() ? 0.0 : within / static_cast<double>(outcomes.size());
}

int gradeAfterPass(int grade, const QList<StrikeOutcome>& outcomes) {
    int reached = grade;
    for (int next = 1; next <= kTopGrade; ++next) {
        if (shareWithin(outcomes, kToleranceMs[static_cast<size_t>(next - 1)]) + 1e-9 >= kPassShare) {
            reached = std::max(reached, next);
        }
    }
    return reached;
}

} // namespace PracticeGrades

GradeBook::GradeBook(QString path) : m_path(std::move(path)) {}

QString GradeBook::defaultPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/campanix/training-grades.txt");
}

QString GradeBook::keyOf(const QString& ringing, const QString& part) {
    // Tabs and line breaks would split the line: a name keeps them as spaces.
    QString name = ringing;
    name.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return name + QLatin1Char('\t') + part;
}

void GradeBook::load() const {
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (QFileInfo::exists(m_path)) {
            m_unreadable = true;
            qCWarning(lcPractice) << "cannot read" << m_path << "; it will not be written";
        }
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_unreadable = true;
        qCWarning(lcPractice) << "cannot read" << m_path << "; it will not be written";
        return;
    }
    m_lines = bytes.split('\n');
    if (!m_lines.isEmpty() && m_lines.constLast().isEmpty()) {
        m_lines.removeLast(); // the end of the last line
    }
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArray& raw = m_lines.at(i);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = utf8(raw);
        const QStringList fields = line.split(QLatin1Char('\t'));
        bool ok = false;
        const int grade = fields.size() == 3 && !utf8.hasError() ? fields.at(2).toInt(&ok) : 0;
        if (ok && grade > 0 && grade <= PracticeGrades::kTopGrade) {
            const QString key = fields.at(0) + QLatin1Char('\t') + fields.at(1);
            m_grades.insert(key, grade);
            m_lineOf.insert(key, i);
        } else if (!raw.isEmpty()) {
            qCWarning(lcPractice) << "kept a line it does not understand in" << m_path;
        }
    }
}

int GradeBook::grade(const QString& ringing, const QString& part) const {
    load();
    return m_grades.value(keyOf(ringing, part), 0);
}

bool GradeBook::raise(const QString& ringing, const QString& part, int grade) {
    load();
    const QString key = keyOf(ringing, part);
    if (grade <= m_grades.value(key, 0)) {
        return true;
    }
    m_grades.insert(key, std::min(grade, PracticeGrades::kTopGrade));
    if (m_unreadable) {
        qCWarning(lcPractice) << "the grade is kept for this session only:" << m_path << "cannot be read";
        return false;
    }
    const QByteArray line = (key + QLatin1Char('\t') + QString::number(m_grades.value(key))).toUtf8();
    // Held in memory even when the write fails: the next write carries it.
    if (const auto at = m_lineOf.constFind(key); at != m_lineOf.cend()) {
        m_lines[*at] = line;
    } else {
        m_lineOf.insert(key, m_lines.size());
        m_lines.append(line);
    }
    const QByteArray content = m_lines.join('\n') + '\n';
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (!writeFileAtomically(m_path, content)) {
        qCWarning(lcPractice) << "could not store the grades in" << m_path;
        return false;
    }
    return true;
}
