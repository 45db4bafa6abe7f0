#include "base/AtomicFile.h"
#include "support/OutputPaths.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using outputpaths::Kind;

// Every kind of path the writer may be given keeps its kind, and the bytes
// reach what it names: /dev/null once became a regular file, and a link to
// a synced folder was replaced by a file.
TEST(OutputPaths, TheSharedWriterWritesThroughWhatThePathIs) {
    const QByteArray content("[Options]\r\nVolume=7\r\n");
    for (const Kind kind : {Kind::Device, Kind::Fifo, Kind::LinkToFile, Kind::LinkToNothing, Kind::Folder}) {
        SCOPED_TRACE(outputpaths::nameOf(kind));
        QTemporaryDir dir;
        const outputpaths::Made made = outputpaths::make(kind, dir.path(), QStringLiteral("out.txt"));
        if (!made.made) {
            ASSERT_EQ(kind, Kind::Device) << "could not make the path";
            std::cout << "[  SKIPPED ] a device node needs the superuser to make it\n";
            continue;
        }
        std::optional<outputpaths::FifoReader> reader;
        if (kind == Kind::Fifo) {
            reader.emplace(made.path);
        }
        const FileWriteResult written = writeFileWhole(made.path, content);
        if (kind == Kind::Folder) {
            EXPECT_FALSE(written.ok);
            EXPECT_EQ(written.systemError, EISDIR);
            EXPECT_TRUE(written.error.contains(QStringLiteral("folder"))) << written.error.toStdString();
            EXPECT_EQ(fileWriteReason(written), QStringLiteral("это папка, а не файл"));
        } else {
            EXPECT_TRUE(written.ok) << written.error.toStdString();
        }
        EXPECT_TRUE(outputpaths::keepsItsKind(kind, made.path));
        if (kind == Kind::Fifo) {
            EXPECT_EQ(reader->finish(), content);
        }
        if (kind == Kind::LinkToFile || kind == Kind::LinkToNothing) {
            QFile target(made.target);
            ASSERT_TRUE(target.open(QIODevice::ReadOnly));
            EXPECT_EQ(target.readAll(), content);
            // Written whole in the target's folder: nothing left beside it.
            EXPECT_TRUE(outputpaths::temporariesIn(dir.path() + QStringLiteral("/targets")).isEmpty());
        }
        EXPECT_TRUE(outputpaths::temporariesIn(dir.path()).isEmpty());
    }
}

// A replaced file keeps its permissions; a chain of links is followed to
// its end; a link that loops is refused, not spun on.
TEST(OutputPaths, ReplacedFilesKeepTheirModeAndLinksAreFollowedToTheEnd) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("f.ini"));
    ASSERT_TRUE(writeFileAtomically(file, QByteArray("a")));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    ASSERT_TRUE(writeFileAtomically(file, QByteArray("b")));
    struct stat node {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &node), 0);
    EXPECT_EQ(node.st_mode & 07777, 0600u);

    ASSERT_EQ(::symlink("f.ini", QFile::encodeName(dir.filePath(QStringLiteral("l1"))).constData()), 0);
    ASSERT_EQ(::symlink("l1", QFile::encodeName(dir.filePath(QStringLiteral("l2"))).constData()), 0);
    ASSERT_TRUE(writeFileAtomically(dir.filePath(QStringLiteral("l2")), QByteArray("c")));
    QFile read(file);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    EXPECT_EQ(read.readAll(), "c");
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("l1"))).isSymLink());

    ASSERT_EQ(::symlink("loop", QFile::encodeName(dir.filePath(QStringLiteral("loop"))).constData()), 0);
    const FileWriteResult looped = writeFileWhole(dir.filePath(QStringLiteral("loop")), QByteArray("x"));
    EXPECT_FALSE(looped.ok);
    EXPECT_EQ(looped.systemError, ELOOP);
}

} // namespace
