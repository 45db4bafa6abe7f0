#pragma once

#include <QString>

// The table of working paths. Every data path is the program's folder plus a
// fixed relative part, with "/" as separator; folders end with "/".
//
// Files the program writes (the settings file, the temporary ringing file and
// the HTML export) go beside the executable when that folder is writable, and
// otherwise under the user's XDG folders, so that a read-only installation
// still starts and keeps its settings. An installed program (its data under
// <prefix>/share/campanix) always writes under the XDG folders, even when it
// could write into the prefix, as root can.
class PathTable {
public:
    // The folder that holds the program's data, for an executable in
    // `executableDir`: beside the executable when its data is there (the
    // build tree, a copied folder), otherwise the installed data folder
    // <prefix>/share/campanix of an executable in <prefix>/bin when that
    // folder exists, otherwise the executable's folder (whose missing files
    // the required-file check then names).
    static QString programDirFor(const QString& executableDir);
    // Whether `dir` is an installed data folder (<prefix>/share/campanix).
    static bool isInstalledDataDir(const QString& dir);

    // programDir: the executable's folder. writable: whether files may be
    // written there. configDir, dataDir: the per-user folders used otherwise
    // (already including the program's own subfolder).
    PathTable(const QString& programDir, bool writable, const QString& configDir, const QString& dataDir);

    // The table for the program folder found by programDirFor(), with the
    // XDG folders of the user.
    static PathTable forExecutable(const QString& programDir);

    // Whether a file can actually be created in the folder (tried, not guessed).
    static bool isFolderWritable(const QString& dir);

    const QString& programDir() const { return m_programDir; }
    bool programDirWritable() const { return m_writable; }

    QString settingsFile() const;
    QString bellCatalogue() const { return m_programDir + QStringLiteral("Data/desc.kli"); }
    QString imagesDir() const { return m_programDir + QStringLiteral("Images/"); }
    QString soundRoot() const { return m_programDir + QStringLiteral("Sound/"); }
    QString campanelDir() const { return m_programDir + QStringLiteral("Campanel/"); }
    QString commonList() const { return m_programDir + QStringLiteral("Campanel/common.kli"); }
    QString animateDir() const { return m_programDir + QStringLiteral("Animate/"); }
    QString bigAnimateDir() const { return m_programDir + QStringLiteral("BigAnimate/"); }
    QString helpIndex() const { return m_programDir + QStringLiteral("Help/index.htm"); }
    QString voiceDir() const { return m_programDir + QStringLiteral("Voice/"); }
    QString voiceReference() const { return m_programDir + QStringLiteral("Voice/reference.htm"); }
    QString aboutIndex() const { return m_programDir + QStringLiteral("About/index.htm"); }
    QString customDir() const { return m_programDir + QStringLiteral("Custom/"); }
    QString tempRingingFile() const;
    QString htmlDir() const;
    // The user's own belfries, a folder each (written where the other files
    // the program writes go).
    QString belfriesDir() const;

    // The sample folder follows the model row (0..2) and the stereo switch:
    // Sound/Model<row + 1>/Stereo/ or Mono/.
    QString sampleFolder() const { return m_sampleFolder; }
    void setSampleFolder(int modelRow, bool stereo);
    // A sample folder of the user's own (a belfry's folder).
    void setSampleFolderPath(const QString& folder);

private:
    QString writableBase(const QString& fallbackDir) const;

    QString m_programDir;
    bool m_writable;
    QString m_configDir;
    QString m_dataDir;
    QString m_sampleFolder;
};
