// The one reader of ringing documents: the program and the renderer read the
// same file alike, and both refuse files beyond the limits before taking them
// apart.

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "playback/RenderCommand.h"
#include "ringing/RingingLoader.h"
#include "ringing/RingingReader.h"
#include "support/MainWindowTest.h"

#include <QDir>
#include <QFile>
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

    for (const char* special : {"/dev/zero", "/nonexistent/f"}) {
        SCOPED_TRACE(special);
        const RingingFileLines lines = readRingingFileLines(QString::fromUtf8(special));
        EXPECT_FALSE(lines);
        EXPECT_EQ(lines.failure.reason, RingingReadFailure::Unreadable);
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
