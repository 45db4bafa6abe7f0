#include "bells/belfry/BelfryCommand.h"

#include "bells/belfry/BelfryImport.h"
#include "bells/belfry/BelfryStore.h"

#include <QTextStream>

namespace {

int fail(QTextStream& err, int code, const QString& message) {
    err << "campanix-belfry: " << message << '\n';
    err.flush();
    return code;
}

int importCommand(QStringList args, const BelfryStore& store, QTextStream& out, QTextStream& err) {
    const bool replace = args.removeAll(QStringLiteral("--replace")) > 0;
    if (args.size() < 2) {
        return fail(err, kBelfryBadArguments, QStringLiteral("import needs a name and at least one recording"));
    }
    const QString name = args.takeFirst();
    const QString problem = BelfryStore::nameProblem(name);
    if (!problem.isEmpty()) {
        return fail(err, kBelfryBadArguments, QStringLiteral("\"%1\": %2").arg(name, problem));
    }
    // Asked before the recordings are read: nobody waits for an import that
    // cannot be kept.
    if (store.exists(name) && !replace) {
        return fail(err, kBelfryFailed,
                    QStringLiteral("a belfry named \"%1\" exists already; give --replace to replace it").arg(name));
    }
    const BelfryImport import = importRecordings(name, args);
    if (!import.error.isEmpty()) {
        return fail(err, kBelfryBadArguments, import.error);
    }
    for (const ImportedFile& f : import.files) {
        if (f.bell < 0) {
            err << "campanix-belfry: " << f.file << ": " << f.why << '\n';
        }
    }
    err.flush();
    if (import.belfry.bells.isEmpty()) {
        return fail(err, kBelfryFailed, QStringLiteral("no recording could be used; nothing was written"));
    }
    QString error;
    if (!store.save(import.belfry, import.samples, replace, &error)) {
        return fail(err, kBelfryFailed, error + QStringLiteral("; nothing was written"));
    }
    QList<const ImportedFile*> byBell(import.belfry.bells.size(), nullptr);
    for (const ImportedFile& f : import.files) {
        if (f.bell >= 0) {
            byBell[f.bell] = &f;
        }
    }
    for (int bell = 0; bell < byBell.size(); ++bell) {
        const ImportedFile& f = *byBell.at(bell);
        out << bell << '\t' << f.file << '\t' << QString::number(f.measures.pitchHz, 'f', 2) << '\t'
            << QString::number(f.measures.onsetSeconds(), 'f', 4) << '\n';
    }
    std::vector<double> pitches;
    for (const BelfryBell& bell : import.belfry.bells) {
        pitches.push_back(bell.pitchHz);
    }
    for (const auto& [a, b] : belfry::closePitches(pitches, belfry::kQuarterToneCents)) {
        err << "campanix-belfry: warning: bells " << a << " and " << b
            << " are within a quarter tone of each other\n";
    }
    out.flush();
    err.flush();
    return kBelfryOk;
}

} // namespace

QString belfryUsage() {
    return QStringLiteral(
        "Usage: campanix-belfry [--data-dir FOLDER] COMMAND\n"
        "  import [--replace] NAME FILE...  makes a belfry of up to 15 recordings, one strike of one bell\n"
        "                                   each; prints bell number, file, strike pitch (Hz) and the\n"
        "                                   strike's time in the file (s) per bell, lowest bell first\n"
        "  list                             names the belfries\n"
        "  remove NAME                      removes a belfry\n");
}

int runBelfryCommand(const QStringList& arguments, const QString& belfriesDir, QTextStream& out,
                     QTextStream& err) {
    QStringList args = arguments;
    QString dir = belfriesDir;
    if (args.size() >= 2 && args.first() == QStringLiteral("--data-dir")) {
        dir = args.at(1) + QStringLiteral("/Belfries/");
        args = args.mid(2);
    }
    if (args.isEmpty() || args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        out << belfryUsage();
        out.flush();
        return args.isEmpty() ? kBelfryBadArguments : kBelfryOk;
    }
    const BelfryStore store(dir);
    const QString command = args.takeFirst();
    if (command == QStringLiteral("import")) {
        return importCommand(args, store, out, err);
    }
    if (command == QStringLiteral("list") && args.isEmpty()) {
        for (const QString& name : store.names()) {
            out << name << '\n';
        }
        out.flush();
        return kBelfryOk;
    }
    if (command == QStringLiteral("remove") && args.size() == 1) {
        QString error;
        return store.remove(args.first(), &error) ? kBelfryOk : fail(err, kBelfryFailed, error);
    }
    err << "campanix-belfry: unknown command or wrong arguments: " << arguments.join(u' ') << "\n\n"
        << belfryUsage();
    err.flush();
    return kBelfryBadArguments;
}
