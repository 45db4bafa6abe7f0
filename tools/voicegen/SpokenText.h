#pragma once

#include <QString>
#include <QStringList>

// The paragraphs a voice speaks: blank lines part them, the lines of one
// paragraph join, and lines starting with "#" are notes for the writer that
// are not spoken.
QStringList spokenParagraphs(const QString& source);

// The text of a voice as the speech synthesizer reads it: SSML with one
// paragraph per blank-line-separated block of the source and a short pause
// after each, so that the listener hears where a thought ends. The words of
// the correction table (Pronunciation.h) are given as their phonemes.
QString spokenSsml(const QString& source);
