#include "ringing/RingingFiles.h"
#include "base/TextCodec.h"
#include "ringing/TChannels.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Bells 0 and 1 big, 2 middle, 3 and 4 small.
Ensemble exampleEnsemble() {
    Ensemble e;
    const int groups[] = {kBigGroup, kBigGroup, kMiddleGroup, kSmallGroup, kSmallGroup};
    for (int bell = 0; bell < 5; ++bell) {
        e.setSelected(bell, true);
        e.setGroup(bell, groups[bell]);
    }
    return e;
}

const QStringList kExampleBody{"144", "s1,m1", "", "b1,s2"};

} // namespace

// The documented user ringing file, byte for byte, and what reading it gives.
TEST(UserRingingFile, WorkedExampleIsWrittenExactly) {
    QTemporaryDir dir;
    const RingingWriteResult r =
        writeUserRingingFile(dir.filePath("example"), exampleEnsemble(), "Пример", kExampleBody, {1, 1});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.path, dir.filePath("example.ukl"));
    EXPECT_EQ(readBytes(r.path),
              QByteArray("111110000000000\r\nbbmssnnnnnnnnnn\r\n\xCF\xF0\xE8\xEC\xE5\xF0\r\n"
                         "144&{1~[}1&&!1~{2&\r\n"));

    const auto doc = parseRingingDocument(readTextLines(r.path).value(), kUserRingingPreambleLines);
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(doc->name, "Пример");
    QStringList body = doc->body;
    DecodeRingingText(body);
    EXPECT_EQ(body, kExampleBody);
}

// Whatever symbols the clock draws, the file reads back the lines it was given,
// trailing empty columns included, even when decoded twice as an opened file is.
TEST(UserRingingFile, SavedBodiesReadBackIdentically) {
    QTemporaryDir dir;
    const QStringList body{"96;s-", "s1,s2,m1", "", "b2,#1", "", ""};
    for (int i = 0; i < 16; ++i) {
        const SymbolChoice symbols{i / 4, i % 4};
        const RingingWriteResult r =
            writeUserRingingFile(dir.filePath("r.ukl"), exampleEnsemble(), "n", body, symbols);
        ASSERT_TRUE(r.ok);
        const auto doc = parseRingingDocument(readTextLines(r.path).value(), kUserRingingPreambleLines);
        ASSERT_TRUE(doc.has_value());
        QStringList once = doc->body;
        DecodeRingingText(once);
        EXPECT_EQ(once, body) << i;
        TChannels ch;
        ASSERT_TRUE(ch.loadRingingLines(3, once, 144).loaded);
        EXPECT_EQ(ch.common(), body.mid(1));
        EXPECT_EQ(ch.common().size(), 5);
    }
    EXPECT_TRUE(writeUserRingingFile(dir.filePath("clock"), exampleEnsemble(), "n", body).ok);
}

// The preamble is never decoded: a "_" in the name stays.
TEST(UserRingingFile, PreambleIsNeverDecoded) {
    QTemporaryDir dir;
    const RingingWriteResult r =
        writeUserRingingFile(dir.filePath("a.ukl"), exampleEnsemble(), "Звон_1 {b}", kExampleBody, {0, 0});
    ASSERT_TRUE(r.ok);
    const auto doc = parseRingingDocument(readTextLines(r.path).value(), kUserRingingPreambleLines);
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(doc->name, "Звон_1 {b}");
    EXPECT_EQ(doc->bells, "111110000000000");
    EXPECT_EQ(doc->types, "bbmssnnnnnnnnnn");
}

// ".ukl" is added unless the path ends in exactly ".ukl".
TEST(UserRingingFile, ExtensionRule) {
    EXPECT_EQ(userRingingPath("a/b.ukl"), "a/b.ukl");
    EXPECT_EQ(userRingingPath("a/A.UKL"), "a/A.UKL.ukl");
    EXPECT_EQ(userRingingPath("a/b"), "a/b.ukl");
    EXPECT_EQ(userRingingPath("a/b.ukl.txt"), "a/b.ukl.txt.ukl");
    EXPECT_EQ(userRingingPath(""), ".ukl");
}

// A save that fails part-way leaves the old file whole and says so.
TEST(UserRingingFile, FailedSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.ukl");
    ASSERT_TRUE(writeUserRingingFile(path, exampleEnsemble(), "old", kExampleBody, {1, 1}).ok);
    const QByteArray old = readBytes(path);

    QStringList longBody{"144"};
    for (int i = 0; i < 2000; ++i) {
        longBody << "s1,s2,m1,m2,b1";
    }
    {
        // Writes beyond 64 bytes fail: the new content is cut off mid-file.
        FileSizeLimit limit(64);
        const RingingWriteResult r = writeUserRingingFile(path, exampleEnsemble(), "new", longBody, {2, 2});
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.ukl"});

    // A folder that does not exist fails too.
    EXPECT_FALSE(writeUserRingingFile(dir.filePath("no/such/x"), exampleEnsemble(), "n", kExampleBody).ok);
}

// Input the format could not carry back is refused before anything is written.
TEST(UserRingingFile, RefusesWhatCannotBeReadBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.ukl");
    EXPECT_FALSE(writeUserRingingFile(path, exampleEnsemble(), "two\nlines", kExampleBody).ok);
    EXPECT_FALSE(writeUserRingingFile(path, exampleEnsemble(), "n", {"144", "s1&"}).ok);
    EXPECT_FALSE(writeUserRingingFile(path, exampleEnsemble(), "n", kExampleBody, {4, 0}).ok);
    EXPECT_FALSE(QFile::exists(path));
}

// Preambles: three lines for user files, four for list ringings; shorter files are no ringing.
TEST(RingingDocument, SplitsPreambleAndBody) {
    const QStringList list{"111110000000000", "bbmssnnnnnnnnnn", "Имя", "Описание", "144", "s1"};
    const auto doc = parseRingingDocument(list, kListRingingPreambleLines);
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(doc->description, "Описание");
    EXPECT_EQ(doc->body, (QStringList{"144", "s1"}));
    EXPECT_EQ(parseRingingDocument(list.mid(0, 3), kUserRingingPreambleLines)->body, QStringList{});
    EXPECT_FALSE(parseRingingDocument(list.mid(0, 3), kListRingingPreambleLines).has_value());
    EXPECT_FALSE(parseRingingDocument({}, kUserRingingPreambleLines).has_value());
}
