#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>
#include <QWindow>

// QtGui's own entry for test key events: the event goes the way the window
// system's does, shortcuts first, then the window and the application's
// event filters.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key,
                                    Qt::KeyboardModifiers modifiers, const QString& text = QString(),
                                    bool autoRepeat = false, ushort count = 1);

// A key pressed and released on a shown window, as a user types it.
inline void typeKey(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWindow* handle = window.windowHandle();
    qt_handleKeyEvent(handle, QEvent::KeyPress, key, modifiers);
    qt_handleKeyEvent(handle, QEvent::KeyRelease, key, modifiers);
}

// Shows the window and makes it the active one, as keys need.
inline void activate(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
}
