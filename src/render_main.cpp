// campanix-render: renders a ringing to a WAV or FLAC file offline, through
// the same strike path as playback, with the sample sets of the installation
// it sits in.

#include "base/AtomicFile.h"
#include "base/OutputTarget.h"
#include "base/PathTable.h"
#include "base/RequiredFileCheck.h"
#include "bells/TBellData.h"
#include "bells/belfry/BelfryRow.h"
#include "playback/ColumnStrikes.h"
#include "playback/RenderCommand.h"
#include "playback/RenderLimits.h"
#include "playback/RingingRenderer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace {

// The signal that asked the render to stop, 0 while none has. The handler
// only sets it; the render checks it after every column and then abandons
// its temporary file.
volatile std::sig_atomic_t stopSignal = 0;

void requestStop(int signal) {
    stopSignal = signal;
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    // A reader that goes away (a pipe to "head") ends the render with a
    // message, through the failed write, rather than silently.
    std::signal(SIGPIPE, SIG_IGN);
    // A file grown past the size limit fails its write, as on a full disk,
    // so that the unfinished file is removed and the failure told.
    std::signal(SIGXFSZ, SIG_IGN);
}

// Writes the strike list: "-" is standard output; any other path follows the
// one rule for outputs. An empty string when written, else why not.
QString writeStrikeList(const QString& path, const QByteArray& list) {
    if (path == QStringLiteral("-")) {
        return writeAll(STDOUT_FILENO, list.constData(), static_cast<std::size_t>(list.size()))
                   ? QString()
                   : QStringLiteral("-: ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    const FileWriteResult written = writeFileWhole(path, list);
    return written ? QString() : written.error;
}

int fail(int code, const QString& message) {
    QTextStream(stderr) << "campanix-render: " << message << '\n';
    return code;
}

} // namespace

#ifndef CAMPANIX_VERSION
#define CAMPANIX_VERSION "1.2"
#endif

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument == QStringLiteral("--version")) {
            QTextStream(stdout) << "campanix-render " CAMPANIX_VERSION "\n";
            return kRenderOk;
        }
    }
    const RenderArguments arguments = parseRenderArguments(QCoreApplication::arguments().mid(1));
    if (arguments.help) {
        QTextStream(stdout) << renderUsage();
        return kRenderOk;
    }
    if (!arguments.options) {
        QTextStream(stderr) << "campanix-render: " << arguments.error << "\n\n" << renderUsage();
        return kRenderBadArguments;
    }
    const RenderOptions& options = *arguments.options;
    if (options.outputPath == QStringLiteral("-") && isatty(STDOUT_FILENO)) {
        return fail(kRenderBadArguments,
                    QStringLiteral("standard output is a terminal; pipe it to a program or name a file"));
    }

    QString error;
    const std::optional<RenderRinging> ringing = readRingingForRender(options, &error);
    if (!ringing) {
        return fail(kRenderFailed, error);
    }
    if (!ringing->headerInterval && !options.tempoMs) {
        QTextStream(stderr) << "campanix-render: " << options.ringingPath << ": the header names no interval; "
                            << ringing->intervalMs << " ms between columns (give --tempo to choose)\n";
    }

    // Beside the program (the build tree) or, installed, <prefix>/share/campanix.
    const QString root = options.dataDir.isEmpty()
                             ? PathTable::programDirFor(QCoreApplication::applicationDirPath())
                             : options.dataDir;
    PathTable paths(root, false, root, root);
    paths.setSampleFolder(options.model - 1, !options.mono);
    RequiredFileCheck check;
    const TBellData catalogue(paths.bellCatalogue(), check);
    if (!check.failedPaths().isEmpty()) {
        return fail(kRenderFailed,
                    QStringLiteral("the bell catalogue %1 is missing or damaged").arg(paths.bellCatalogue()));
    }

    RenderJob job;
    job.ensemble = ringing->ensemble;
    job.columns = ringing->columns;
    job.intervalMs = ringing->intervalMs;
    job.sampleFolder = paths.sampleFolder();
    for (int bell = 0; bell < kBellCount; ++bell) {
        job.sampleFiles[static_cast<std::size_t>(bell)] = catalogue.Column(2, bell);
    }
    if (!options.belfry.isEmpty()) {
        const QString belfries = options.dataDir.isEmpty() ? PathTable::forExecutable(root).belfriesDir()
                                                           : root + QStringLiteral("/Belfries/");
        const std::optional<BelfryRow> belfry = loadBelfryRow(belfries, options.belfry, &error);
        if (!belfry) {
            return fail(kRenderFailed, error);
        }
        job.sampleFolder = belfry->folder();
        for (int bell = 0; bell < belfry->bellCount(); ++bell) {
            job.sampleFiles[static_cast<std::size_t>(bell)] = belfry->sampleFileName(bell);
        }
    }
    job.outputPath = options.outputPath;
    job.format = options.format;

    // Every sample the ringing strikes must be there: a render with silent
    // gaps would look like success.
    QSet<QString> checked;
    const auto sampleFile = [&job](int bell) { return job.sampleFiles[static_cast<std::size_t>(bell)]; };
    for (const QString& column : job.columns) {
        for (const QString& path :
             ColumnSampleFiles(column, job.ensemble, {}, job.sampleFolder, sampleFile).sampleFiles) {
            if (!checked.contains(path)) {
                checked.insert(path);
                if (!QFileInfo(path).isFile()) {
                    return fail(kRenderFailed, QStringLiteral("%1: no such sample file").arg(path));
                }
            }
        }
    }

    const RenderCheck limits = checkRenderLimits(job, options.maxMinutes, freeSpaceFor(job.outputPath));
    if (limits.limit != RenderLimit::Fits) {
        return fail(kRenderFailed,
                    options.outputPath + QStringLiteral(": ") + renderLimitText(limits, options.maxMinutes));
    }

    // A strike list that cannot be written is told before the render, not after it.
    if (!options.strikeListPath.isEmpty() && options.strikeListPath != QStringLiteral("-")) {
        const OutputTarget list = classifyOutput(QFile::encodeName(options.strikeListPath).toStdString());
        if (list.kind == OutputTarget::Kind::Refused) {
            return fail(kRenderFailed, options.strikeListPath + QStringLiteral(": ") +
                                           QString::fromStdString(list.error) +
                                           QStringLiteral("; the strike list cannot be written there"));
        }
    }

    installStopHandlers();
    job.progress = [](int, int) { return stopSignal == 0; };
    QByteArray strikeList;
    if (!options.strikeListPath.isEmpty()) {
        job.strikes = [&strikeList](std::int64_t frame, const QStringList& files) {
            for (const QString& file : files) {
                strikeList += QByteArray::number(static_cast<qint64>(frame)) + '\t' + file.toUtf8() + '\n';
            }
        };
    }
    const RenderResult result = renderRinging(job);
    // A signal that came while the output was being opened (a FIFO waits for
    // its reader there) stops the render as one during it does.
    if (result.cancelled || (!result.ok && stopSignal != 0)) {
        return fail(
            kRenderSignalBase + stopSignal,
            QStringLiteral("stopped by signal %1; %2 not written").arg(stopSignal).arg(options.outputPath));
    }
    if (!result.ok) {
        return fail(kRenderFailed, result.error);
    }
    if (!options.strikeListPath.isEmpty()) {
        if (const QString error = writeStrikeList(options.strikeListPath, strikeList); !error.isEmpty()) {
            return fail(kRenderFailed, error + QStringLiteral("; the strike list was not written"));
        }
    }
    // The summary keeps out of the way of a sound or a list on standard output.
    const bool stdoutTaken =
        options.outputPath == QStringLiteral("-") || options.strikeListPath == QStringLiteral("-");
    QTextStream(stdoutTaken ? stderr : stdout) << options.outputPath << ": " << job.columns.size() << " columns at "
                        << job.intervalMs << " ms, " << result.strikes << " strikes, "
                        << QString::number(static_cast<double>(result.frames) / job.sampleRate, 'f', 2)
                        << " s\n";
    return kRenderOk;
}
