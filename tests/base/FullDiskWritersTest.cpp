// Every writer of the program driven onto a full disk: each must say it
// failed, keep the old file byte for byte and leave no temporary file. Small
// files once reached the disk only at the commit, whose failed flush went
// unseen: a saved ringing, the settings and the grades became empty files
// while success was reported.

#include "base/AtomicFile.h"
#include "base/ProfileFile.h"
#include "base/TextCodec.h"
#include "bells/Ensemble.h"
#include "practice/PracticeGrades.h"
#include "practice/TrainingHistory.h"
#include "record/RingingSave.h"
#include "ringing/RingingFiles.h"
#include "support/FullDisk.h"
#include "ui/JpegImage.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(FullDisk, EveryWriterFailsAloudAndKeepsTheOldFile) {
    FullDisk disk;
    const QString d = disk.path() + u'/';
    std::cout << "[   INFO   ] the disk is made full by " << disk.how() << '\n';
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnbmmss"));
    const QStringList body = {QStringLiteral("144"), QStringLiteral("s1,b1"), QString()};

    struct Case {
        const char* what;
        QString path;        // the file that must stay as it was
        QByteArray old;      // its content before ("" for a file that must not appear)
        std::function<bool()> write; // true when the writer reported success
    };
    GradeBook grades(d + QStringLiteral("training-grades.txt"));
    TrainingHistory history(d + QStringLiteral("history/training-history.txt"));
    const Case cases[] = {
        {"the shared writer", d + QStringLiteral("a.bin"), "old bytes",
         [&] { return writeFileAtomically(d + QStringLiteral("a.bin"), QByteArray("new bytes")); }},
        {"a text file", d + QStringLiteral("lines.txt"), "one\r\ntwo\r\n",
         [&] { return writeTextLines(d + QStringLiteral("lines.txt"), {QStringLiteral("three")}); }},
        {"the settings (campanix.ini)", d + QStringLiteral("campanix.ini"),
         QByteArray("[Options]\r\nVolume=5\r\n").repeated(10),
         [&] { return ProfileFile(d + QStringLiteral("campanix.ini")).writeString(
                   QStringLiteral("Options"), QStringLiteral("Volume"), QStringLiteral("9")); }},
        // Save As, the recording dialog's save and the edits kept at a
        // termination signal all write a user ringing file so.
        {"a user ringing file", d + QStringLiteral("my.ukl"), "000000000011111\r\nold\r\n",
         [&] {
             const RingingWriteResult r =
                 writeUserRingingFile(d + QStringLiteral("my.ukl"), ensemble, QStringLiteral("Мой"), body);
             EXPECT_TRUE(r.error.contains(QStringLiteral("Не удалось записать файл")) &&
                         (r.error.contains(QStringLiteral("нет места")) ||
                          r.error.contains(QStringLiteral("больше, чем позволено"))))
                 << r.error.toStdString();
             return r.ok;
         }},
        {"a list ringing", d + QStringLiteral("Mine.kol"), "old list ringing\r\n",
         [&] { return writeListRinging(d, ensemble, QStringLiteral("Mine"), QString(), body).ok; }},
        {"the grades", d + QStringLiteral("training-grades.txt"), "A\t1\t1\nB\t1\t2\nC\t2\t1\n",
         [&] { return grades.raise(QStringLiteral("A"), QStringLiteral("1"), 3); }},
        {"a new training history", d + QStringLiteral("history/training-history.txt"), "",
         [&] {
             TrainingRun run;
             run.date = QDateTime::currentDateTime();
             run.ringing = QStringLiteral("A");
             run.part = QStringLiteral("1");
             run.interval = 144;
             return history.append(run);
         }},
        {"a JPEG picture", d + QStringLiteral("p.jpg"), "old picture",
         [&] {
             QImage image(32, 32, QImage::Format_RGB32);
             image.fill(Qt::red);
             return saveJpeg(image, d + QStringLiteral("p.jpg"), 90);
         }},
    };
    QDir().mkpath(d + QStringLiteral("history"));
    for (const Case& c : cases) {
        if (!c.old.isEmpty()) {
            put(c.path, c.old);
        }
    }
    // The grades are read before the disk fills, as a session would have.
    ASSERT_EQ(grades.grade(QStringLiteral("B"), QStringLiteral("1")), 2);
    disk.fill();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.write()) << "reported success on " << disk.how();
        if (c.old.isEmpty()) {
            EXPECT_FALSE(QFile::exists(c.path));
        } else {
            EXPECT_EQ(contentOf(c.path), c.old);
        }
    }
    disk.empty();
    const QStringList left = QDir(d).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden) +
                             QDir(d + QStringLiteral("history")).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
}

} // namespace
