#pragma once

#include "support/FileSizeLimit.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include <sys/mount.h>
#include <unistd.h>

// A folder on a disk that can be made full: a small tmpfs of its own where
// the test may mount one (as root), else a file size limit (writes past it
// fail with EFBIG, as a full disk fails them with ENOSPC). Files made before
// fill() are there to be kept; after it no write of a byte succeeds.
class FullDisk {
public:
    FullDisk() {
        m_path = m_dir.path() + QStringLiteral("/disk");
        QDir().mkpath(m_path);
        if (::geteuid() == 0 &&
            ::mount("campanix-full", QFile::encodeName(m_path).constData(), "tmpfs", 0, "size=2m,mode=0755") == 0) {
            m_mounted = true;
        }
    }
    ~FullDisk() {
        m_limit.reset();
        if (m_mounted) {
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    const QString& path() const { return m_path; }
    bool isTmpfs() const { return m_mounted; }
    const char* how() const { return m_mounted ? "a full tmpfs" : "a file size limit"; }

    // Fills the tmpfs to its last byte, or sets the file size limit to none.
    void fill() {
        if (!m_mounted) {
            m_limit = std::make_unique<FileSizeLimit>(0);
            return;
        }
        QFile filler(m_path + QStringLiteral("/.filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return;
        }
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        // The last partial block, byte by byte.
        while (filler.write("f", 1) == 1) {
        }
    }
    // Lets writes through again (the filler goes, the limit is lifted).
    void empty() {
        m_limit.reset();
        QFile::remove(m_path + QStringLiteral("/.filler"));
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
    std::unique_ptr<FileSizeLimit> m_limit;
};
