#pragma once

#include <QString>
#include <QStringList>

// Whether a file's lines, as the ringing reader gives them, are a user
// ringing file: text without NUL characters, a preamble of fifteen "0"/"1"
// (the selected bells), fifteen group letters ("n", "s", "m", "b") and a
// name, then a body of at least its header line, with a bell selected (the
// ringing reader's rule, RingingReader.h). Opening anything else would
// replace the user's ensemble with garbage. Taking the reader's lines keeps
// the check and the load agreeing on every file (a byte-order mark, say).
bool looksLikeUserRinging(const QStringList& fileLines);

// The message for a file that is not a user ringing file.
QString notARingingMessage(const QString& path);
