#include "playback/RenderCommand.h"

#include "base/Numbers.h"
#include "base/TextCodec.h"
#include "ringing/RingingFiles.h"
#include "ringing/RingingReader.h"
#include "ringing/TChannels.h"

#include <QFileInfo>

namespace {

constexpr int kMinimumBells = 5;

bool isBellsText(const QString& text) {
    if (text.size() != kBellCount) {
        return false;
    }
    for (QChar c : text) {
        if (c != u'0' && c != u'1') {
            return false;
        }
    }
    return true;
}

bool isTypesText(const QString& text) {
    if (text.size() != kBellCount) {
        return false;
    }
    for (QChar c : text) {
        if (c != u'n' && c != u's' && c != u'm' && c != u'b') {
            return false;
        }
    }
    return true;
}

RenderArguments failure(const QString& error) {
    RenderArguments result;
    result.error = error;
    return result;
}

} // namespace

QString renderUsage() {
    return QStringLiteral(
        "Usage: campanix-render <ringing file> <output> [options]\n"
        "Renders a ringing (.ukl, .kol or a plain body) to a sound file with every strike\n"
        "and the full ring-out of the last bells: FLAC when the output's name ends in\n"
        ".flac, WAV otherwise; other sound formats (.mp3, .ogg, ...) are refused.\n"
        "\n"
        "  --model 1|2|3        sample set: model row 1, model row 2 or flat bells (default 1)\n"
        "  --mono               the mono samples instead of the stereo ones\n"
        "  --belfry <name>      the samples of one's own belfry (made by campanix-belfry)\n"
        "  --tempo <ms>         milliseconds per column (50..1000), instead of the file's header\n"
        "  --bells <15 x 0/1>   selected bells, for a plain body (bell 0 first)\n"
        "  --types <15 x nsmb>  group of each bell, for a plain body\n"
        "  --float              32-bit float samples instead of 16-bit\n"
        "  --data-dir <folder>  the installation holding Data/ and Sound/ (default: beside the\n"
        "                       program, or the installed share/campanix)\n"
        "  --max-length <min>   the longest ringing rendered, in minutes (default 240)\n"
        "  --strike-list <file> also write the strikes as text: frame, tab, sample file\n"
        "                       (- for standard output when the sound goes to a file)\n"
        "  --version            show the version and exit\n"
        "\n"
        "The output, and the strike list, may be:\n"
        "  a file         written whole: rendered into a temporary file beside it, which\n"
        "                 replaces it only when complete, so a failure keeps the old file\n"
        "  a link         its target is written so, and the link stays a link\n"
        "  a device, a named pipe or a socket (/dev/null, /dev/stdout, a FIFO)\n"
        "                 written straight to as the render goes, never replaced\n"
        "  -              standard output, for a pipe to another program\n"
        "A folder is refused. WAV written straight to a pipe gives the largest length in\n"
        "its header, as streamed WAV does; players read it to its end.\n"
        "\n"
        "A ringing longer than the maximum, a WAV file over 4 GB or a file larger than the\n"
        "free space of the disk is refused before rendering starts. SIGTERM, SIGINT or\n"
        "SIGHUP stops the render and removes the unfinished file.\n"
        "\n"
        "Exit status: 0 done, 2 bad arguments, 1 any other failure, 128 + signal number\n"
        "when stopped by a signal.\n");
}

RenderArguments parseRenderArguments(const QStringList& arguments) {
    RenderOptions options;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            RenderArguments result;
            result.help = true;
            return result;
        }
        const bool takesValue =
            argument == QStringLiteral("--model") || argument == QStringLiteral("--tempo") ||
            argument == QStringLiteral("--bells") || argument == QStringLiteral("--types") ||
            argument == QStringLiteral("--data-dir") || argument == QStringLiteral("--max-length") ||
            argument == QStringLiteral("--strike-list") || argument == QStringLiteral("--belfry");
        if (takesValue) {
            if (i + 1 >= arguments.size()) {
                return failure(argument + QStringLiteral(" needs a value"));
            }
            const QString value = arguments.at(++i);
            if (argument == QStringLiteral("--model")) {
                const std::optional<int> model = numbers::parseWholeNumber(value);
                if (!model || *model < 1 || *model > 3) {
                    return failure(QStringLiteral("--model must be 1, 2 or 3, not \"%1\"").arg(value));
                }
                options.model = *model;
            } else if (argument == QStringLiteral("--tempo")) {
                const std::optional<int> tempo = numbers::parseWholeNumber(value);
                if (!tempo || *tempo < TChannels::kMinInterval || *tempo > TChannels::kMaxInterval) {
                    return failure(
                        QStringLiteral("--tempo must be a whole number of milliseconds from %1 to %2, "
                                       "not \"%3\"")
                            .arg(TChannels::kMinInterval)
                            .arg(TChannels::kMaxInterval)
                            .arg(value));
                }
                options.tempoMs = *tempo;
            } else if (argument == QStringLiteral("--bells")) {
                if (!isBellsText(value)) {
                    return failure(
                        QStringLiteral("--bells must be fifteen characters 0 or 1, not \"%1\"").arg(value));
                }
                options.bells = value;
            } else if (argument == QStringLiteral("--types")) {
                if (!isTypesText(value)) {
                    return failure(QStringLiteral("--types must be fifteen letters n, s, m or b, not \"%1\"")
                                       .arg(value));
                }
                options.types = value;
            } else if (argument == QStringLiteral("--max-length")) {
                const std::optional<int> minutes = numbers::parseWholeNumber(value);
                if (!minutes || *minutes < 1) {
                    return failure(
                        QStringLiteral("--max-length must be a whole number of minutes from 1, not \"%1\"")
                            .arg(value));
                }
                options.maxMinutes = *minutes;
            } else if (argument == QStringLiteral("--strike-list")) {
                options.strikeListPath = value;
            } else if (argument == QStringLiteral("--belfry")) {
                options.belfry = value;
            } else {
                options.dataDir = value;
            }
        } else if (argument == QStringLiteral("--mono")) {
            options.mono = true;
        } else if (argument == QStringLiteral("--float")) {
            options.floatOutput = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            return failure(QStringLiteral("unknown option %1").arg(argument));
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() != 2) {
        return failure(QStringLiteral("expected a ringing file and an output file, got %1 names")
                           .arg(positional.size()));
    }
    if (options.bells.isEmpty() != options.types.isEmpty()) {
        return failure(QStringLiteral("--bells and --types go together"));
    }
    options.ringingPath = positional.at(0);
    options.outputPath = positional.at(1);
    if (options.outputPath == QStringLiteral("-") && options.strikeListPath == QStringLiteral("-")) {
        return failure(QStringLiteral("the sound and the strike list cannot both go to standard output"));
    }
    QString formatError;
    const std::optional<audio::OfflineRenderer::Format> format =
        renderFormatFor(options.outputPath, options.floatOutput, &formatError);
    if (!format) {
        return failure(formatError);
    }
    options.format = *format;
    RenderArguments result;
    result.options = options;
    return result;
}

std::optional<audio::OfflineRenderer::Format> renderFormatFor(const QString& outputPath, bool floatOutput,
                                                              QString* error) {
    using Format = audio::OfflineRenderer::Format;
    const QString suffix = QFileInfo(outputPath).suffix().toLower();
    if (suffix == QStringLiteral("flac")) {
        if (floatOutput) {
            *error = QStringLiteral("%1: FLAC holds 16-bit samples here; --float is for WAV").arg(outputPath);
            return std::nullopt;
        }
        return Format::Flac16;
    }
    static const QStringList otherSoundFormats = {
        QStringLiteral("mp3"),  QStringLiteral("ogg"),  QStringLiteral("oga"),  QStringLiteral("opus"),
        QStringLiteral("m4a"),  QStringLiteral("aac"),  QStringLiteral("wma"),  QStringLiteral("aif"),
        QStringLiteral("aiff"), QStringLiteral("aifc"), QStringLiteral("au"),   QStringLiteral("snd"),
        QStringLiteral("caf"),  QStringLiteral("w64"),  QStringLiteral("mka"),  QStringLiteral("webm")};
    if (otherSoundFormats.contains(suffix)) {
        *error = QStringLiteral("%1: cannot write .%2 files; name the output .wav or .flac "
                                "(or - for WAV on standard output)")
                     .arg(outputPath, suffix);
        return std::nullopt;
    }
    return floatOutput ? Format::Float32 : Format::Pcm16;
}

std::optional<RenderRinging> readRingingForRender(const RenderOptions& options, QString* error) {
    const auto fail = [error](const QString& text) {
        if (error) {
            *error = text;
        }
        return std::nullopt;
    };
    const QString& path = options.ringingPath;
    // The program's reader: the same limits, the same kinds, the same decoding.
    const RingingFileLines lines = readRingingFileLines(path);
    if (!lines) {
        return fail(ringingFailureText(path, lines.failure));
    }
    const RingingKind kind = ringingKindOf(path, *lines.lines);
    if (kind != RingingKind::Body && !options.bells.isEmpty()) {
        return fail(
            QStringLiteral("--bells and --types are for a plain body; %1 holds its own ensemble").arg(path));
    }
    if (kind == RingingKind::Body && options.bells.isEmpty()) {
        return fail(
            QStringLiteral("%1 is a plain body: give its ensemble with --bells and --types").arg(path));
    }
    const RingingRead read = ringingDocumentFromLines(*lines.lines, kind);
    if (!read) {
        return fail(ringingFailureText(path, read.failure));
    }
    const RingingDocument& document = *read.document;
    RenderRinging ringing;
    if (kind == RingingKind::Body) {
        ringing.ensemble.applyText(options.bells, options.types);
        ringing.name = QFileInfo(path).completeBaseName();
    } else {
        ringing.ensemble.applyText(document.bells, document.types);
        ringing.name = document.name;
    }
    if (ringing.ensemble.selectedCount() < kMinimumBells) {
        return fail(QStringLiteral("the ensemble has %1 bells; a ringing needs at least %2")
                        .arg(ringing.ensemble.selectedCount())
                        .arg(kMinimumBells));
    }

    TChannels channels;
    const RingingLoadResult loaded =
        channels.loadRingingLines(TChannels::kCommonScore, document.body, kDefaultRenderIntervalMs);
    if (!loaded.loaded) {
        return fail(QStringLiteral("%1: no header line").arg(path));
    }
    ringing.columns = channels.common();
    // A header that names no interval plays at the program's tempo, as the
    // window plays it: --tempo, else the sequencer's own 144 ms.
    ringing.headerInterval = loaded.headerInterval.has_value();
    ringing.intervalMs =
        options.tempoMs.value_or(loaded.headerInterval ? loaded.interval : kDefaultRenderIntervalMs);
    return ringing;
}

QString renderLimitText(const RenderCheck& check, int maxMinutes) {
    const auto megabytes = [](std::int64_t bytes) { return QString::number((bytes + 999999) / 1000000); };
    switch (check.limit) {
    case RenderLimit::Fits:
        return {};
    case RenderLimit::TooLong:
        return QStringLiteral("the ringing lasts %1, longer than the maximum of %2 minutes; "
                              "raise it with --max-length")
            .arg(renderLengthText(check.size.ringingSeconds))
            .arg(maxMinutes);
    case RenderLimit::TooLargeForWav:
        return QStringLiteral("the output would need about %1 MB, more than a WAV file can hold (4 GB); "
                              "render a shorter ringing")
            .arg(megabytes(check.size.bytes));
    case RenderLimit::NoSpace:
        return QStringLiteral("the output needs about %1 MB, the disk has %2 MB free")
            .arg(megabytes(check.size.bytes), megabytes(check.freeBytes));
    }
    return {};
}
