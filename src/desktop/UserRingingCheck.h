#pragma once

#include <QByteArray>
#include <QString>

// Whether a file's bytes are a user ringing file: text without NUL bytes,
// a preamble of fifteen "0"/"1" (the selected bells), fifteen group letters
// ("n", "s", "m", "b") and a name, then a body of at least its header line.
// Opening anything else would replace the user's ensemble with garbage.
bool looksLikeUserRinging(const QByteArray& bytes);

// The message for a file that is not a user ringing file.
QString notARingingMessage(const QString& path);
