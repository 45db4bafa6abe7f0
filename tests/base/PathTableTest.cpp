#include "base/PathTable.h"
#include "base/RequiredFileCheck.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void makeFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// Sets an environment variable for the life of the guard.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name)) {
        m_had = qEnvironmentVariableIsSet(name);
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had = false;
};

} // namespace

// Every path is the program folder plus its relative part, with "/".
TEST(PathTable, BuildsPathsFromTheProgramFolder) {
    PathTable p(QStringLiteral("/opt/campanix"), true, QStringLiteral("/home/u/.config/campanix"),
                QStringLiteral("/home/u/.local/share/campanix"));
    EXPECT_EQ(p.bellCatalogue(), "/opt/campanix/Data/desc.kli");
    EXPECT_EQ(p.commonList(), "/opt/campanix/Campanel/common.kli");
    EXPECT_EQ(p.settingsFile(), "/opt/campanix/campanix.ini");
    EXPECT_EQ(p.tempRingingFile(), "/opt/campanix/Custom/temp.kol.tmp");
    EXPECT_EQ(p.htmlDir(), "/opt/campanix/html");
    p.setSampleFolder(2, false);
    EXPECT_EQ(p.sampleFolder(), "/opt/campanix/Sound/Model3/Mono/");
    p.setSampleFolder(0, true);
    EXPECT_EQ(p.sampleFolder(), "/opt/campanix/Sound/Model1/Stereo/");
}

// A read-only installation keeps what it writes in the user's XDG folders.
TEST(PathTable, ReadOnlyProgramFolderFallsBackToXdgFolders) {
    QTemporaryDir home;
    const QString config = home.filePath(QStringLiteral("config/campanix"));
    const QString data = home.filePath(QStringLiteral("data/campanix"));
    PathTable p(QStringLiteral("/usr/lib/campanix/"), false, config, data);
    EXPECT_EQ(p.settingsFile(), config + "/campanix.ini");
    EXPECT_EQ(p.tempRingingFile(), data + "/Custom/temp.kol.tmp");
    EXPECT_EQ(p.htmlDir(), data + "/html");
    EXPECT_TRUE(QDir(config).exists());
    // Data is still read from the program folder.
    EXPECT_EQ(p.bellCatalogue(), "/usr/lib/campanix/Data/desc.kli");
}

// The data is found beside the executable first (the build tree keeps its
// behaviour even when an installed copy exists), then in the installed layout
// <prefix>/bin + <prefix>/share/campanix; with neither, the executable's own
// folder is kept, so that the required-file check names a path there.
TEST(PathTable, FindsTheDataBesideTheExecutableOrUnderThePrefix) {
    QTemporaryDir root;
    const QString prefix = root.filePath(QStringLiteral("usr"));
    const QString bin = prefix + QStringLiteral("/bin");
    const QString installed = prefix + QStringLiteral("/share/campanix/");
    QDir().mkpath(bin);

    // Neither layout yet.
    EXPECT_EQ(PathTable::programDirFor(bin), bin + u'/');
    EXPECT_FALSE(PathTable::isInstalledDataDir(bin));

    // Installed: an empty data folder still counts, so a broken install
    // reports /usr/share/campanix/Data/desc.kli rather than a path in bin/.
    QDir().mkpath(installed);
    EXPECT_EQ(PathTable::programDirFor(bin), installed);
    EXPECT_EQ(PathTable::programDirFor(bin + QStringLiteral("/")), installed);
    EXPECT_TRUE(PathTable::isInstalledDataDir(installed));
    EXPECT_TRUE(PathTable::isInstalledDataDir(prefix + QStringLiteral("/share/campanix")));

    // A runnable folder beside the executable wins over the installed one.
    makeFile(bin + QStringLiteral("/Data/desc.kli"));
    EXPECT_EQ(PathTable::programDirFor(bin), bin + u'/');

    // Look-alike names are not the installed folder.
    for (const char* dir :
         {"/opt/campanix", "/usr/share/campanix-old", "/usr/share/xcampanix", "/home/u/build/campanix"}) {
        EXPECT_FALSE(PathTable::isInstalledDataDir(QString::fromLatin1(dir))) << dir;
    }
}

// An installed program writes only under the user's XDG folders, even where
// it could write into the prefix (root, or a prefix the user owns); the
// build tree keeps writing beside the executable.
TEST(PathTable, InstalledProgramWritesOnlyUnderTheXdgFolders) {
    QTemporaryDir root;
    const QString home = root.filePath(QStringLiteral("home"));
    const ScopedEnv config("XDG_CONFIG_HOME", (home + QStringLiteral("/cfg")).toLocal8Bit());
    const ScopedEnv data("XDG_DATA_HOME", (home + QStringLiteral("/dat")).toLocal8Bit());

    const QString installed = root.filePath(QStringLiteral("usr/share/campanix/"));
    QDir().mkpath(installed);
    ASSERT_TRUE(PathTable::isFolderWritable(installed));
    const PathTable p = PathTable::forExecutable(installed);
    EXPECT_FALSE(p.programDirWritable());
    EXPECT_EQ(p.settingsFile(), home + QStringLiteral("/cfg/campanix/campanix.ini"));
    EXPECT_EQ(p.tempRingingFile(), home + QStringLiteral("/dat/campanix/Custom/temp.kol.tmp"));
    EXPECT_EQ(p.htmlDir(), home + QStringLiteral("/dat/campanix/html"));
    EXPECT_EQ(p.bellCatalogue(), installed + QStringLiteral("Data/desc.kli"));
    EXPECT_TRUE(QDir(installed).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    const QString buildTree = root.filePath(QStringLiteral("build/campanix/"));
    QDir().mkpath(buildTree);
    const PathTable b = PathTable::forExecutable(buildTree);
    EXPECT_TRUE(b.programDirWritable());
    EXPECT_EQ(b.settingsFile(), buildTree + QStringLiteral("campanix.ini"));
    EXPECT_EQ(b.htmlDir(), buildTree + QStringLiteral("html"));
}

TEST(PathTable, WritableFolderIsProbedForReal) {
    QTemporaryDir dir;
    EXPECT_TRUE(PathTable::isFolderWritable(dir.path()));
    EXPECT_FALSE(PathTable::isFolderWritable(dir.filePath(QStringLiteral("missing"))));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// The first failure is shown with the exact text; later ones are recorded only.
TEST(RequiredFileCheck, ShowsTheFirstFailureAndRequestsTermination) {
    QStringList shown;
    RequiredFileCheck check([&](const QString& m) { shown << m; });
    QTemporaryDir dir;
    const QString present = dir.filePath(QStringLiteral("desc.kli"));
    QFile f(present);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(check.check(present));
    EXPECT_FALSE(check.terminationRequested());

    EXPECT_FALSE(check.check(QStringLiteral("/x/Data/desc.kli")));
    check.report(QStringLiteral("/x/Campanel/small.kli"));
    EXPECT_TRUE(check.terminationRequested());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], QStringLiteral("Необходимый файл /x/Data/desc.kli поврежден или отсутствует.\r\n"
                                       "Дальнейшая работа с программой не возможна. \r\n"
                                       "Необходимо переустановить программу."));
    EXPECT_EQ(check.failedPaths(), (QStringList{"/x/Data/desc.kli", "/x/Campanel/small.kli"}));
    // A folder is not a file.
    RequiredFileCheck quiet;
    EXPECT_FALSE(quiet.check(dir.path()));
}
