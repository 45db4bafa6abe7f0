// Start-up and shutdown of the real main window, offscreen, over a small
// program folder made by the test.

#include "app/TfrmMain.h"
#include "desktop/CommandLine.h"
#include "ringing/RingingFiles.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>

#include <memory>

namespace {

class MainWindowStartup : public MainWindowTest {
protected:
    TfrmMain& start(const QStringList& arguments = {}) { return startWith(arguments); }
    // The message of a file that could not be opened, once start-up has run.
    QMessageBox* failure() {
        QMessageBox* box = nullptr;
        for (int i = 0; i < 20 && !box; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            box = frm->findChild<QMessageBox*>(QStringLiteral("msgOpenFailure"));
        }
        return box;
    }
};

// A user ringing file with a blank in its name, written as the program writes them.
QString writeUserFile(const QTemporaryDir& dir) {
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnbmmss"));
    const RingingWriteResult result = writeUserRingingFile(
        dir.filePath(QStringLiteral("мой звон.ukl")), ensemble, QStringLiteral("Мой звон"),
        {QStringLiteral("200"), QStringLiteral("s1,b1"), QString(), QStringLiteral("m2")});
    return result.ok ? result.path : QString();
}

} // namespace

// Started from another folder, the program works from its own folder.
TEST_F(MainWindowStartup, WorksFromItsOwnFolder) {
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    start();
    EXPECT_EQ(QDir::currentPath() + u'/', QDir(program.dir()).absolutePath() + u'/');
    EXPECT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(program.dir() + QStringLiteral("campanix.ini")));
}

// A stored size below the minimum opens at the minimum.
TEST_F(MainWindowStartup, SmallStoredSizeOpensAtTheMinimum) {
    program.writeSettings({QStringLiteral("[Form]"), QStringLiteral("Left=10"), QStringLiteral("Top=20"),
                           QStringLiteral("Width=500"), QStringLiteral("Height=300")});
    TfrmMain& w = start();
    EXPECT_EQ(w.width(), 778);
    EXPECT_EQ(w.height(), 574);
}

// Closing writes the view flags and options; every panel the user hid stays hidden next time.
TEST_F(MainWindowStartup, ClosingSavesTheViewAndTheNextStartRestoresIt) {
    {
        TfrmMain& w = start();
        control<QAction>(w, "nViewPanel")->trigger();
        control<QAction>(w, "nViewBellsGroups")->trigger();
        control<QCheckBox>(w, "cbGrid")->setChecked(true);
        w.close();
        frm.reset();
    }
    const QString text = program.settingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("Tools=0")));
    EXPECT_TRUE(text.contains(QStringLiteral("Groups=0")));
    EXPECT_TRUE(text.contains(QStringLiteral("Grid=1")));
    TfrmMain& again = start();
    EXPECT_FALSE(control<QAction>(again, "nViewPanel")->isChecked());
    EXPECT_FALSE(control<QAction>(again, "nViewBellsGroups")->isChecked());
    EXPECT_TRUE(control<QAction>(again, "nViewBellsInfo")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(again, "cbGrid")->isChecked());
}

// A path split at its blank by the shell is joined again and opened; its ensemble is applied.
TEST_F(MainWindowStartup, CommandLineFileWithABlankIsOpened) {
    QTemporaryDir files;
    const QString path = writeUserFile(files);
    ASSERT_FALSE(path.isEmpty());
    const qsizetype blank = path.lastIndexOf(u' ');
    TfrmMain& w = start({path.left(blank), path.mid(blank + 1)});
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - Мой звон"));
    EXPECT_EQ(w.ensemble().bellsText(), QStringLiteral("000000000011111"));
    EXPECT_EQ(w.ensemble().typesText(), QStringLiteral("nnnnnnnnnnbmmss"));
    EXPECT_EQ(w.commonScoreSize(), 3);
    EXPECT_TRUE(program.settingsText().contains(QStringLiteral("Types=nnnnnnnnnnbmmss")));
}

// Arguments that name no file are ignored without a message; a ".ukl" name
// that is missing is told, since the user meant a ringing by it.
TEST_F(MainWindowStartup, ArgumentsNamingNoFileAreIgnored) {
    TfrmMain& w = start({QStringLiteral("/no/such"), QStringLiteral("file")});
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_EQ(failure(), nullptr);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - Tolvena"));
    EXPECT_EQ(w.commonScoreSize(), 0);
}

TEST_F(MainWindowStartup, AMissingRingingFileIsTold) {
    TfrmMain& w = start({QStringLiteral("/no/such"), QStringLiteral("file.ukl")});
    ASSERT_NE(failure(), nullptr);
    EXPECT_TRUE(failure()->text().contains(QStringLiteral("«such file.ukl» не найден")))
        << failure()->text().toStdString();
    EXPECT_EQ(w.commonScoreSize(), 0);
}

// Joining follows the argument order with single blanks.
TEST(CommandLine, JoinsArgumentsWithSingleBlanks) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a b  c.ukl"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QStringList parts = path.split(u' ');
    EXPECT_EQ(fileNamedByArguments(parts).value_or(QString()), path);
    EXPECT_FALSE(fileNamedByArguments({}).has_value());
    // A folder is named, so that opening it says it is no ringing file.
    EXPECT_EQ(fileNamedByArguments({dir.path()}).value_or(QString()), dir.path());
    EXPECT_FALSE(fileNamedByArguments({path + QStringLiteral("x")}).has_value());
}

// Without a settings file the window fills the work area with every panel shown.
TEST_F(MainWindowStartup, FirstStartFillsTheWorkAreaWithEveryPanel) {
    TfrmMain& w = start();
    const QSize workArea = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_EQ(w.size(), workArea.expandedTo(QSize(778, 574)));
    for (QAction* item : {control<QAction>(w, "nViewPanel"), control<QAction>(w, "nViewSelectBells"),
                          control<QAction>(w, "nViewBellsInfo"), control<QAction>(w, "nViewBellsGroups")}) {
        EXPECT_TRUE(item->isChecked()) << item->text().toStdString();
    }
    EXPECT_FALSE(control<QCheckBox>(w, "cbGrid")->isChecked());
    EXPECT_EQ(program.settingsText().count(u'\n'), 20);
}

// Hiding the tool bar hides an open pop-up with it; the pop-ups toggle.
TEST_F(MainWindowStartup, PopupsFollowTheToolBar) {
    TfrmMain& w = start();
    w.show();
    control<QPushButton>(w, "btnVolume")->click();
    auto* pnlVolume = control<QFrame>(w, "pnlVolume");
    EXPECT_TRUE(pnlVolume->isVisible());
    auto* pnlTools = control<QFrame>(w, "pnlTools");
    EXPECT_EQ(pnlVolume->geometry().bottom() + 1, pnlTools->mapTo(w.centralWidget(), QPoint(0, 0)).y());
    auto* btnTemp = control<QPushButton>(w, "btnTemp");
    btnTemp->click();
    auto* pnlTemp = control<QFrame>(w, "pnlTemp");
    EXPECT_TRUE(pnlTemp->isVisible());
    btnTemp->click();
    EXPECT_FALSE(pnlTemp->isVisible());
    control<QAction>(w, "nViewPanel")->trigger();
    EXPECT_FALSE(pnlTools->isVisible());
    EXPECT_FALSE(pnlVolume->isVisible());
}
