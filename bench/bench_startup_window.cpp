// Start to the main window: the real program started as a user starts it
// (offscreen, or the display of QT_QPA_PLATFORM/DISPLAY when set; SDL's dummy
// audio), timed from the start of its process to the moment it reports its
// window shown (the program's own debug line, after the window's first
// painting). The first start of a fresh user also writes the association of
// ringing files and runs the desktop's tools, after the window; it is
// reported apart. Then `starts` starts (default 10): min, median, max.
// Fifteen bells of model row 1 are selected, as in a user's settings.
//
//   bench_startup_window [installation folder] [starts]

#include "support/BenchProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const QByteArray kShownLine = "main window shown";

struct Start {
    double toWindowMs = 0; // from the process start, measured here
    double reportedMs = 0; // from main(), as the program tells it
    double cpuMs = 0;      // of the window's thread until then, as the program tells it
};

// One start: the time to the window, then the program closed as the
// desktop closes it (SIGTERM, which saves as a window close does).
std::optional<Start> startOnce(const QString& program, const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    std::optional<Start> start;
    QByteArray seen;
    while (!start && clock.elapsed() < 20000 && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(50);
        seen += process.readAllStandardError();
        const qsizetype at = seen.indexOf(kShownLine);
        if (at >= 0 && seen.indexOf('\n', at) > at) {
            // "<n> ms after the start (<m> ms of its thread's CPU)"
            const QByteArray rest = seen.mid(at + kShownLine.size()).trimmed();
            const QByteArray cpu = rest.mid(rest.indexOf('(') + 1);
            start = Start{static_cast<double>(clock.nsecsElapsed()) / 1e6,
                          rest.split(' ').value(0).toDouble(), cpu.split(' ').value(0).toDouble()};
        }
    }
    process.terminate();
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
    }
    if (!start) {
        std::fprintf(stderr, "no window reported; the program said:\n%s\n", seen.constData());
    }
    return start;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    BenchProgram program(argc, argv);
    const int starts = BenchProgram::argument(argc, argv, 2, 1, 10);
    if (!program.holds(QStringLiteral("campanix"), "the program") ||
        !program.holds(QStringLiteral("Data/desc.kli"), "data")) {
        return 1;
    }
    program.create(BenchProgram::everyBell());
    // The program's own copy in the folder, so that its data and its writes
    // are the bench's.
    const QString executable = program.folder() + QStringLiteral("campanix");
    if (!QFile::copy(program.installation() + QStringLiteral("/campanix"), executable)) {
        std::fprintf(stderr, "cannot copy the program to %s\n", qPrintable(executable));
        return 1;
    }
    QFile::setPermissions(executable, QFile::permissions(executable) | QFileDevice::ExeOwner);

    // A user of its own: the association, the running-copy guard and the
    // caches go under the folder.
    const QString home = program.folder() + QStringLiteral("home");
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    if (!env.contains(QStringLiteral("SDL_AUDIODRIVER"))) {
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    }
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("campanix.app.debug=true"));
    env.remove(QStringLiteral("QT_MESSAGE_PATTERN"));

    std::printf("platform %s, %d starts\n", qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"))), starts);
    const std::optional<Start> first = startOnce(executable, env);
    if (!first) {
        return 1;
    }
    std::printf("first start (association written after the window): %.0f ms to the window (%.0f ms after "
                "main, %.0f ms of CPU)\n",
                first->toWindowMs, first->reportedMs, first->cpuMs);
    std::vector<double> window;
    std::vector<double> reported;
    std::vector<double> cpu;
    for (int i = 0; i < starts; ++i) {
        const std::optional<Start> start = startOnce(executable, env);
        if (!start) {
            return 1;
        }
        window.push_back(start->toWindowMs);
        reported.push_back(start->reportedMs);
        cpu.push_back(start->cpuMs);
    }
    std::sort(window.begin(), window.end());
    std::sort(reported.begin(), reported.end());
    std::sort(cpu.begin(), cpu.end());
    const auto median = [](const std::vector<double>& v) {
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    std::printf("start to the main window: min %.0f ms, median %.0f ms, max %.0f ms (target under 150 ms); "
                "after main(): median %.0f ms; the window thread's CPU until then: median %.0f ms\n",
                window.front(), median(window), window.back(), median(reported), median(cpu));
    // On a machine busy with other work the wall times stretch; the CPU time
    // of the window's thread does not.
    std::printf("load average at the end: %s\n",
                []() {
                    QFile load(QStringLiteral("/proc/loadavg"));
                    return load.open(QIODevice::ReadOnly) ? load.readAll().trimmed() : QByteArray("unknown");
                }()
                    .constData());
    return 0;
}
