#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

// Files the program writes are written whole or not at all: the content goes
// to a temporary file in the same folder, which is flushed to disk and then
// renamed over the target. A failure at any point leaves the old file as it
// was and removes the temporary file.

// The producer writes the content to the device and returns false to abandon
// the write (for example when it failed to produce the content).
using ContentProducer = std::function<bool(QIODevice& out)>;

bool writeFileAtomically(const QString& path, const ContentProducer& produce);
bool writeFileAtomically(const QString& path, const QByteArray& content);
