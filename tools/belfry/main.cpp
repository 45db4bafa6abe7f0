// campanix-belfry: makes a belfry of one's own from recordings of its bells,
// lists and removes belfries, in the data folder the program itself uses.

#include "base/PathTable.h"
#include "bells/belfry/BelfryCommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // A file grown past the size limit fails its write, as on a full disk,
    // so that the half-built belfry is cleared away and the failure told.
    std::signal(SIGXFSZ, SIG_IGN);
    const PathTable paths =
        PathTable::forExecutable(PathTable::programDirFor(QCoreApplication::applicationDirPath()));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runBelfryCommand(QCoreApplication::arguments().mid(1), paths.belfriesDir(), out, err);
}
