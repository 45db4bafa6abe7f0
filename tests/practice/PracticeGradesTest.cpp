#include "practice/PracticeGrades.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// `within` hits at `error` ms and the rest of `count` at 100 ms.
QList<StrikeOutcome> pass(int count, int within, double error) {
    QList<StrikeOutcome> outcomes;
    for (int i = 0; i < count; ++i) {
        StrikeOutcome o;
        o.errorMs = i < within ? error : 100.0;
        outcomes << o;
    }
    return outcomes;
}

} // namespace

// A grade is passed with 90 % of the strikes within its tolerance; a pass
// may reach several grades at once and never lowers the one reached.
TEST(PracticeGrades, GradeAfterAPass) {
    struct Case {
        const char* fault;
        int before;
        QList<StrikeOutcome> outcomes;
        int after;
    };
    QList<StrikeOutcome> withMiss = pass(10, 10, 10.0);
    withMiss[0].kind = StrikeOutcome::Kind::Missed;
    withMiss[1].kind = StrikeOutcome::Kind::Missed;
    QList<StrikeOutcome> withExtra = pass(9, 9, 10.0);
    StrikeOutcome extra;
    extra.kind = StrikeOutcome::Kind::Extra;
    withExtra << extra << extra;
    const QList<Case> cases = {
        {"89 % is not enough", 0, pass(100, 89, 10.0), 0},
        {"90 % within 50 ms passes the first grade", 0, pass(10, 9, 40.0), 1},
        {"a bound error counts as within", 0, pass(10, 9, -35.0), 2},
        {"one pass within 20 ms reaches the top", 0, pass(10, 10, 19.9), 3},
        {"a poor pass lowers the grade", 2, pass(10, 0, 0.0), 2},
        {"a miss counts as outside", 0, withMiss, 0},
        {"extras count against the share", 0, withExtra, 0},
        {"an empty pass passes nothing", 0, {}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PracticeGrades::gradeAfterPass(c.before, c.outcomes), c.after) << c.fault;
    }
    EXPECT_EQ(PracticeGrades::workingToleranceMs(0), 50);
    EXPECT_EQ(PracticeGrades::workingToleranceMs(2), 20);
    EXPECT_EQ(PracticeGrades::workingToleranceMs(3), 20);
}

TEST(PracticeGrades, BookKeepsTheHighestGradePerRingingAndPart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/grades.txt"));
    {
        GradeBook book(path);
        EXPECT_EQ(book.grade(QStringLiteral("Звон"), QStringLiteral("s")), 0);
        EXPECT_TRUE(book.raise(QStringLiteral("Звон"), QStringLiteral("s"), 2));
        EXPECT_TRUE(book.raise(QStringLiteral("Звон"), QStringLiteral("s"), 1)); // not lowered
        EXPECT_TRUE(book.raise(QStringLiteral("Звон\tс табом"), QStringLiteral("k3"), 1));
    }
    // A damaged line is skipped; the rest reads back.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("garbage\tline\n\tx\t9\n");
    file.close();
    GradeBook book(path);
    EXPECT_EQ(book.grade(QStringLiteral("Звон"), QStringLiteral("s")), 2);
    EXPECT_EQ(book.grade(QStringLiteral("Звон"), QStringLiteral("m")), 0);
    EXPECT_EQ(book.grade(QStringLiteral("Звон\tс табом"), QStringLiteral("k3")), 1);
}
