#include "desktop/TerminationSignals.h"

#include "base/Logging.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the pipe, for the handler; -1 while nobody listens.
std::atomic<int> g_writeEnd{-1};

extern "C" void onTerminationSignal(int signal) {
    // Only async-signal-safe calls here: write() keeps errno's value for the
    // interrupted code.
    const int savedErrno = errno;
    const int fd = g_writeEnd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcDesktop) << "no pipe for the termination signals:" << qt_error_string(errno);
        m_pipe[0] = m_pipe[1] = -1;
        return;
    }
    g_writeEnd.store(m_pipe[1]);
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            qCWarning(lcDesktop) << "cannot handle signal" << signal << qt_error_string(errno);
        }
    }
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { readSignals(); });
}

TerminationSignals::~TerminationSignals() {
    if (m_pipe[0] < 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
    g_writeEnd.store(-1);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void TerminationSignals::readSignals() {
    unsigned char numbers[16];
    ssize_t count = 0;
    while ((count = ::read(m_pipe[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            qCInfo(lcDesktop) << "signal" << numbers[i] << "received: closing";
            emit terminationRequested(numbers[i]);
        }
    }
}
