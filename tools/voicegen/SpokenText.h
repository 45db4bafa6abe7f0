#pragma once

#include <QString>

// The text of a voice as the speech synthesizer reads it: SSML with one
// paragraph per blank-line-separated block of the source and a short pause
// after each, so that the listener hears where a thought ends. Lines starting
// with "#" are notes for the writer and are not spoken.
QString spokenSsml(const QString& source);
