#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, Ctrl+C, a closed
// terminal) turned into a Qt signal on the main thread, so that the program
// closes as when its window is closed: the settings written, the voices
// stopped, the single-instance lock released. The handler only writes the
// signal's number into a pipe; a socket notifier reads it in the event loop.
// One object per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe or a handler could not be set up (logged); the
    // signals then keep their default action.
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signal);

private:
    void readSignals();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};
