#pragma once

#include <QImage>
#include <QRect>

// The pictures behind the captions "Игра аккордами" (a group played in
// chords) and "Анимация отключена" (animation switched off). The program
// writes the caption at (20, 26) or (10, 26) with its default font and shows
// the picture with white as the transparent colour, so the picture is white
// wherever the caption may fall and pure white wherever it should vanish.
namespace captions {

enum class Kind { Chords, AnimationOff };

// The part of a picture of the given size that stays pure white for the caption.
QRect captionBand(QSize size);

QImage render(Kind kind, QSize size);

} // namespace captions
