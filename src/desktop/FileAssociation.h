#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// User ringing files open with this program from the desktop: a MIME type of
// our own for "*.ukl" (a shared-mime-info package), a desktop entry that
// opens a file with the executable, and the program as the default
// application for the type when the user has chosen none. Everything goes
// under the user's own folders, written whole or not at all, and only when
// it changed; the desktop's databases are refreshed when something did.
// A file of the user's that exists but cannot be read is never written.
class FileAssociation {
public:
    static inline const QString kMimeType = QStringLiteral("application/x-campanix-ringing");
    static inline const QString kDesktopFileName = QStringLiteral("campanix.desktop");
    static inline const QString kIconName = QStringLiteral("campanix");

    // Runs a desktop tool (update-mime-database, ...) with its arguments.
    using ToolRunner = std::function<void(const QString& tool, const QStringList& arguments)>;

    // dataHome, configHome: $XDG_DATA_HOME and $XDG_CONFIG_HOME. The tools
    // run are those installed, unless `runTool` is given.
    FileAssociation(QString dataHome, QString configHome);
    FileAssociation(QString dataHome, QString configHome, ToolRunner runTool);
    // The folders of the user: the XDG variables or ~/.local/share, ~/.config.
    static FileAssociation forUser();

    // Writes the files for `executable` with the icon (PNG; none when
    // empty). True when any file changed. A failure is logged, never shown.
    bool registerProgram(const QString& executable, const QByteArray& iconPng) const;
    // Runs update-mime-database and update-desktop-database on the user's
    // folders, each when installed.
    void refreshDatabases() const;
    // Makes the program the default for the type unless the user chose
    // another in either list of defaults; true when the list changed.
    bool setDefaultApplication() const;

    QString mimePackagePath() const;
    QString desktopEntryPath() const;
    QString iconPath() const;
    QString mimeAppsPath() const;
    // The list of defaults of older desktops, still read by their tools.
    QString legacyMimeAppsPath() const;

    // The texts written.
    static QByteArray mimePackage();
    static QByteArray desktopEntry(const QString& executable);
    // An argument of a desktop entry's Exec key, quoted and escaped when it
    // holds a blank or a reserved character.
    static QString execArgument(const QString& argument);
    // mimeapps.list with the program as default for the type added when
    // no default for it exists; otherwise unchanged.
    static QByteArray withDefaultApplication(const QByteArray& mimeApps);
    // Whether mimeapps.list names a default application for the type.
    static bool hasDefaultApplication(const QByteArray& mimeApps);

private:
    QString m_dataHome;
    QString m_configHome;
    ToolRunner m_runTool;
};

// Whether start-up writes the user's association for the program in
// `programDir` run by an executable in `executableDir`: only the program's
// own executable in its own folder does (a test runner that hosts the window
// registers nothing), and never an installed program, whose package provides
// the association for every user.
bool writesUserAssociation(const QString& executableDir, const QString& programDir);

// The association for the program in `programDir` run as `executable`,
// when writesUserAssociation() allows it. Any failure is ignored (and
// logged). Safe on any thread.
void registerRingingFileType(const QString& executable, const QString& programDir);
// The same for the running executable; on the main thread.
void RegisterRingingFileType(const QString& programDir);
