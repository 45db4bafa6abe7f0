#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace generator {

// The letter on the key cap of a bell: its key code when that is a letter key.
QChar keyLetter(const QString& catalogueLine);

// Writes the catalogue and every picture below outDir (Data/, Images/,
// Animate/, BigAnimate/). Returns what went wrong; empty on success.
QStringList generateAll(const QString& catalogueSource, const QString& outDir, int* filesWritten);

// Writes the contact sheet of every bell picture, frame and window picture.
QStringList writeContactSheet(const QString& catalogueSource, const QString& pngPath);

} // namespace generator
