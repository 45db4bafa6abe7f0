// Writes the ringing library into a runnable installation folder: the
// bodies and the four catalogue lists in Campanel/, the list ringings and
// list.kli in Custom/. Sources are UTF-8 text in the repository; every
// written file is Windows-1251 with CR LF. Nothing is written unless every
// ringing keeps the library's rules.
//
//   ringgen <source folder> <installation folder>
//   ringgen --summary <source folder>     (a table of the ringings, written nowhere)

#include "LibraryWriter.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: ringgen <source folder> <installation folder>\n"
                             "       ringgen --summary <source folder>\n");
        return 2;
    }
    const bool summary = args.at(1) == u"--summary";
    Library library;
    const QStringList errors = library.read(args.at(2 - (summary ? 0 : 1)));
    if (!errors.isEmpty()) {
        for (const QString& e : errors) {
            std::fprintf(stderr, "%s\n", qPrintable(e));
        }
        return 1;
    }
    if (summary) {
        for (const QString& line : library.summaryLines()) {
            std::printf("%s\n", line.toUtf8().constData());
        }
        return 0;
    }
    const QStringList writeErrors = library.write(args.at(2));
    for (const QString& e : writeErrors) {
        std::fprintf(stderr, "%s\n", qPrintable(e));
    }
    return writeErrors.isEmpty() ? 0 : 1;
}
