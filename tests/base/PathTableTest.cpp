#include "base/PathTable.h"
#include "base/RequiredFileCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
