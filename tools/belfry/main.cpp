// campanix-belfry: makes a belfry of one's own from recordings of its bells,
// lists and removes belfries, in the data folder the program itself uses.

#include "base/PathTable.h"
#include "bells/belfry/BelfryCommand.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const PathTable paths =
        PathTable::forExecutable(PathTable::programDirFor(QCoreApplication::applicationDirPath()));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runBelfryCommand(QCoreApplication::arguments().mid(1), paths.belfriesDir(), out, err);
}
