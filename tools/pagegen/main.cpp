// Writes the lesson, help and publisher pages of the installation and draws
// their pictures.
//
//   pagegen --source <data/pages> --ringings <data/ringings> --out <installation folder>
//
// Every *.htm below the source's Help/, About/ and Voice/ folders is written
// as Windows-1251 into the same folder of the installation; the pictures go
// to Voice/img/. Runs without a display (QT_QPA_PLATFORM=offscreen).

#include "Fonts.h"
#include "Illustrations.h"
#include "ImageFiles.h"
#include "PageWriter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the lesson and help pages with their pictures."));
    parser.addHelpOption();
    const QCommandLineOption sourceOption(
        QStringLiteral("source"), QStringLiteral("Folder of the page sources."), QStringLiteral("folder"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Installation folder to write into."),
                                       QStringLiteral("folder"));
    const QCommandLineOption ringingsOption(QStringLiteral("ringings"),
                                            QStringLiteral("Folder of the ringing library's sources."),
                                            QStringLiteral("folder"));
    parser.addOptions({sourceOption, ringingsOption, outOption});
    parser.process(app);
    if (!parser.isSet(sourceOption) || !parser.isSet(outOption) || !parser.isSet(ringingsOption)) {
        std::fprintf(stderr, "pagegen: --source, --ringings and --out are needed\n");
        return 2;
    }
    if (!fonts::load()) {
        std::fprintf(stderr, "pagegen: DejaVu font files missing; the pictures use the system's fonts\n");
    }
    const QDir source(parser.value(sourceOption));
    const QDir out(parser.value(outOption));
    int failures = 0;
    for (const QString& folder : {QStringLiteral("Help"), QStringLiteral("About"), QStringLiteral("Voice")}) {
        out.mkpath(folder);
        const QDir pages(source.filePath(folder));
        for (const QString& name : pages.entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name)) {
            QString error;
            if (!pagewriter::writePage(pages.filePath(name), out.filePath(folder + QLatin1Char('/') + name),
                                       &error)) {
                std::fprintf(stderr, "pagegen: %s\n", qPrintable(error));
                ++failures;
            }
        }
    }
    out.mkpath(QStringLiteral("Voice/img"));
    QStringList errors;
    const QVector<illustrations::Named> pictures = illustrations::all(parser.value(ringingsOption), &errors);
    for (const QString& error : errors) {
        std::fprintf(stderr, "pagegen: %s\n", qPrintable(error));
        ++failures;
    }
    for (const illustrations::Named& picture : pictures) {
        const QString path = out.filePath(QStringLiteral("Voice/img/") + picture.fileName);
        if (!imagefiles::writePng(path, picture.image)) {
            std::fprintf(stderr, "pagegen: %s cannot be written\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
