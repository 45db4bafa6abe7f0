#include "practice/PracticeGrades.h"
#include "support/Unreadable.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A raise rewrites its own line only: damaged lines, four-field lines and
// names in another code page stay byte for byte where they were (they were
// once dropped at the next grade).
TEST(GradeBookFile, LinesItDoesNotUnderstandAreKeptByteForByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grades.txt"));
    const QByteArray cp1251Name = "\xc7\xe2\xee\xed\t1\t2\n"; // "Звон" in Windows-1251
    const QByteArray original = QByteArray("A\t1\t1\n") + "damaged\n" + cp1251Name + "B\t2\t1\tmore\n" +
                                "C\t1\t1\r\n" + "D\t1\t2\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();
    GradeBook book(path);
    EXPECT_EQ(book.grade(QStringLiteral("D"), QStringLiteral("1")), 2);
    ASSERT_TRUE(book.raise(QStringLiteral("A"), QStringLiteral("1"), 3));
    ASSERT_TRUE(book.raise(QStringLiteral("E"), QStringLiteral("1"), 1));
    EXPECT_EQ(contentOf(path), QByteArray("A\t1\t3\n") + "damaged\n" + cp1251Name + "B\t2\t1\tmore\n" +
                                   "C\t1\t1\r\n" + "D\t1\t2\n" + "E\t1\t1\n");
}

// A grades file that exists but cannot be read holds grades this session
// cannot see: a raise keeps the grade for the session and writes nothing.
TEST(GradeBookFile, AnUnreadableFileIsNeverRewritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grades.txt"));
    const QByteArray original = "A\t1\t1\nB\t1\t2\nC\t1\t3\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();
    {
        const Unreadable unreadable(path);
        GradeBook book(path);
        EXPECT_FALSE(book.raise(QStringLiteral("D"), QStringLiteral("1"), 2));
        EXPECT_EQ(book.grade(QStringLiteral("D"), QStringLiteral("1")), 2);
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(contentOf(path), original);
}

} // namespace
