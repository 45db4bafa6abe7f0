// Opening user ringing files in the real main window, offscreen, and the
// file named on the command line.

#include "support/MainWindowTest.h"

#include "ForeignNamedFile.h"
#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "desktop/CommandLine.h"
#include "playback/TransportPanel.h"

#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class OpenRingingFile : public MainWindowTest {
protected:
    TfrmMain& start() {
        program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=000000000011111"),
                               QStringLiteral("Types=nnnnnnnnnnbmmss")});
        return startWith({});
    }
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = files.path() + QLatin1Char('/') + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    QMessageBox* failure() const { return frm->findChild<QMessageBox*>(QStringLiteral("msgOpenFailure")); }

    QTemporaryDir files;
};

// Anything that is not a ringing gives a message naming the file and
// changes nothing: not the ensemble, the title, the settings or the score.
TEST_F(OpenRingingFile, NotARingingChangesNothing) {
    TfrmMain& w = start();
    const QString title = w.windowTitle();
    const QString bells = w.ensemble().bellsText();
    const int columns = w.commonScoreSize();
    const QString settings = program.settingsText();
    const std::pair<const char*, QByteArray> cases[] = {
        {"binary.ukl", QByteArray("111110000000000\r\nbbmssnnnnnnnnnn\r\nA\x00\x01\x02\r\n144\r\n", 40)},
        {"empty.ukl", QByteArray()},
        {"words.ukl", "hello\r\nworld\r\nname\r\n144\r\ns1\r\n"},
        {"short-bells.ukl", "11111000000000\r\nbbmssnnnnnnnnn\r\nA\r\n144\r\n"},
        {"no-body.ukl", "111110000000000\r\nbbmssnnnnnnnnnn\r\nA\r\n"},
    };
    for (const auto& [name, bytes] : cases) {
        w.OpenUserRinging(write(QString::fromLatin1(name), bytes));
        QMessageBox* box = failure();
        ASSERT_NE(box, nullptr) << name;
        EXPECT_TRUE(box->text().contains(QString::fromLatin1(name))) << box->text().toStdString();
        delete box;
        EXPECT_EQ(w.windowTitle(), title) << name;
        EXPECT_EQ(w.ensemble().bellsText(), bells) << name;
        EXPECT_EQ(w.commonScoreSize(), columns) << name;
        EXPECT_EQ(program.settingsText(), settings) << name;
        EXPECT_FALSE(w.transport().isPlaying()) << name;
    }
    w.OpenUserRinging(files.path() + QStringLiteral("/none.ukl"));
    EXPECT_NE(failure(), nullptr);
}

// A ringing of 128 columns opens with its ensemble, three pages, and plays.
TEST_F(OpenRingingFile, OpensAndPlays) {
    TfrmMain& w = start();
    QStringList lines{QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                      QStringLiteral("Мой звон"), QStringLiteral("200")};
    for (int c = 0; c < 128; ++c) {
        lines << (c % 2 ? QStringLiteral("s1") : QString());
    }
    const QString path = files.path() + QStringLiteral("/mine.ukl");
    ASSERT_TRUE(writeTextLines(path, lines));
    w.OpenUserRinging(path);
    EXPECT_EQ(failure(), nullptr);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - Мой звон"));
    EXPECT_EQ(w.ensemble().bellsText(), QStringLiteral("111110000000000"));
    EXPECT_EQ(w.commonScoreSize(), 128);
    EXPECT_EQ(control<TUpDown>(w, "udPage")->max(), 3);
    EXPECT_EQ(w.transport().sequencerInterval(), 200);
    EXPECT_TRUE(w.transport().isPlaying());
    EXPECT_TRUE(w.bells().keyboard().keyboardRinging());
    w.btnStopClick();
}

// A user ringing file as the reader and the renderer take it: one saved
// with a UTF-8 byte-order mark, and one whose name is not UTF-8 (Windows-1251
// bytes), named on the command line; both open and play.
TEST_F(OpenRingingFile, OpensWhatTheReaderReads) {
    const auto ringing = [](const QString& name) {
        return "111110000000000\r\nbbmssnnnnnnnnnn\r\n" + encode1251(name) + "\r\n200\r\ns1\r\n\r\ns2\r\n";
    };
    const ForeignNamedFile foreign(files.path(), ringing(QStringLiteral("Из файла с именем не в UTF-8")));
    ASSERT_TRUE(foreign.made());

    program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=000000000011111"),
                           QStringLiteral("Types=nnnnnnnnnnbmmss")});
    TfrmMain& w = startWith(foreign.name().split(u' '));
    EXPECT_EQ(failure(), nullptr);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - Из файла с именем не в UTF-8"));
    EXPECT_EQ(w.ensemble().bellsText(), QStringLiteral("111110000000000"));
    EXPECT_TRUE(w.transport().isPlaying());
    w.btnStopClick();

    w.OpenUserRinging(
        write(QStringLiteral("marked.ukl"), "\xEF\xBB\xBF" + ringing(QStringLiteral("С меткой"))));
    EXPECT_EQ(failure(), nullptr);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - С меткой"));
    EXPECT_TRUE(w.transport().isPlaying());
    w.btnStopClick();
}

// A name given relative to the folder the program was started in still
// names the file after start-up changed the current folder, and so does a
// ".ukl" name that is missing (its open says so); other arguments that name
// no file are left alone (the export mode's "html" among them).
TEST(CommandLineFile, MadeAbsoluteAgainstTheStartingFolder) {
    QTemporaryDir dir;
    QFile file(dir.path() + QStringLiteral("/my ringing.ukl"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString abs = dir.path() + QStringLiteral("/my ringing.ukl");
    const std::pair<QStringList, QStringList> cases[] = {
        {{"my", "ringing.ukl"}, {abs}}, {{"my ringing.ukl"}, {abs}},  {{abs}, {abs}},
        {{"html"}, {"html"}},           {{"none.ukl"}, {dir.path() + "/none.ukl"}}, {{}, {}},
        {{"none"}, {"none"}},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(argumentsWithAbsoluteFile(arguments, dir.path()), expected)
            << arguments.join(u' ').toStdString();
    }
}

} // namespace
