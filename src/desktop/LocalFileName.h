#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// File names as the system hands them over are bytes. On this system they
// are UTF-8, but a name made elsewhere (an archive packed on Windows, a
// Windows-1251 name) may hold bytes that are not, and Qt decodes those to
// U+FFFD: the name no longer names the file. Here a byte that is not part of
// valid UTF-8 is carried as the lone low surrogate U+DC00 + byte (U+DC80 to
// U+DCFF), which no decoded name can hold, so that such a name passes the
// command line, the hand-over to a running copy and the window unchanged.
QString fileNameFromLocalBytes(const QByteArray& bytes);
QByteArray localBytesOfFileName(const QString& name);

// The program's arguments from argv, each decoded as above.
QStringList argumentsFromLocalBytes(int argc, const char* const* argv);

// Whether the name carries bytes that are not UTF-8.
bool hasForeignBytes(const QString& name);
// The name for messages: each such byte shown as U+FFFD.
QString displayedFileName(const QString& name);
// Whether the name (with such bytes or not) is an existing file, a link to
// one included.
bool isLocalFile(const QString& name);

// A file whose name carries such bytes, opened by its bytes for as long as
// this object lives, so that code which names files in Qt can read it: its
// path() is the name itself when the name has no such bytes, otherwise the
// process's own link to the open file; empty when the file cannot be opened.
class LocalFileAccess {
public:
    explicit LocalFileAccess(const QString& name);
    ~LocalFileAccess();
    LocalFileAccess(const LocalFileAccess&) = delete;
    LocalFileAccess& operator=(const LocalFileAccess&) = delete;

    QString path() const { return m_path; }

private:
    int m_descriptor = -1;
    QString m_path;
};
