#pragma once

#include <QChar>
#include <QImage>

// The square pictures of the fifteen bells: a bell under a piece of beam
// (so that the bell strip reads as one beam), bell 0 the largest, with the
// key that strikes it on a small key cap. The not-selected picture is the
// same drawing, greyed and dimmed.
namespace bellpictures {

constexpr int kSide = 96;

// Lip diameter of bell i (0..14) in pixels.
qreal bellWidth(int bell);

QImage render(int bell, QChar key, bool selected);

// The greyed, dimmed version of a picture.
QImage dimmed(const QImage& image);

} // namespace bellpictures
