#pragma once

#include "FrameSets.h"

#include <QImage>

namespace frames {

// One animation frame: the set's bells under their beam, frame 0 at rest,
// frame f (1..bell count) with bell f struck. Frames past the set's bell
// count show the set at rest.
QImage renderFrame(const QString& setKey, int frame, Style style, QSize size);

} // namespace frames
