#pragma once

#include "practice/StrikeOutcome.h"

#include <QList>
#include <QMap>
#include <QString>

#include <array>

// Grades of a part of a ringing: each has a tolerance tighter than the one
// before. A grade is passed by a pass through the whole ringing at its full
// tempo in which at least kPassShare of the expected strikes (and of the
// extra strikes, each a fault) lie within the grade's tolerance; the grade
// reached is the highest passed so far, never lowered.
namespace PracticeGrades {

inline constexpr std::array<int, 3> kToleranceMs = {50, 35, 20};
inline constexpr int kTopGrade = static_cast<int>(kToleranceMs.size());
inline constexpr double kPassShare = 0.9;

// The tolerance worked on after `grade` (the next grade's, or the top one's).
int workingToleranceMs(int grade);
// "нет", "50 мс", ...
QString caption(int grade);
// Share of the strikes within `toleranceMs`: hits within it over hits,
// misses and extras (0 when there were none).
double shareWithin(const QList<StrikeOutcome>& outcomes, double toleranceMs);
// The grade after one pass through the whole ringing at its full tempo.
int gradeAfterPass(int grade, const QList<StrikeOutcome>& outcomes);

} // namespace PracticeGrades

// The grades reached, by ringing and part, in a small file of their own
// written whole (lines: ringing, part code, grade, tab-separated, UTF-8).
// A line it does not understand is kept byte for byte when the file is
// written again, and a file that exists but cannot be read is never written.
class GradeBook {
public:
    explicit GradeBook(QString path);
    // $XDG_DATA_HOME/campanix/training-grades.txt (by default under ~/.local/share).
    static QString defaultPath();

    int grade(const QString& ringing, const QString& part) const;
    // Keeps a higher grade (a lower one is ignored); false when the file
    // could not be written (the grade is then kept for this session only).
    bool raise(const QString& ringing, const QString& part, int grade);

private:
    void load() const;
    static QString keyOf(const QString& ringing, const QString& part);

    QString m_path;
    mutable bool m_loaded = false;
    mutable bool m_unreadable = false;
    mutable QMap<QString, int> m_grades;
    // The file's lines as read, and the line of each grade, so that a
    // rewrite changes only the grade raised.
    mutable QList<QByteArray> m_lines;
    mutable QMap<QString, qsizetype> m_lineOf;
};
