#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The one fatal check of the program: a required data file that is missing
// or damaged. The first failure is shown to the user (through the reporter,
// a modal message box in the program) and termination is requested; every
// failure is recorded. Later failures are not shown again, so a damaged
// installation produces one message, not a flood of them.
class RequiredFileCheck {
public:
    using Reporter = std::function<void(const QString& message)>;

    explicit RequiredFileCheck(Reporter reporter = {});

    // True when a file exists at the path; otherwise reports it and returns false.
    bool check(const QString& path);
    // Reports the file as damaged (used by readers whose file lacks content).
    void report(const QString& path);

    bool terminationRequested() const { return m_terminationRequested; }
    const QStringList& failedPaths() const { return m_failedPaths; }

    // The message naming a file, exactly as the user sees it.
    static QString message(const QString& fullPath);

private:
    Reporter m_reporter;
    bool m_terminationRequested = false;
    QStringList m_failedPaths;
};
