// The association of user ringing files with the program, written into
// temporary XDG folders and checked with the desktop's own tools.

#include "desktop/FileAssociation.h"
#include "OrdinaryUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileAssociationFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dataHome = dir.path() + QStringLiteral("/data");
        configHome = dir.path() + QStringLiteral("/config");
    }

    // Runs a desktop tool with the XDG folders of the test; its output, or
    // nothing when it is not installed.
    std::optional<QString> tool(const QString& name, const QStringList& arguments,
                                int* exitCode = nullptr) const {
        const QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty()) {
            return std::nullopt;
        }
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(path, arguments);
        process.waitForFinished(30000);
        if (exitCode) {
            *exitCode = process.exitCode();
        }
        return QString::fromUtf8(process.readAll()).trimmed();
    }

    QTemporaryDir dir;
    QString dataHome;
    QString configHome;
};

// The files are written where the desktop looks, pass the validator, and the
// desktop then knows a ".ukl" file as our type with the program as its
// default; the executable's path may hold blanks and reserved characters.
TEST_F(FileAssociationFiles, WrittenValidAndKnownToTheDesktop) {
    const QString executable = dir.path() + QStringLiteral("/my programs/100% $bells/campanix");
    const FileAssociation association(dataHome, configHome);
    EXPECT_TRUE(association.registerProgram(executable, QByteArrayLiteral("\x89PNG-icon")));
    EXPECT_TRUE(QFileInfo::exists(association.mimePackagePath()));
    EXPECT_TRUE(readAll(association.desktopEntryPath()).contains("MimeType=application/x-campanix-ringing;"));
    EXPECT_TRUE(
        readAll(association.desktopEntryPath())
            .contains("Exec=\"" + dir.path().toUtf8() + "/my programs/100%% \\\\$bells/campanix\" %f"));
    EXPECT_EQ(readAll(association.iconPath()), QByteArrayLiteral("\x89PNG-icon"));
    EXPECT_TRUE(readAll(association.mimePackagePath()).contains("<glob pattern=\"*.ukl\"/>"));
    EXPECT_TRUE(readAll(association.mimePackagePath()).contains("xml:lang=\"ru\""));
    EXPECT_EQ(readAll(association.mimeAppsPath()),
              QByteArrayLiteral("[Default Applications]\napplication/x-campanix-ringing=campanix.desktop\n"));

    int code = -1;
    if (const std::optional<QString> out =
            tool(QStringLiteral("desktop-file-validate"), {association.desktopEntryPath()}, &code)) {
        EXPECT_EQ(code, 0) << out->toStdString();
        EXPECT_TRUE(out->isEmpty()) << out->toStdString();
    }
    QFile ringing(dir.path() + QStringLiteral("/x.ukl"));
    ASSERT_TRUE(ringing.open(QIODevice::WriteOnly));
    ringing.write("111110000000000\r\nbbmssnnnnnnnnnn\r\nTest\r\n144&{1\r\n");
    ringing.close();
    if (const std::optional<QString> type =
            tool(QStringLiteral("xdg-mime"),
                 {QStringLiteral("query"), QStringLiteral("filetype"), ringing.fileName()})) {
        EXPECT_EQ(*type, FileAssociation::kMimeType);
    }
    if (const std::optional<QString> app =
            tool(QStringLiteral("xdg-mime"),
                 {QStringLiteral("query"), QStringLiteral("default"), FileAssociation::kMimeType})) {
        EXPECT_EQ(*app, FileAssociation::kDesktopFileName);
    }

    // Written again at the next start: nothing changes, nothing is rewritten.
    EXPECT_FALSE(association.registerProgram(executable, QByteArrayLiteral("\x89PNG-icon")));
    // Moved: the entry follows the executable.
    EXPECT_TRUE(association.registerProgram(QStringLiteral("/opt/campanix/campanix"), QByteArray()));
    EXPECT_TRUE(readAll(association.desktopEntryPath()).contains("Exec=/opt/campanix/campanix %f\n"));
}

// Exec quoting of desktop entries, with the string
// escaping of the key's value on top.
TEST(FileAssociation, ExecArguments) {
    const std::pair<QString, QString> cases[] = {
        {"/usr/bin/campanix", "/usr/bin/campanix"}, {"/opt/my apps/campanix", "\"/opt/my apps/campanix\""},
        {"/a/100%/campanix", "/a/100%%/campanix"},  {"/a/$b\\c", "\"/a/\\\\$b\\\\\\\\c\""},
        {"/a/\"q\"", "\"/a/\\\\\"q\\\\\"\""},
    };
    for (const auto& [argument, expected] : cases) {
        EXPECT_EQ(FileAssociation::execArgument(argument), expected) << argument.toStdString();
    }
}

// The program becomes the default only where the user has no default for
// the type; every other line of mimeapps.list is kept.
TEST(FileAssociation, DefaultApplicationOnlyWhenNoneExists) {
    const QByteArray entry = "application/x-campanix-ringing=campanix.desktop";
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"", "[Default Applications]\n" + entry + "\n"},
        {"[Added Associations]\ntext/plain=gedit.desktop;\n",
         "[Added Associations]\ntext/plain=gedit.desktop;\n\n[Default Applications]\n" + entry + "\n"},
        {"[Default Applications]\ntext/plain=gedit.desktop\n[Added Associations]\nx/y=z.desktop\n",
         "[Default Applications]\n" + entry +
             "\ntext/plain=gedit.desktop\n[Added Associations]\nx/y=z.desktop\n"},
        {"[Default Applications]\napplication/x-campanix-ringing=other.desktop\n",
         "[Default Applications]\napplication/x-campanix-ringing=other.desktop\n"},
    };
    for (const auto& [before, after] : cases) {
        EXPECT_EQ(FileAssociation::withDefaultApplication(before), after) << before.toStdString();
    }
}

// A folder that cannot be written is silently left alone.
TEST_F(FileAssociationFiles, FailuresAreSilent) {
    QFile blocker(dataHome);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    const FileAssociation association(dataHome, configHome);
    association.registerProgram(QStringLiteral("/usr/bin/campanix"), QByteArray());
    EXPECT_FALSE(QFileInfo::exists(association.desktopEntryPath()));
}

// The user's own lists of defaults win: a list that exists but cannot be
// read is never written, a default chosen in the older list stands, a
// default is set only once the entry it names exists (not with a data
// folder that cannot be written), and such a folder is not refreshed at
// every start. A list kept elsewhere and linked stays linked.
TEST_F(FileAssociationFiles, UsersListsOfDefaultsAreRespected) {
    const AsOrdinaryUser user(dir.path());
    if (!user.active()) {
        GTEST_SKIP() << "cannot run as an ordinary user";
    }
    const QByteArray theirs = "[Default Applications]\ntext/plain=gedit.desktop\n";
    const QByteArray ours = "application/x-campanix-ringing=campanix.desktop";
    const auto write = [](const QString& path, const QByteArray& bytes, int mode = 0600) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        ::chmod(QFile::encodeName(path).constData(), mode);
    };
    struct Case {
        const char* what;
        std::function<void(const FileAssociation&)> prepare;
        std::function<void(const FileAssociation&)> check;
    };
    const Case cases[] = {
        {"a list that cannot be read",
         [&](const FileAssociation& a) { write(a.mimeAppsPath(), theirs, 0200); },
         [&](const FileAssociation& a) {
             ::chmod(QFile::encodeName(a.mimeAppsPath()).constData(), 0600);
             EXPECT_EQ(readAll(a.mimeAppsPath()), theirs);
         }},
        {"a default in the older list",
         [&](const FileAssociation& a) {
             write(a.legacyMimeAppsPath(),
                   "[Default Applications]\napplication/x-campanix-ringing=other.desktop\n");
         },
         [&](const FileAssociation& a) { EXPECT_FALSE(QFileInfo::exists(a.mimeAppsPath())); }},
        {"an older list that cannot be read",
         [&](const FileAssociation& a) { write(a.legacyMimeAppsPath(), theirs, 0200); },
         [&](const FileAssociation& a) { EXPECT_FALSE(QFileInfo::exists(a.mimeAppsPath())); }},
        {"a data folder that cannot be written",
         [&](const FileAssociation&) {
             QDir().mkpath(dataHome);
             ::chmod(QFile::encodeName(dataHome).constData(), 0555);
         },
         [&](const FileAssociation& a) {
             EXPECT_FALSE(QFileInfo::exists(a.desktopEntryPath()));
             EXPECT_FALSE(QFileInfo::exists(a.mimeAppsPath()));
         }},
        {"a linked list",
         [&](const FileAssociation& a) {
             write(dir.path() + QStringLiteral("/dotfiles/mimeapps.list"), theirs);
             QDir().mkpath(configHome);
             QFile::link(dir.path() + QStringLiteral("/dotfiles/mimeapps.list"), a.mimeAppsPath());
         },
         [&](const FileAssociation& a) {
             EXPECT_TRUE(QFileInfo(a.mimeAppsPath()).isSymLink());
             EXPECT_TRUE(readAll(a.mimeAppsPath()).contains(ours));
             EXPECT_TRUE(readAll(a.mimeAppsPath()).contains("text/plain=gedit.desktop"));
         }},
    };
    int i = 0;
    for (const Case& c : cases) {
        dataHome = dir.path() + QStringLiteral("/data") + QString::number(i);
        configHome = dir.path() + QStringLiteral("/config") + QString::number(i++);
        int toolRuns = 0;
        // Counts the runs; the MIME tool leaves its cache, as the real one does.
        const FileAssociation association(
            dataHome, configHome, [&](const QString& tool, const QStringList& arguments) {
                ++toolRuns;
                if (tool == QStringLiteral("update-mime-database")) {
                    QFile(arguments.value(0) + QStringLiteral("/mime.cache")).open(QIODevice::WriteOnly);
                }
            });
        c.prepare(association);
        association.registerProgram(QStringLiteral("/usr/bin/campanix"), QByteArray());
        const int firstRuns = toolRuns;
        association.registerProgram(QStringLiteral("/usr/bin/campanix"), QByteArray());
        c.check(association);
        // Refreshed when the files were written, never again for nothing.
        EXPECT_EQ(toolRuns, firstRuns) << c.what;
        EXPECT_EQ(firstRuns, QFileInfo::exists(association.desktopEntryPath()) ? 2 : 0) << c.what;
    }
}

} // namespace

// Only the program's own executable, run from its own folder, writes the
// user's association: an installed program leaves it to its package (even
// when run from an odd prefix), and a test runner hosting the window or a
// missing folder writes nothing.
TEST(FileAssociation, WrittenOnlyByTheProgramInItsOwnFolder) {
    QTemporaryDir root;
    const QString build = root.filePath(QStringLiteral("build/campanix"));
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    const QString installed = root.filePath(QStringLiteral("usr/share/campanix"));
    const QString tests = root.filePath(QStringLiteral("build/tests"));
    for (const QString& dir : {build, bin, installed, tests}) {
        ASSERT_TRUE(QDir().mkpath(dir));
    }
    struct Case {
        QString executableDir;
        QString programDir;
        bool writes;
    };
    const Case cases[] = {
        {build, build, true},
        {build, build + QStringLiteral("/"), true},
        {bin, installed, false},
        {installed, installed, false},
        {tests, build, false},
        {root.filePath(QStringLiteral("gone")), root.filePath(QStringLiteral("gone")), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(writesUserAssociation(c.executableDir, c.programDir), c.writes)
            << c.executableDir.toStdString() << " / " << c.programDir.toStdString();
    }
}
