#pragma once

#include "bells/Ensemble.h"
#include "playback/RenderLimits.h"
#include "playback/RingingRenderer.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command line of the offline renderer:
//   campanix-render <ringing file> <out.wav> [--model 1|2|3] [--mono]
//       [--tempo <ms>] [--bells <15 x 0/1> --types <15 x n/s/m/b>]
//       [--float] [--data-dir <folder>] [--max-length <minutes>]
//       [--strike-list <file>] [--belfry <name>]
struct RenderOptions {
    QString ringingPath;
    QString outputPath;
    int model = 1;
    bool mono = false;
    std::optional<int> tempoMs;
    QString bells; // for a plain body
    QString types;
    bool floatOutput = false;
    QString dataDir; // empty: the executable's folder
    int maxMinutes = kDefaultMaxRenderMinutes;
    // Where to write the strikes as text (frame, tab, sample file, one strike
    // a line), for comparing renders with other synthesizers; empty: none.
    QString strikeListPath;
    QString belfry; // one's own belfry instead of the model row; empty: none
};

struct RenderArguments {
    std::optional<RenderOptions> options; // empty on an error or for --help
    bool help = false;
    QString error; // what was wrong with the arguments
};

// Exit codes of the renderer.
inline constexpr int kRenderOk = 0;
inline constexpr int kRenderFailed = 1;
inline constexpr int kRenderBadArguments = 2;
// Stopped by a signal: 128 + its number, as a shell reports it.
inline constexpr int kRenderSignalBase = 128;

RenderArguments parseRenderArguments(const QStringList& arguments);
QString renderUsage();

// A ringing ready to render: its ensemble with the groups as stored, the
// columns of its common score and the interval between them.
struct RenderRinging {
    Ensemble ensemble;
    QStringList columns;
    int intervalMs = 0;
    QString name;
};

// Reads the ringing named by the options: a user ringing file (".ukl", three
// preamble lines), a list ringing (".kol", four) or a plain body with the
// ensemble given by --bells and --types. The header's interval is used unless
// --tempo overrides it. Nothing, with `error` set, for a missing or
// unreadable file, a file without its preamble or header, or an ensemble of
// fewer than five bells.
std::optional<RenderRinging> readRingingForRender(const RenderOptions& options, QString* error);

// Why a render was refused before it started, for the command line; empty
// when it fits.
QString renderLimitText(const RenderCheck& check, int maxMinutes);
