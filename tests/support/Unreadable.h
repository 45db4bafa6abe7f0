#pragma once

#include <QFile>
#include <QString>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// A file that exists but cannot be read (mode 0200). The superuser reads
// any file: while this lives, the calling thread gives up that override
// (the capabilities stay permitted and come back at the end), so the tests
// mean the same as root in CI as for a user.
class Unreadable {
public:
    explicit Unreadable(const QString& path) {
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (syscall(SYS_capget, &m_header, m_saved) != 0) {
            return;
        }
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~Unreadable() {
        if (m_lowered) {
            syscall(SYS_capset, &m_header, m_saved);
        }
    }
    Unreadable(const Unreadable&) = delete;
    Unreadable& operator=(const Unreadable&) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};
