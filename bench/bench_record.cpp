// Costs around recording and the program's start: an hour of recorded
// strikes, the association step of every start when nothing changed, and a
// second start of the program that hands its file over and ends.

#include "bells/Ensemble.h"
#include "desktop/FileAssociation.h"
#include "desktop/SingleInstance.h"
#include "record/Recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

Ensemble fiveBells() {
    Ensemble e;
    e.applyText(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnbmmss"));
    return e;
}

// An hour at 144 ms with a strike every 90 ms; the counter "columnErrors"
// counts strikes that did not land in the column of their moment.
void recordAnHour(benchmark::State& state) {
    const Ensemble ensemble = fiveBells();
    std::int64_t errors = 0;
    for (auto _ : state) {
        Recorder r;
        r.open(144);
        r.start(0);
        for (std::int64_t t = 0; t < 3'600'000; t += 90) {
            r.closeDuePeriods(t + 37); // the tick comes a little after the strike
            r.capture(ensemble, 14, t);
        }
        r.stop(3'600'000);
        const QStringList lines = r.lines();
        for (std::int64_t t = 0; t < 3'600'000; t += 90) {
            errors += lines.at(static_cast<int>(t / 144)).isEmpty() ? 1 : 0;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.counters["columnErrors"] = static_cast<double>(errors);
}
BENCHMARK(recordAnHour)->Unit(benchmark::kMillisecond);

// The association step at a start when everything is in place already.
void associationUnchanged(benchmark::State& state) {
    QTemporaryDir dir;
    const FileAssociation association(dir.path() + QStringLiteral("/data"),
                                      dir.path() + QStringLiteral("/config"));
    association.registerProgram(QStringLiteral("/opt/campanix/campanix"), QByteArrayLiteral("icon"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            association.registerProgram(QStringLiteral("/opt/campanix/campanix"), QByteArrayLiteral("icon")));
    }
}
BENCHMARK(associationUnchanged)->Unit(benchmark::kMicrosecond);

// The program started while a copy runs: from the start of the process to
// its end, having handed over a file.
void secondStart(benchmark::State& state) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../campanix/campanix");
    if (!QFileInfo(program).isExecutable()) {
        state.SkipWithError("the program is not built");
        return;
    }
    QTemporaryDir dir;
    SingleInstance running(dir.path() + QStringLiteral("/campanix"));
    running.claim(QString());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program, {QStringLiteral("/tmp")});
        second.waitForFinished(10000);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(secondStart)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
