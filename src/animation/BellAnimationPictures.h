#pragma once

#include "animation/BellAnimationState.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>

// The pictures of one view of the animation, read once at start-up from
// Animate/ (usual view) or BigAnimate/ (full view); strikes only choose
// among them.
struct AnimationPictures {
    // Frame f of set s in style st at frameIndex(s, f, st); a missing file
    // leaves a null pixmap.
    std::array<QPixmap, animation::kSetCount * animation::kFramesPerSet * animation::kStyleCount> frames;
    QPixmap chords;       // accord.bmp with "Игра аккордами", white transparent
    QPixmap animationOff; // disable.bmp with "Анимация отключена", white transparent

    static std::size_t frameIndex(int set, int frame, animation::FrameStyle style);
    const QPixmap& picture(const animation::ShownPicture& shown) const;
};

namespace animation {

inline const QString kChordsCaption = QStringLiteral("Игра аккордами");
inline const QString kAnimationOffCaption = QStringLiteral("Анимация отключена");
inline const QPoint kChordsCaptionAt(20, 26);
inline const QPoint kAnimationOffCaptionAt(10, 26);

// "s_0.bmp" for the general style, "ls_0.bmp" for the schematic one.
QString frameFileName(int set, int frame, FrameStyle style);

// Reads the 64 frames from `folder` (ending in '/').
void loadFrames(AnimationPictures& pictures, const QString& folder);

// The base font, made smaller when needed so that `text` written at
// `at` stays inside a picture `width` pixels wide (two pixels of margin).
QFont captionFont(const QFont& base, const QString& text, QPoint at, int width);

// The picture in `path` with `text` written at `at` (top-left of the text)
// in black, then white made transparent. A null image when the file is
// missing or unreadable: without a picture there is nothing to write on.
QImage captionedPicture(const QString& path, const QString& text, QPoint at, const QFont& base);

} // namespace animation
