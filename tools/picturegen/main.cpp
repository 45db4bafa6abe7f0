// Draws the installation's pictures and writes its bell catalogue.
//
//   campanix-picturegen --catalogue <bell-catalogue.txt> --out <installation folder>
//   campanix-picturegen --catalogue <bell-catalogue.txt> --contact-sheet <file.png>
//
// Both may be given together. Runs without a display (QT_QPA_PLATFORM=offscreen).

#include "Fonts.h"
#include "Generator.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the pictures of the installation."));
    parser.addHelpOption();
    const QCommandLineOption catalogueOption(QStringLiteral("catalogue"),
                                             QStringLiteral("UTF-8 source of the bell catalogue."),
                                             QStringLiteral("file"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Installation folder to write into."),
                                       QStringLiteral("folder"));
    const QCommandLineOption sheetOption(QStringLiteral("contact-sheet"),
                                         QStringLiteral("Also write a contact sheet of every picture."),
                                         QStringLiteral("png"));
    parser.addOptions({catalogueOption, outOption, sheetOption});
    parser.process(app);

    if (!parser.isSet(catalogueOption) || (!parser.isSet(outOption) && !parser.isSet(sheetOption))) {
        std::fprintf(stderr, "picturegen: --catalogue and one of --out or --contact-sheet are needed\n");
        return 2;
    }
    if (!fonts::load()) {
        std::fprintf(stderr, "picturegen: DejaVu font files missing; the captions use the system's fonts\n");
    }

    QElapsedTimer timer;
    timer.start();
    QStringList errors;
    int written = 0;
    if (parser.isSet(outOption)) {
        errors += generator::generateAll(parser.value(catalogueOption), parser.value(outOption), &written);
    }
    if (errors.isEmpty() && parser.isSet(sheetOption)) {
        errors += generator::writeContactSheet(parser.value(catalogueOption), parser.value(sheetOption));
    }
    for (const QString& e : errors) {
        std::fprintf(stderr, "picturegen: %s\n", qPrintable(e));
    }
    if (!errors.isEmpty()) {
        return 1;
    }
    if (parser.isSet(outOption)) {
        std::printf("picturegen: %d files in %lld ms\n", written, static_cast<long long>(timer.elapsed()));
    }
    if (parser.isSet(sheetOption)) {
        std::printf("picturegen: contact sheet %s\n", qPrintable(parser.value(sheetOption)));
    }
    return 0;
}
