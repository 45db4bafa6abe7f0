#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Where edits not yet saved are kept, so that a crash, a kill or a
// termination signal loses nothing, and how the next start finds them.

// The folders, first choice first: the user's data folder, then the user's
// configuration folder, then a folder in the home folder (a data folder that
// cannot be written loses nothing), as XDG_DATA_HOME, XDG_CONFIG_HOME and
// HOME name them now.
QStringList unsavedRingingFolders();

// A kept ringing found at start-up.
struct UnsavedRinging {
    QString path;
    QString name;      // the ringing's name as the file holds it
    QDateTime written; // when it was last written
};

// The user ringing files in `folders`, newest first. Files that are not
// user ringings are left alone.
QList<UnsavedRinging> findUnsavedRingings(const QStringList& folders);

// A file name for a ringing of this name kept at `moment`: the name with
// anything a file name cannot hold replaced, and the moment, so no earlier
// copy is overwritten.
QString unsavedFileName(const QString& ringingName, const QDateTime& moment);
