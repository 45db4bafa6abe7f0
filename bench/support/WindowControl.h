#pragma once

#include <QObject>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A control of the main window by its object name (the window's controls
// are private). A bench cannot go on without it, so a missing one ends the
// bench with its name on stderr.
template <typename T> T* windowControl(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        std::fprintf(stderr, "no control named %s\n", name);
        std::exit(1);
    }
    return found;
}
