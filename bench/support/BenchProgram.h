#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A program folder of the bench's own over an installation's data, so that
// the installation's settings stay untouched: the data folders are linked
// into a temporary folder, which also takes the bench's settings file.
class BenchProgram {
public:
    // Before the application exists: offscreen windows and no audio device
    // (the null driver keeps time).
    static void prepareEnvironment();
    // The integer argument at `index`, at least `minimum`; `fallback` when absent.
    static int argument(int argc, char** argv, int index, int minimum, int fallback);
    // Settings lines that select every bell.
    static QStringList everyBell();

    // The installation from the first argument, else the runnable one beside
    // the bench folder. Needs the application.
    BenchProgram(int argc, char** argv);

    const QString& installation() const { return m_installation; }
    // Whether the installation holds `file`; if not, says so on stderr as
    // "no installation with <what> at <installation>".
    bool holds(const QString& file, const char* what) const;
    // Makes the program folder: the data folders linked, and `settings`
    // written as campanix.ini unless empty.
    void create(const QStringList& settings);
    // The program folder, ending with '/'.
    QString folder() const;

private:
    QString m_installation;
    std::unique_ptr<QTemporaryDir> m_dir;
};
