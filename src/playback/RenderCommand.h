#pragma once

#include "bells/Ensemble.h"
#include "playback/RenderLimits.h"
#include "playback/RingingRenderer.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command line of the offline renderer:
//   campanix-render <ringing file> <out.wav|out.flac|-> [--model 1|2|3] [--mono]
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
    // WAV (16-bit, or float with --float), or FLAC for a name ending ".flac".
    audio::OfflineRenderer::Format format = audio::OfflineRenderer::Format::Pcm16;
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
// The format a name asks for: FLAC for ".flac", WAV for ".wav", any other
// name, a device or "-"; nothing, with `error` set, for a sound format this
// renderer does not write (".mp3", ".ogg", ...) or float samples in FLAC.
std::optional<audio::OfflineRenderer::Format> renderFormatFor(const QString& outputPath, bool floatOutput,
                                                              QString* error);
QString renderUsage();

// A ringing ready to render: its ensemble with the groups as stored, the
// columns of its common score and the interval between them.
struct RenderRinging {
    Ensemble ensemble;
    QStringList columns;
    int intervalMs = 0;
    QString name;
    bool headerInterval = true; // false: the header named no interval
};

// The interval of a ringing whose header names none, as the window's
// sequencer starts.
inline constexpr int kDefaultRenderIntervalMs = 144;

// Reads the ringing named by the options: a user ringing file (".ukl", three
// preamble lines), a list ringing (".kol", four) or a plain body with the
// ensemble given by --bells and --types. The header's interval is used unless
// --tempo overrides it; a header that names none gives 144 ms, as in the
// window. Nothing, with `error` set, for whatever the program's reader
// refuses (see RingingReader.h), a body without a header line, or an
// ensemble of fewer than five bells.
std::optional<RenderRinging> readRingingForRender(const RenderOptions& options, QString* error);

// Why a render was refused before it started, for the command line; empty
// when it fits.
QString renderLimitText(const RenderCheck& check, int maxMinutes);
