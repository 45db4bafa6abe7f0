#pragma once

#include "desktop/LocalFileName.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

// A file whose name holds bytes that are not UTF-8 ("Мой звон" in
// Windows-1251 unless told otherwise), made and removed by its bytes: Qt
// cannot name it, so its folder's own removal would leave it behind.
class ForeignNamedFile {
public:
    ForeignNamedFile(const QString& folder, const QByteArray& content,
                     const QByteArray& name = "\xcc\xee\xe9 \xe7\xe2\xee\xed.ukl")
        : m_bytes(QFile::encodeName(folder) + '/' + name) {
        const int fd = ::open(m_bytes.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) {
            m_made = ::write(fd, content.constData(), static_cast<size_t>(content.size())) == content.size();
            ::close(fd);
        }
    }
    ~ForeignNamedFile() { ::unlink(m_bytes.constData()); }
    ForeignNamedFile(const ForeignNamedFile&) = delete;
    ForeignNamedFile& operator=(const ForeignNamedFile&) = delete;

    bool made() const { return m_made; }
    QByteArray bytes() const { return m_bytes; }
    // The name as the program carries it.
    QString name() const { return fileNameFromLocalBytes(m_bytes); }

private:
    QByteArray m_bytes;
    bool m_made = false;
};
