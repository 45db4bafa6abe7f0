#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The words the Russian voice of espeak-ng says wrongly, and how they are
// spoken instead. The voice texts write such a word in the form given here:
// with the stress mark (U+0301) after its stressed vowel, which also tells
// apart words spelt alike (колокола́, the bells; ко́локола, of the bell).
// When the voices are made each written form is replaced by its phonemes in
// espeak-ng's notation, which the synthesizer reads between "[[" and "]]".
struct Pronunciation {
    QString plain;    // the word as usually written, lower case
    QString written;  // the form the voice texts use, lower case
    QString phonemes; // espeak-ng's Russian phonemes, "'" before the stressed vowel
};

// The correction table.
const std::vector<Pronunciation>& pronunciations();

// The text as the synthesizer gets it: every written form of the table
// replaced by its phonemes (in any letter case), the preposition «к» spoken
// as the sound it is rather than the letter's name, and the stress marks of
// other words left out.
QString applyPronunciations(const QString& text);

// The words of `text` that the table corrects but that are written in their
// plain form, without the correction (each as it stands in the text, once).
QStringList uncorrectedWords(const QString& text);
