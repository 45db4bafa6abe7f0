// The one reader of ringing documents: the program and the renderer read the
// same file alike, and both refuse files beyond the limits before taking them
// apart.

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "playback/RenderCommand.h"
#include "ringing/RingingLoader.h"
#include "ringing/RingingReader.h"
#include "ringing/TfrmSelSound.h"
#include "support/MainWindowTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

const QString kBells = QStringLiteral("111110000000000");
const QString kTypes = QStringLiteral("bbmssnnnnnnnnnn");

// A file of `bytes` bytes: a header and one long column of filler.
bool writeFilledFile(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray text = QByteArrayLiteral("144\r\n");
    text.append(QByteArray(bytes - text.size(), 'x'));
    return file.write(text) == bytes;
}

// A message without the file's name and the figures in it: what says why.
QString stem(QString text, const QString& path) {
    text.remove(path).remove(QFileInfo(path).fileName());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isDigit()) {
            return text.left(i);
        }
    }
    return text;
}

class RingingReaderWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        QDir().mkpath(program.dir() + QStringLiteral("Custom"));
    }
    QString path(const QString& name) const { return program.dir() + name; }
};

} // namespace

// A user ringing file's body is decoded twice, a list ringing's and a plain
// body's once, in the program and in the renderer alike. "^<%" becomes the
// comma symbol "^%" only by the first of two decodings.
TEST_F(RingingReaderWindow, SameFileReadAlikeByBothPrograms) {
    struct Case {
        const char* file;
        QStringList lines;
        QStringList columns;
    };
    const Case cases[] = {
        {"r.ukl", {kBells, kTypes, "U", "144&^<%{1&"}, {",s1"}},
        {"r2.ukl", {kBells, kTypes, "U", "144&{1~[}1&&!1~{2&"}, {"s1,m1", "", "b1,s2"}},
        {"Custom/l.kol", {kBells, kTypes, "L", "D", "144", "^<%{1", "m1,b1"}, {"^%s1", "m1,b1"}},
        {"p.kol", {"144", "{1~m1", "", "b2"}, {"s1,m1", "", "b2"}},
    };
    TfrmMain& w = startWith({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = path(QString::fromUtf8(c.file));
        ASSERT_TRUE(writeTextLines(file, c.lines));

        RenderOptions options;
        options.ringingPath = file;
        if (!file.endsWith(QStringLiteral(".ukl")) && !file.contains(QStringLiteral("Custom"))) {
            options.bells = kBells;
            options.types = kTypes;
        }
        QString error;
        const std::optional<RenderRinging> rendered = readRingingForRender(options, &error);
        ASSERT_TRUE(rendered) << error.toStdString();
        EXPECT_EQ(rendered->columns, c.columns);

        w.channels().clearScores();
        if (file.endsWith(QStringLiteral(".ukl"))) {
            ASSERT_TRUE(w.loader().openUserRingingText(file));
        } else if (file.contains(QStringLiteral("Custom"))) {
            ASSERT_TRUE(w.loader().loadListRingingByName(QStringLiteral("l")));
        } else {
            ASSERT_TRUE(w.loader().LoadRinging(TChannels::kCommonScore, file));
        }
        EXPECT_EQ(w.channels().common(), c.columns);
    }
}

// The limits hold at their edges for every way a column can be written, and
// things that are no regular file are not read at all.
TEST(RingingReaderLimits, RefusedBeyondTheLimitsOnly) {
    QTemporaryDir dir;
    const QString p = dir.path() + QStringLiteral("/f");
    const auto read = [&p] { return readRingingFileLines(p); };

    ASSERT_TRUE(writeFilledFile(p, kMaxRingingFileBytes));
    EXPECT_TRUE(read());
    ASSERT_TRUE(writeFilledFile(p, kMaxRingingFileBytes + 1));
    EXPECT_FALSE(read());
    EXPECT_EQ(read().failure.reason, RingingReadFailure::TooLarge);
    EXPECT_EQ(read().failure.bytes, kMaxRingingFileBytes + 1);

    struct Case {
        const char* what;
        QStringList lines;
        qint64 columns;
    };
    const int n = static_cast<int>(kMaxRingingColumns);
    const QStringList emptyColumns(n, QString());
    const Case cases[] = {
        {"empty plain columns", QStringList{"144"} + emptyColumns, n},
        {"one more", QStringList{"144"} + emptyColumns + QStringList{""}, n + 1},
        {"encoded columns", {kBells, kTypes, "U", "144" + QString(n, u'_')}, n},
        {"encoded, one more", {kBells, kTypes, "U", "144" + QString(n + 1, u'$')}, n + 1},
        {"lone carriage returns", {"144" + QString(n + 1, u'\r')}, n + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeTextLines(p, c.lines));
        const RingingFileLines lines = read();
        // The raw count allows for the longest preamble; the document counts exactly.
        const RingingKind kind = c.lines.first() == kBells ? RingingKind::User : RingingKind::Body;
        const bool fits = c.columns <= kMaxRingingColumns;
        if (lines) {
            const RingingRead document = ringingDocumentFromLines(*lines.lines, kind);
            EXPECT_EQ(bool(document), fits);
            if (!document) {
                EXPECT_EQ(document.failure.reason, RingingReadFailure::TooManyColumns);
                EXPECT_EQ(document.failure.columns, c.columns);
            }
        } else {
            EXPECT_FALSE(fits);
            EXPECT_EQ(lines.failure.reason, RingingReadFailure::TooManyColumns);
        }
    }

    // The largest accepted plain body loads whole.
    ASSERT_TRUE(writeTextLines(p, QStringList{"144"} + emptyColumns));
    TChannels channels;
    EXPECT_TRUE(channels.LoadRinging(TChannels::kCommonScore, p, 144).loaded);
    EXPECT_EQ(channels.common().size(), n);

    for (const auto& [special, reason] : {std::pair{"/dev/zero", RingingReadFailure::NotAFile},
                                          std::pair{"/nonexistent/f", RingingReadFailure::Missing}}) {
        SCOPED_TRACE(special);
        const RingingFileLines lines = readRingingFileLines(QString::fromUtf8(special));
        EXPECT_FALSE(lines);
        EXPECT_EQ(lines.failure.reason, reason);
    }
}

// The program refuses an oversized ringing with a message and keeps what it
// had: ensemble, title and scores.
TEST_F(RingingReaderWindow, ProgramRefusesOversizedFilesWithAMessage) {
    TfrmMain& w = startWith({});
    const QString before = w.ensemble().bellsText();
    const QString title = w.windowTitle();

    ASSERT_TRUE(writeFilledFile(path(QStringLiteral("huge.ukl")), kMaxRingingFileBytes + 1));
    w.OpenUserRinging(path(QStringLiteral("huge.ukl")));
    EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("«huge.ukl» слишком велик")))
        << w.statusBar()->currentMessage().toStdString();
    EXPECT_EQ(w.ensemble().bellsText(), before);
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(w.commonScoreSize(), 0);

    ASSERT_TRUE(writeTextLines(path(QStringLiteral("Custom/wide.kol")),
                               {kBells, kTypes, "W", "D", "144" + QString(kMaxRingingColumns + 5, u'@')}));
    w.statusBar()->clearMessage();
    EXPECT_FALSE(w.loader().loadListRingingByName(QStringLiteral("wide")));
    EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("слишком много столбцов")));
    EXPECT_EQ(w.ensemble().bellsText(), before);
}

// Every path that reads a ringing refuses the same files for the same
// reason and says it: the window's open, the chooser of list ringings and
// the renderer. The chooser once said nothing about an empty, huge, missing
// or folder file and loaded prose as a ringing of 0 bells; the window and
// the renderer disagreed on NUL bytes and on a header without an interval.
TEST_F(RingingReaderWindow, EveryReaderRefusesTheSameFilesAlike) {
    const QByteArray preamble = "111110000000000\r\nbbmssnnnnnnnnnn\r\nN\r\nD\r\n";
    struct Case {
        const char* name;
        QByteArray bytes; // "<folder>", "<missing>" or the file's bytes
        RingingReadFailure::Reason reason;
    };
    const Case cases[] = {
        {"empty", "", RingingReadFailure::NoPreamble},
        {"huge", QByteArray(kMaxRingingFileBytes + 1, 'x'), RingingReadFailure::TooLarge},
        {"wide", preamble + "144" + QByteArray(300000, '&'), RingingReadFailure::TooManyColumns},
        {"missing", "<missing>", RingingReadFailure::Missing},
        {"folder", "<folder>", RingingReadFailure::NotAFile},
        {"binary", preamble + QByteArray("144\r\n{1\0\r\n", 10), RingingReadFailure::NotText},
        {"prose", "\xcd\xe0\xf7\xe0\xeb\xee\r\n\xf2\xe5\xea\xf1\xf2\xe0\r\nx\r\ny\r\nz\r\n",
         RingingReadFailure::NotARinging},
        {"no bells", "000000000000000\r\nnnnnnnnnnnnnnnn\r\nN\r\nD\r\n144\r\n", RingingReadFailure::NoBells},
    };
    TfrmMain& w = startWith({});
    const QString custom = path(QStringLiteral("Custom/"));
    QStringList listed;
    for (const Case& c : cases) {
        for (const QString& file : {path(QString::fromUtf8(c.name) + QStringLiteral(".ukl")),
                                    custom + QString::fromUtf8(c.name) + QStringLiteral(".kol")}) {
            if (c.bytes == "<folder>") {
                ASSERT_TRUE(QDir().mkpath(file));
            } else if (c.bytes != "<missing>") {
                QFile out(file);
                ASSERT_TRUE(out.open(QIODevice::WriteOnly));
                ASSERT_EQ(out.write(c.bytes), c.bytes.size());
            }
        }
        listed << QString::fromUtf8(c.name);
    }
    ASSERT_TRUE(writeTextLines(custom + QStringLiteral("list.kli"), listed));
    TfrmSelSound chooser;
    chooser.setCustomDir(custom);
    chooser.fillList(custom + QStringLiteral("list.kli"));
    const QString bells = w.ensemble().bellsText();
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        RingingReadFailure failure;
        failure.reason = c.reason;
        const QString ukl = path(QString::fromUtf8(c.name) + QStringLiteral(".ukl"));

        RenderOptions options;
        options.ringingPath = ukl;
        QString error;
        EXPECT_FALSE(readRingingForRender(options, &error));
        EXPECT_EQ(stem(error, ukl), stem(ringingFailureText(ukl, failure), ukl));

        w.OpenUserRinging(ukl);
        auto* box = w.findChild<QMessageBox*>(QStringLiteral("msgOpenFailure"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(stem(box->text(), ukl), stem(ringingFailureMessage(ukl, failure), ukl));
        delete box;
        EXPECT_EQ(w.ensemble().bellsText(), bells);

        chooser.lbSounds->setCurrentRow(i);
        EXPECT_FALSE(chooser.btnLoad->isEnabled());
        const QString kol = custom + QString::fromUtf8(c.name) + QStringLiteral(".kol");
        EXPECT_EQ(stem(chooser.mDesc->toPlainText(), kol), stem(ringingFailureMessage(kol, failure), kol));
    }

    // A header without an interval: both take the program's tempo.
    const QString plain = path(QStringLiteral("abc.ukl"));
    ASSERT_TRUE(writeTextLines(plain, {kBells, kTypes, "Abc", "abc&{1"}));
    RenderOptions options;
    options.ringingPath = plain;
    QString error;
    const std::optional<RenderRinging> rendered = readRingingForRender(options, &error);
    ASSERT_TRUE(rendered) << error.toStdString();
    EXPECT_EQ(rendered->intervalMs, 144);
    EXPECT_EQ(rendered->columns, QStringList{"s1"});
    EXPECT_TRUE(w.loader().openUserRingingText(plain));
    EXPECT_EQ(w.channels().common(), QStringList{"s1"});
}
