#include "BenchProgram.h"

#include "base/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void BenchProgram::prepareEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "none");
}

int BenchProgram::argument(int argc, char** argv, int index, int minimum, int fallback) {
    return argc > index ? std::max(minimum, std::atoi(argv[index])) : fallback;
}

QStringList BenchProgram::everyBell() {
    return {QStringLiteral("[Serial]"), QStringLiteral("Bells=111111111111111"),
            QStringLiteral("Types=bbbbbmmmmmsssss")};
}

BenchProgram::BenchProgram(int argc, char** argv)
    : m_installation(argc > 1 ? QString::fromLocal8Bit(argv[1])
                              : QCoreApplication::applicationDirPath() + QStringLiteral("/../campanix")) {}

bool BenchProgram::holds(const QString& file, const char* what) const {
    if (QFile::exists(m_installation + QLatin1Char('/') + file)) {
        return true;
    }
    std::fprintf(stderr, "no installation with %s at %s\n", what, qPrintable(m_installation));
    return false;
}

void BenchProgram::create(const QStringList& settings) {
    m_dir = std::make_unique<QTemporaryDir>();
    for (const char* folder : {"Data", "Images", "Sound", "Campanel", "Custom", "Animate", "BigAnimate",
                               "Help", "Voice", "About"}) {
        QFile::link(QDir(m_installation).absoluteFilePath(QLatin1String(folder)),
                    m_dir->path() + QLatin1Char('/') + QLatin1String(folder));
    }
    if (!settings.isEmpty()) {
        writeTextLines(m_dir->path() + QStringLiteral("/campanix.ini"), settings);
    }
}

QString BenchProgram::folder() const {
    return m_dir ? m_dir->path() + QLatin1Char('/') : QString();
}
