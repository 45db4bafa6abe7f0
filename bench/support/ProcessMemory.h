#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Kilobytes of a field of /proc/self/status ("VmHWM", the peak resident
// size of this process image, or "VmRSS"); -1 when it cannot be read.
// getrusage's peak would not do: it survives exec, so a child would report
// its parent's peak.
inline long statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}
