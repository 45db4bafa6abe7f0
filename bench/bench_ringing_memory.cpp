// Peak memory of the largest ringings the reader accepts: each file at the
// limits (4 MB, 200,000 columns) is read through the one reader and loaded
// into the working set in a process of its own, which reports its peak
// resident size. Run without arguments it runs every shape and prints a
// table; the target is under 200 MB for every shape.
//
//   build/bench/bench_ringing_memory

#include "base/TextCodec.h"
#include "ringing/RingingReader.h"
#include "ringing/RingingText.h"
#include "ringing/TChannels.h"

#include "support/ProcessMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QString kBells = QStringLiteral("111111111111111");
const QString kTypes = QStringLiteral("bbbbbmmmmmsssss");

struct Shape {
    const char* name;
    RingingKind kind;
    QStringList (*lines)();
};

QStringList columnsOf(const QString& column, qint64 count) {
    QStringList body{QStringLiteral("144")};
    for (qint64 i = 0; i < count; ++i) {
        body << column;
    }
    return body;
}

// Columns of `width` characters that together fill the byte limit.
QStringList filling(int width) {
    QString column;
    while (column.size() + 3 <= width) {
        column += column.isEmpty() ? QStringLiteral("s1") : QStringLiteral(",m2");
    }
    const qint64 count = std::min<qint64>(kMaxRingingColumns, (kMaxRingingFileBytes - 16) / (width + 2));
    return columnsOf(column, count);
}

const Shape kShapes[] = {
    {"200,000 empty columns", RingingKind::Body, [] { return columnsOf(QString(), kMaxRingingColumns); }},
    {"200,000 columns of 5 strikes", RingingKind::Body,
     [] { return columnsOf("s1,m2,b3,s4,m5", kMaxRingingColumns); }},
    {"4 MB of 18-character columns", RingingKind::Body, [] { return filling(18); }},
    {"4 MB of 200-character columns", RingingKind::Body, [] { return filling(200); }},
    {"4 MB in one column", RingingKind::Body,
     [] {
         return QStringList{QStringLiteral("144"), QString(kMaxRingingFileBytes - 16, u'x')};
     }},
    {"user file, 200,000 encoded columns", RingingKind::User,
     [] {
         const QStringList body = columnsOf("s1,m2,b3", kMaxRingingColumns - 1);
         return QStringList{kBells, kTypes, QStringLiteral("N"),
                            encodeRingingLines(body, SymbolChoice{0, 2})};
     }},
};

QString shapePath(int index, const QString& folder) {
    return folder + QStringLiteral("/shape%1.txt").arg(index);
}

// Loads one shape's file, in a process that has done nothing else.
int runShape(int index, const QString& folder) {
    const Shape& shape = kShapes[index];
    const QString path = shapePath(index, folder);
    const long before = statusKilobytes("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const RingingRead read = readRingingDocument(path, shape.kind);
    if (!read) {
        std::printf("%-36s refused: %s\n", shape.name,
                    ringingFailureText(path, read.failure).toUtf8().constData());
        return 0;
    }
    TChannels channels;
    const RingingLoadResult loaded =
        channels.loadRingingLines(TChannels::kCommonScore, read.document->body, 144);
    const long peak = statusKilobytes("VmHWM");
    const long kept = statusKilobytes("VmRSS");
    std::printf("%-36s %7lld columns, %4.2f MB file: load %5lld ms, resident %5.1f MB before, %5.1f MB peak, "
                "%5.1f MB after%s\n",
                shape.name, static_cast<long long>(channels.common().size()),
                static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0),
                static_cast<long long>(timer.elapsed()), before / 1024.0, peak / 1024.0, kept / 1024.0,
                loaded.loaded ? "" : " (not loaded)");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3) {
        return runShape(arguments.at(1).toInt(), arguments.at(2));
    }
    QTemporaryDir dir;
    std::printf("limits: %lld bytes, %lld columns; target: peak resident under 200 MB\n",
                static_cast<long long>(kMaxRingingFileBytes), static_cast<long long>(kMaxRingingColumns));
    std::fflush(stdout);
    for (int i = 0; i < static_cast<int>(std::size(kShapes)); ++i) {
        if (!writeTextLines(shapePath(i, dir.path()), kShapes[i].lines())) {
            std::fprintf(stderr, "cannot write %s\n", shapePath(i, dir.path()).toUtf8().constData());
            return 1;
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::number(i), dir.path()});
        child.waitForFinished(-1);
    }
    return 0;
}
