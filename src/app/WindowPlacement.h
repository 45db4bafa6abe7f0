#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Keeps the main window where the user can reach it. Stored bounds come
// from campanix.ini and may name a screen that is gone, a resolution that
// changed, or plain nonsense (Left=3000 on a 1280-wide screen).
//
// Bounds that lie whole on one of the available screens stay as they are.
// Otherwise the window goes to the screen that holds most of it (the one
// nearest to it when none does), keeps its size where that fits, shrinks to
// the screen where it does not (never below the minimum size), and is moved
// just far enough to lie on that screen. Without any screen the bounds are
// kept. The same rule is applied before bounds are saved, so the file never
// receives values outside the screens' range.
QRect placeOnScreens(const QRect& bounds, const QList<QRect>& availableScreens, const QSize& minimumSize);
