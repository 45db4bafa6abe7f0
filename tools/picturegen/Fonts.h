#pragma once

#include <QFont>

// The fonts of every picture come from fixed files, so that two builds draw
// the same pixels whatever fonts the system would choose by name.
namespace fonts {

// Registers the font files; returns false (and the pictures fall back to the
// system's fonts) when one of them is missing. Needs a QGuiApplication.
bool load();

QFont sans(qreal pixelSize, bool bold = false);
QFont serif(qreal pixelSize, bool bold = false);

} // namespace fonts
