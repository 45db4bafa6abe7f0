#pragma once

#include <QColor>
#include <QFont>
#include <QSize>

class QPainter;

// Draws the welcome's part on staff `group` into the rectangle (0, 0, size)
// over the face colour: the sentence on the program on the small staff, what
// to do on the middle one; the big staff stays clear for the buttons. The
// text is set in `font`, enlarged where the staff has room and reduced where
// it has not, and wraps between words.
void paintScoreWelcome(QPainter& painter, int group, QSize size, const QColor& face, const QColor& ink,
                       const QFont& font);
