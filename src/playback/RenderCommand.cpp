#include "playback/RenderCommand.h"

#include "base/Numbers.h"
#include "base/TextCodec.h"
#include "ringing/RingingFiles.h"
#include "ringing/TChannels.h"

#include <QFileInfo>
#include <QRegularExpression>

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
        "Usage: campanix-render <ringing file> <out.wav> [options]\n"
        "Renders a ringing (.ukl, .kol or a plain body) to a WAV file with every strike\n"
        "and the full ring-out of the last bells.\n"
        "\n"
        "  --model 1|2|3        sample set: model row 1, model row 2 or flat bells (default 1)\n"
        "  --mono               the mono samples instead of the stereo ones\n"
        "  --tempo <ms>         milliseconds per column (50..1000), instead of the file's header\n"
        "  --bells <15 x 0/1>   selected bells, for a plain body (bell 0 first)\n"
        "  --types <15 x nsmb>  group of each bell, for a plain body\n"
        "  --float              32-bit float samples instead of 16-bit\n"
        "  --data-dir <folder>  the installation holding Data/ and Sound/ (default: beside the program)\n"
        "\n"
        "Exit status: 0 done, 2 bad arguments, 1 any other failure.\n");
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
            argument == QStringLiteral("--data-dir");
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
    RenderArguments result;
    result.options = options;
    return result;
}

namespace {

// Whether the first two lines are an ensemble's Bells ("0"/"1") and Types
// ("n", "s", "m", "b") lines of fifteen characters each.
bool startsWithEnsemble(const QStringList& lines) {
    static const QRegularExpression bells(QStringLiteral("^[01]{15}$"));
    static const QRegularExpression types(QStringLiteral("^[nsmb]{15}$"));
    return lines.size() >= 2 && bells.match(lines[0]).hasMatch() && types.match(lines[1]).hasMatch();
}

} // namespace

std::optional<RenderRinging> readRingingForRender(const RenderOptions& options, QString* error) {
    const auto fail = [error](const QString& text) {
        if (error) {
            *error = text;
        }
        return std::nullopt;
    };
    const QString& path = options.ringingPath;
    if (!QFileInfo(path).isFile()) {
        return fail(QStringLiteral("%1: no such file").arg(path));
    }
    const std::optional<QStringList> lines = readTextLines(path);
    if (!lines) {
        return fail(QStringLiteral("%1: cannot be read").arg(path));
    }

    // A user ringing file always has its preamble. The library keeps plain
    // bodies under the same ".kol" ending as the list ringings, so a list
    // ringing's preamble is recognised by its content: a Bells and a Types line.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const int preamble = suffix == QStringLiteral("ukl") ? kUserRingingPreambleLines
                         : startsWithEnsemble(*lines)    ? kListRingingPreambleLines
                                                         : 0;
    RenderRinging ringing;
    QStringList body;
    if (preamble > 0) {
        if (!options.bells.isEmpty()) {
            return fail(QStringLiteral("--bells and --types are for a plain body; %1 holds its own ensemble")
                            .arg(path));
        }
        const std::optional<RingingDocument> document = parseRingingDocument(*lines, preamble);
        if (!document) {
            return fail(
                QStringLiteral("%1: the file ends before its %2 preamble lines").arg(path).arg(preamble));
        }
        ringing.ensemble.applyText(document->bells, document->types);
        ringing.name = document->name;
        body = document->body;
    } else {
        if (options.bells.isEmpty()) {
            return fail(
                QStringLiteral("%1 is a plain body: give its ensemble with --bells and --types").arg(path));
        }
        ringing.ensemble.applyText(options.bells, options.types);
        ringing.name = QFileInfo(path).completeBaseName();
        body = *lines;
    }
    if (ringing.ensemble.selectedCount() < kMinimumBells) {
        return fail(QStringLiteral("the ensemble has %1 bells; a ringing needs at least %2")
                        .arg(ringing.ensemble.selectedCount())
                        .arg(kMinimumBells));
    }

    TChannels channels;
    const RingingLoadResult loaded = channels.loadRingingLines(TChannels::kCommonScore, body, 0);
    if (!loaded.loaded || !loaded.headerInterval) {
        return fail(QStringLiteral("%1: no header line with the interval between columns").arg(path));
    }
    ringing.columns = channels.common();
    ringing.intervalMs = options.tempoMs.value_or(loaded.interval);
    return ringing;
}
