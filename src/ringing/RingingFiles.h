#pragma once

#include "bells/Ensemble.h"
#include "ringing/RingingText.h"

#include <QString>
#include <QStringList>

#include <optional>

// Ringing files that carry their own ensemble: user ringing files (".ukl",
// three preamble lines) and list ringings ("Custom/<name>.kol", four). The
// preamble is plain text and never passes through the symbol substitution.
struct RingingDocument {
    QString bells;       // "1"/"0" per bell 0..14
    QString types;       // group letter per bell ("n", "s", "m", "b")
    QString name;        // the ringing's name
    QString description; // list ringings only
    QStringList body;    // header line, then one line per column, as stored
};

inline constexpr int kUserRingingPreambleLines = 3;
inline constexpr int kListRingingPreambleLines = 4;

// Splits a file's lines into its preamble and its body; nothing when the file
// is shorter than its preamble.
std::optional<RingingDocument> parseRingingDocument(const QStringList& fileLines, int preambleLines);

// The path a user ringing file is written to: ".ukl" is appended unless the
// path already ends in exactly ".ukl" (so "A.UKL" becomes "A.UKL.ukl").
QString userRingingPath(const QString& path);

// The four lines of a user ringing file: Bells, Types, the name and the
// encoded body, one line.
QStringList userRingingFileLines(const Ensemble& ensemble, const QString& name, const QStringList& body,
                                 SymbolChoice symbols);

struct RingingWriteResult {
    bool ok = false;
    QString path;  // the file written (or that would have been)
    QString error; // why nothing was written
    explicit operator bool() const { return ok; }
};

// Writes a user ringing file, replacing any file of that name. The file is
// written whole or not at all: a failure at any point leaves an existing file
// untouched and is returned. A name holding a line break, or a body that the
// substitution could not carry back unchanged, is refused before anything is
// written. The symbols are drawn afresh from the clock for every save.
RingingWriteResult writeUserRingingFile(const QString& path, const Ensemble& ensemble, const QString& name,
                                        const QStringList& body);
RingingWriteResult writeUserRingingFile(const QString& path, const Ensemble& ensemble, const QString& name,
                                        const QStringList& body, SymbolChoice symbols);
