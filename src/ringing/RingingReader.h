#pragma once

#include "ringing/RingingFiles.h"

#include <QString>
#include <QStringList>

#include <optional>

// The one reader of ringing documents, shared by the program and the
// renderer, and the limits that keep a hostile file from taking the machine.
//
// Limits. A ringing or list file holds at most kMaxRingingFileBytes bytes and
// its body at most kMaxRingingColumns columns (real ringings have a few
// thousand). Both are checked before the file is taken apart: the size before
// anything is read, the columns by counting the line ends and line-break
// symbols of the raw text before it is split or decoded.
inline constexpr qint64 kMaxRingingFileBytes = 4 * 1024 * 1024;
inline constexpr qint64 kMaxRingingColumns = 200000;

// How a file holds its ringing.
enum class RingingKind {
    Body, // a library or group ringing: header and columns only
    List, // a list ringing: Bells, Types, name, description, then the body
    User, // a user ringing file: Bells, Types, name, then the encoded body
};

// Why a file was not read.
struct RingingReadFailure {
    enum Reason {
        Unreadable,     // a read error, or no permission
        TooLarge,       // more than kMaxRingingFileBytes
        TooManyColumns, // more than kMaxRingingColumns
        NoPreamble,     // ends before its preamble lines or its header
        Missing,        // no such file
        NotAFile,       // a folder or another thing that is not a file
        NotText,        // holds NUL bytes: binary data, not a ringing
        NotARinging,    // its preamble is not an ensemble (Bells, Types lines)
        NoBells,        // its ensemble selects no bell
    };
    Reason reason = Unreadable;
    qint64 bytes = 0;   // TooLarge: the size found (at least the limit + 1)
    qint64 columns = 0; // TooManyColumns: the columns the file can hold
};

// The lines of a ringing or list file read whole, within the limits (a list
// of names is held to the byte limit and to kMaxRingingColumns lines). A
// missing file, a folder and a file holding NUL bytes are refused here, for
// every reader alike.
struct RingingFileLines {
    std::optional<QStringList> lines;
    RingingReadFailure failure; // when there are no lines
    explicit operator bool() const { return lines.has_value(); }
};
RingingFileLines readRingingFileLines(const QString& path);

// A document ready for the load: the preamble checked (fifteen "0"/"1" for
// the bells, at least one of them "1", fifteen group letters "n", "s", "m",
// "b", then a header line) and split off and, for a user
// ringing file, its body decoded once; the load (TChannels) decodes once
// more, so a user file's body is decoded twice and every other body once.
struct RingingRead {
    std::optional<RingingDocument> document;
    RingingReadFailure failure; // when there is no document
    explicit operator bool() const { return document.has_value(); }
};
RingingRead ringingDocumentFromLines(const QStringList& fileLines, RingingKind kind);
RingingRead readRingingDocument(const QString& path, RingingKind kind);

// The kind of a file as both programs take it: ".ukl" is a user ringing file;
// a file whose first two lines are a Bells and a Types line of fifteen
// characters is a list ringing (the library keeps plain bodies under the same
// ".kol" ending); anything else is a body.
RingingKind ringingKindOf(const QString& path, const QStringList& fileLines);

// The refusal as the program shows it (Russian) and as the renderer prints it;
// every path that reads a ringing (open, hand-over, chooser, the list of
// ringings, the renderer) says these.
QString ringingFailureMessage(const QString& path, const RingingReadFailure& failure);
QString ringingFailureText(const QString& path, const RingingReadFailure& failure);
