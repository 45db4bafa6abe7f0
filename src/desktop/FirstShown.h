#pragma once

#include <functional>

class QWidget;

// Runs `action` once, on the main thread, as soon as `window` has been
// painted for the first time (the user sees it), or after `fallbackMs` when
// no painting comes (a platform that paints nothing). Work that the first
// window need not wait for starts here.
void whenFirstShown(QWidget& window, std::function<void()> action, int fallbackMs = 3000);
