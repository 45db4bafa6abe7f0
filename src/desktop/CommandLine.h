#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line names a user ringing file when its arguments, joined in
// order with one blank between them, are the name of an existing file: a
// path with blanks that reached the program split into several arguments is
// put back together. A name ending in ".ukl" that names no file, and a
// folder, are given too, so that opening them says what is wrong (unless the
// first argument is the export mode's "html"). Anything else names nothing
// and is ignored. A name may carry bytes that are not UTF-8 (see
// LocalFileName.h).
std::optional<QString> fileNamedByArguments(const QStringList& arguments);

// The arguments, with a file they name relative to `workingDir` given as
// one absolute path instead: start-up makes the program's folder current,
// and a running copy that is handed the name works in another folder.
// Arguments that name no file are returned unchanged.
QStringList argumentsWithAbsoluteFile(const QStringList& arguments, const QString& workingDir);
