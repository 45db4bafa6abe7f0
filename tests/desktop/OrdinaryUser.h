#pragma once

#include <QFile>
#include <QString>

#include <sys/types.h>
#include <unistd.h>

// Permissions do not stop root: a test that needs them runs that part as an
// ordinary user when it runs as root, in a folder it first gives to that user.
// Nothing changes for a test that runs as an ordinary user already.
class AsOrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;

    explicit AsOrdinaryUser(const QString& folder) {
        if (::geteuid() != 0) {
            return;
        }
        m_switched =
            ::chown(QFile::encodeName(folder).constData(), kNobody, kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~AsOrdinaryUser() {
        if (m_switched) {
            (void)::seteuid(0);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

    // Whether permissions now apply (false only when the switch failed).
    bool active() const { return m_switched || ::geteuid() != 0; }

private:
    bool m_switched = false;
};
