#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QLoggingCategory>
#include <QString>

#include <functional>

// Files the program writes are written whole or not at all. What the path
// names decides how (see OutputTarget.h): a regular file, or nothing yet, is
// written to a temporary file in the same folder, every write checked,
// flushed to disk and renamed over the target, so a failure at any point (a
// full disk included) leaves the old file as it was and removes the
// temporary file; a link is followed and its target written so, the link
// kept; a device, pipe or socket is written straight to; a folder is refused.

// Files written, and files not written, by the shared writer and the profile
// file.
Q_DECLARE_LOGGING_CATEGORY(lcFiles)

// The producer writes the content to the device and returns false to abandon
// the write (for example when it failed to produce the content).
using ContentProducer = std::function<bool(QIODevice& out)>;

bool writeFileAtomically(const QString& path, const ContentProducer& produce);
bool writeFileAtomically(const QString& path, const QByteArray& content);

// The outcome of a write, for callers that tell the user why it failed.
struct FileWriteResult {
    bool ok = false;
    QString error;       // "<path>: <reason>" for the log and the command line
    int systemError = 0; // errno of the failure, 0 when none
    explicit operator bool() const { return ok; }
};

FileWriteResult writeFileWhole(const QString& path, const ContentProducer& produce);
FileWriteResult writeFileWhole(const QString& path, const QByteArray& content);

// Why a write failed, in a few Russian words for a message box ("на диске нет
// места", ...); empty when it did not fail.
QString fileWriteReason(const FileWriteResult& result);
