// The association written off the main thread once the window is shown: the
// same files as the start-up step wrote, nothing before start(), and a
// registration that is destroyed waits for its files.

#include "desktop/RingingFileTypeRegistration.h"
#include "desktop/FileAssociation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The user's folders of the test, put back afterwards.
class UserFolders {
public:
    explicit UserFolders(const QString& root)
        : m_data(qgetenv("XDG_DATA_HOME")), m_config(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    }
    ~UserFolders() {
        restore("XDG_DATA_HOME", m_data);
        restore("XDG_CONFIG_HOME", m_config);
    }

private:
    static void restore(const char* name, const QByteArray& value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    QByteArray m_data;
    QByteArray m_config;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(RingingFileTypeRegistration, WritesTheAssociationOnlyOnceStartedAndIsWaitedFor) {
    QTemporaryDir root;
    const UserFolders folders(root.path());
    const QString programDir = root.filePath(QStringLiteral("program dir"));
    ASSERT_TRUE(QDir().mkpath(programDir + QStringLiteral("/Images")));
    const QString executable = programDir + QStringLiteral("/campanix");
    QFile(executable).open(QIODevice::WriteOnly);
    const FileAssociation association = FileAssociation::forUser();
    {
        RingingFileTypeRegistration registration(executable, programDir);
        EXPECT_TRUE(registration.wait(0)); // nothing started, nothing to wait for
        EXPECT_FALSE(QFileInfo::exists(association.desktopEntryPath()));
        registration.start();
        registration.start(); // once only
        EXPECT_TRUE(registration.isStarted());
    } // the destructor waits for the files
    EXPECT_EQ(readAll(association.desktopEntryPath()), FileAssociation::desktopEntry(executable));
    EXPECT_EQ(readAll(association.mimePackagePath()), FileAssociation::mimePackage());
    EXPECT_TRUE(FileAssociation::hasDefaultApplication(readAll(association.mimeAppsPath())));

    // A runner hosting the window from another folder writes nothing.
    QFile::remove(association.desktopEntryPath());
    RingingFileTypeRegistration other(root.filePath(QStringLiteral("runner")), programDir);
    other.start();
    EXPECT_TRUE(other.wait());
    EXPECT_FALSE(QFileInfo::exists(association.desktopEntryPath()));
}
