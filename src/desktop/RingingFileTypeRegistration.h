#pragma once

#include <QString>

#include <memory>

class QThread;

// The association of user ringing files written on a thread of its own, once
// the main window is shown: reading the icon, writing the files and, when
// one changed, the desktop's database tools take from a few milliseconds to
// most of a second, and none of it is needed before the first window. The
// files are written whole or not at all as ever, so a program that ends
// meanwhile leaves no half-written file; the destructor waits for the work.
class RingingFileTypeRegistration {
public:
    // executable: the running program's file (asked for on the main thread,
    // where the application object lives); programDir: its data folder.
    RingingFileTypeRegistration(QString executable, QString programDir);
    ~RingingFileTypeRegistration();
    RingingFileTypeRegistration(const RingingFileTypeRegistration&) = delete;
    RingingFileTypeRegistration& operator=(const RingingFileTypeRegistration&) = delete;

    // Starts the work; a second call does nothing.
    void start();
    bool isStarted() const;
    // Waits up to `milliseconds` (-1: for ever) for the work to end; true
    // when it has ended or was never started.
    bool wait(int milliseconds = -1);

private:
    QString m_executable;
    QString m_programDir;
    std::unique_ptr<QThread> m_thread;
};
