#include "desktop/RingingFileTypeRegistration.h"

#include "desktop/FileAssociation.h"

#include <QDeadlineTimer>
#include <QThread>

RingingFileTypeRegistration::RingingFileTypeRegistration(QString executable, QString programDir)
    : m_executable(std::move(executable)), m_programDir(std::move(programDir)) {}

RingingFileTypeRegistration::~RingingFileTypeRegistration() {
    wait();
}

void RingingFileTypeRegistration::start() {
    if (m_thread) {
        return;
    }
    m_thread.reset(QThread::create([executable = m_executable, programDir = m_programDir] {
        registerRingingFileType(executable, programDir);
    }));
    m_thread->setObjectName(QStringLiteral("association"));
    // Below the window's thread: the first pictures come first.
    m_thread->start(QThread::LowPriority);
}

bool RingingFileTypeRegistration::isStarted() const {
    return m_thread != nullptr;
}

bool RingingFileTypeRegistration::wait(int milliseconds) {
    if (!m_thread) {
        return true;
    }
    return m_thread->wait(milliseconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                           : QDeadlineTimer(milliseconds));
}
