#include "base/AtomicFile.h"
#include "base/Rounding.h"
#include "base/TextCodec.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

// Lines may end in CR LF, lone CR or lone LF, mixed in one file; a final
// terminator adds no empty line but empty lines inside are kept.
TEST(TextCodec, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(splitTextLines(QStringLiteral("a\r\nb\rc\nd")), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitTextLines(QStringLiteral("a\r\n\r\nb\r\n")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitTextLines(QStringLiteral("a\n\n")), (QStringList{"a", ""}));
    EXPECT_TRUE(splitTextLines(QString()).isEmpty());
    // CR LF is one line end, LF CR is two.
    EXPECT_EQ(splitTextLines(QStringLiteral("a\n\rb")), (QStringList{"a", "", "b"}));
}

// Cyrillic text must survive a write and a read as single bytes of 1251.
TEST(TextCodec, WritesWindows1251WithCrLfAndReadsItBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.kli"));
    const QStringList lines{QStringLiteral("Колокол 15"), QString(), QStringLiteral("Ёё;b1")};
    ASSERT_TRUE(writeTextLines(path, lines));
    const QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes, QByteArray("\xCA\xEE\xEB\xEE\xEA\xEE\xEB 15\r\n\r\n\xA8\xB8;b1\r\n"));
    EXPECT_EQ(readTextLines(path).value(), lines);
    EXPECT_FALSE(readTextLines(dir.filePath(QStringLiteral("missing"))).has_value());
}

// A UTF-8 byte-order mark in front of the first line is dropped, so the
// first line of a ringing file or catalogue reads as written; the same bytes
// later in a file are text and stay.
TEST(TextCodec, LeadingByteOrderMarkIsDropped) {
    QTemporaryDir dir;
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {QByteArray("\xEF\xBB\xBF"
                    "111110000000000\r\nbbmssnnnnnnnnnn\r\n"),
         {"111110000000000", "bbmssnnnnnnnnnn"}},
        {QByteArray("\xEF\xBB\xBF"), {}},
        {QByteArray("\xEF\xBB\xBF\r\n144"), {"", "144"}},
        // Only a whole mark at the very start counts.
        {QByteArray("\xEF\xBB"
                    "144"),
         {decode1251("\xEF\xBB") + "144"}},
        {QByteArray("144\r\n\xEF\xBB\xBF"
                    "s1"),
         {"144", decode1251("\xEF\xBB\xBF") + "s1"}},
    };
    const QString path = dir.filePath(QStringLiteral("t.kol"));
    for (const Case& c : cases) {
        ASSERT_TRUE(writeFileAtomically(path, c.bytes));
        EXPECT_EQ(readTextLines(path).value(), c.lines) << c.bytes.toHex().toStdString();
    }
}

// A write that fails part-way leaves the old file whole and no temporary file behind.
TEST(AtomicFile, FailedWriteKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("campanix.ini"));
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old content\r\n")));

    const bool ok = writeFileAtomically(path, [](QIODevice& out) {
        out.write("new half");
        return false;
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(readBytes(path), QByteArray("old content\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"campanix.ini"});

    EXPECT_TRUE(writeFileAtomically(path, QByteArray("new\r\n")));
    EXPECT_EQ(readBytes(path), QByteArray("new\r\n"));
}

// A target in a folder that does not exist fails and says so.
TEST(AtomicFile, MissingFolderIsAFailure) {
    QTemporaryDir dir;
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("no/such/file")), QByteArray("x")));
}

// Halves go to the even neighbour, in both directions.
TEST(Rounding, HalvesToEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
    EXPECT_EQ(roundHalfEven(52.46666), 52);
}
