#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <functional>
#include <thread>

// The kinds of path an output may name, made in a test's own folder, and
// what each must still be after a write: the shared writer and the renderer
// are tried over the same table.
namespace outputpaths {

// Reads everything written to a FIFO on a thread of its own, from before the
// writer opens it until the writer closes it.
class FifoReader {
public:
    explicit FifoReader(const QString& path) : m_path(path) {
        m_thread = std::thread([this] {
            const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                return;
            }
            char buffer[65536];
            for (;;) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                m_bytes.append(buffer, static_cast<qsizetype>(n));
            }
            ::close(fd);
        });
    }
    // Waits for the writer to finish; a writer that never came is stood in
    // for, so a failed test does not hang.
    QByteArray finish() {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
        }
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_bytes;
    }
    ~FifoReader() { finish(); }

private:
    QString m_path;
    QByteArray m_bytes;
    std::thread m_thread;
};

enum class Kind { Device, Fifo, LinkToFile, LinkToNothing, Folder };

inline const char* nameOf(Kind kind) {
    switch (kind) {
    case Kind::Device:
        return "a character device";
    case Kind::Fifo:
        return "a FIFO";
    case Kind::LinkToFile:
        return "a link to a file";
    case Kind::LinkToNothing:
        return "a link to a missing file";
    case Kind::Folder:
        return "a folder";
    }
    return "";
}

// One path of a kind, made under `folder` as `name`: a device node like
// /dev/null (only the superuser may make one: `made` is false otherwise), a
// FIFO, a link to targets/<name> (an existing file, or none).
struct Made {
    bool made = false;
    QString path;   // what the output is given
    QString target; // where the bytes must arrive (links), else the path
};

inline Made make(Kind kind, const QString& folder, const QString& name) {
    Made made;
    made.path = folder + u'/' + name;
    made.target = made.path;
    const QByteArray bytes = QFile::encodeName(made.path);
    QDir(folder).mkpath(QStringLiteral("targets"));
    switch (kind) {
    case Kind::Device:
        made.made = ::mknod(bytes.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
        break;
    case Kind::Fifo:
        made.made = ::mkfifo(bytes.constData(), 0600) == 0;
        break;
    case Kind::LinkToFile:
    case Kind::LinkToNothing: {
        made.target = folder + QStringLiteral("/targets/") + name;
        if (kind == Kind::LinkToFile) {
            QFile old(made.target);
            made.made = old.open(QIODevice::WriteOnly) && old.write("old") == 3;
            old.close();
        } else {
            made.made = true;
        }
        // Relative, as links into a synced folder often are.
        made.made = made.made &&
                    ::symlink(QFile::encodeName(QStringLiteral("targets/") + name).constData(), bytes.constData()) == 0;
        break;
    }
    case Kind::Folder:
        made.made = QDir(folder).mkdir(name);
        break;
    }
    return made;
}

// Whether the path is still of its kind.
inline bool keepsItsKind(Kind kind, const QString& path) {
    struct stat node {};
    if (::lstat(QFile::encodeName(path).constData(), &node) != 0) {
        return false;
    }
    switch (kind) {
    case Kind::Device:
        return S_ISCHR(node.st_mode);
    case Kind::Fifo:
        return S_ISFIFO(node.st_mode);
    case Kind::LinkToFile:
    case Kind::LinkToNothing:
        return S_ISLNK(node.st_mode);
    case Kind::Folder:
        return S_ISDIR(node.st_mode) && QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                            QDir::NoDotAndDotDot);
    }
    return false;
}

// Temporary files left behind in a folder (the writers name them "<name>.tmp-...").
inline QStringList temporariesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace outputpaths
