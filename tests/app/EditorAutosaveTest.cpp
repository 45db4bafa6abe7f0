// Unsaved edits survive a kill: they are kept, whole, every few edits and
// every half minute; the next start offers them, says what and when, and
// the kept copy goes once the ringing is saved or the offer declined.

#include "app/EditorWindowFixture.h"

#include "record/UnsavedRingings.h"

#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QProcess>

#include <csignal>

namespace {

constexpr char kChildFolder[] = "CAMPANIX_TEST_UNSAVED_HOME";

// Points the user's folders into `home` for the test's life.
class UserFolders {
public:
    explicit UserFolders(const QString& home) {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            m_old.append({name, qgetenv(name)});
        }
        qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    }
    ~UserFolders() {
        for (const auto& [name, value] : m_old) {
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        }
    }

private:
    QList<std::pair<const char*, QByteArray>> m_old;
};

QAbstractButton* buttonOf(QMessageBox* box, const QString& text) {
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

// Run only as the child of the test below: edits twenty times, says so once
// the copy is kept, and waits to be killed.
TEST_F(EditorWindow, DISABLED_ChildEditsUntilKilled) {
    const QString home = qEnvironmentVariable(kChildFolder);
    ASSERT_FALSE(home.isEmpty());
    UserFolders folders(home);
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.setUnsavedFolders(unsavedRingingFolders());
    editor.newRinging();
    for (int i = 0; i < ScoreEditor::kAutosaveEdits; ++i) {
        editor.toggleStrike(i, 0, 1 + i % 2);
    }
    ASSERT_FALSE(editor.unsavedFile().isEmpty());
    fprintf(stdout, "KEPT %s\n", qPrintable(editor.unsavedFile()));
    fflush(stdout);
    waitFor([] { return false; }, 60000);
}

TEST_F(EditorWindow, EditsKeptAreOfferedAfterAKillAndGoOnceSaved) {
    UserFolders folders(files.path());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildFolder), files.path());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=EditorWindow.DISABLED_ChildEditsUntilKilled")});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray said;
    while (!said.contains("KEPT ") && child.state() == QProcess::Running) {
        child.waitForReadyRead(30000);
        said += child.readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("KEPT ")) << said.toStdString();
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    const QList<UnsavedRinging> kept = findUnsavedRingings(unsavedRingingFolders());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.front().name, QStringLiteral("Упражнение"));

    // The next start offers it, with its name and when it was written.
    TfrmMain& w = start();
    QMessageBox* offer = nullptr;
    ASSERT_TRUE(
        waitFor([&] { return (offer = w.findChild<QMessageBox*>(QStringLiteral("msgRestoreUnsaved"))); }));
    EXPECT_TRUE(offer->text().contains(QStringLiteral("«Упражнение»")));
    EXPECT_TRUE(offer->text().contains(kept.front().written.toString(QStringLiteral("HH:mm:ss"))));
    buttonOf(offer, QStringLiteral("Восстановить"))->click();

    ScoreEditor& editor = w.editor();
    ASSERT_TRUE(editor.isEditing());
    EXPECT_TRUE(editor.isModified());
    for (int i = 0; i < ScoreEditor::kAutosaveEdits; ++i) {
        EXPECT_EQ(w.commonScoreLine(i), i % 2 == 0 ? QStringLiteral("s1") : QStringLiteral("s2"));
    }
    // Saved, the kept copy has done its work.
    ASSERT_TRUE(editor.save());
    EXPECT_FALSE(QFile::exists(kept.front().path));
    EXPECT_TRUE(findUnsavedRingings(unsavedRingingFolders()).isEmpty());
}

// A data folder that cannot be written gives way to the next folder of the
// user's: at a termination signal and for the copies kept while editing.
TEST_F(EditorWindow, UnwritableDataFolderFallsBackToTheNextUserFolder) {
    UserFolders folders(files.path());
    // A file where the data folder should be: nothing can be created in it.
    QFile blocker(files.filePath(QStringLiteral("data")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TfrmMain& w = start();
    ScoreEditor& editor = w.editor();
    editor.setUnsavedFolders(unsavedRingingFolders());
    editor.newRinging();
    clickSmall(w, 0, 1);
    const std::optional<QString> kept = editor.keepUnsavedNow();
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(kept->startsWith(files.filePath(QStringLiteral("config/campanix/unsaved/"))));

    clickSmall(w, 1, 2);
    w.closeOnTermination();
    const QList<UnsavedRinging> left = findUnsavedRingings(unsavedRingingFolders());
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left.front().path.startsWith(files.filePath(QStringLiteral("config/campanix/unsaved/"))));
    EXPECT_EQ(questions, 0);
}

// Declined, the copy is removed; ended without edits, nothing is kept.
TEST_F(EditorWindow, DeclinedOfferRemovesTheCopy) {
    UserFolders folders(files.path());
    {
        TfrmMain& w = start();
        w.editor().setUnsavedFolders(unsavedRingingFolders());
        w.editor().newRinging();
        clickSmall(w, 0, 1);
        ASSERT_TRUE(w.editor().keepUnsavedNow());
        frm.reset(); // gone without a word, as a crash
    }
    ASSERT_EQ(findUnsavedRingings(unsavedRingingFolders()).size(), 1);
    TfrmMain& w = start();
    QMessageBox* offer = nullptr;
    ASSERT_TRUE(
        waitFor([&] { return (offer = w.findChild<QMessageBox*>(QStringLiteral("msgRestoreUnsaved"))); }));
    buttonOf(offer, QStringLiteral("Удалить"))->click();
    EXPECT_TRUE(findUnsavedRingings(unsavedRingingFolders()).isEmpty());
    EXPECT_FALSE(w.editor().isEditing());
}

} // namespace
