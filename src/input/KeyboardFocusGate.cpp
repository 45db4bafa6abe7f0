#include "input/KeyboardFocusGate.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace {

// A control that needs typed characters, Space or the arrows for itself.
bool takesTypedKeys(const QWidget* focus) {
    if (!focus) {
        return false;
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(focus)) {
        return !edit->isReadOnly();
    }
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(focus)) {
        return !spin->isReadOnly();
    }
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(focus)) {
        return !text->isReadOnly();
    }
    if (const auto* text = qobject_cast<const QTextEdit*>(focus)) {
        return !text->isReadOnly();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(focus)) {
        return combo->isEditable();
    }
    // The editor of a list's cell is a line edit or spin box that takes the
    // focus itself, and is caught above.
    return qobject_cast<const QMenuBar*>(focus) != nullptr;
}

} // namespace

bool keyboardRingingMayAct(const QWidget* mainWindow, const QObject* watched) {
    if (!mainWindow || !watched) {
        return false;
    }
    const auto ringsBells = [mainWindow](const QWidget* window) {
        return window && (window == mainWindow || window->property(kRingsBellsProperty).toBool() ||
                          window->property(kRingsBellStrikesProperty).toBool());
    };
    const QWidget* active = QApplication::activeWindow();
    if (!ringsBells(active) || watched != active->windowHandle()) {
        return false;
    }
    if (QApplication::activePopupWidget()) {
        return false;
    }
    // A modal dialog of its own (a file chooser, a message) takes the keys,
    // unless it is one that rings the bells itself.
    if (const QWidget* modal = QApplication::activeModalWidget(); modal && !ringsBells(modal)) {
        return false;
    }
    return !takesTypedKeys(QApplication::focusWidget());
}

bool keyboardRingsStrikesOnly() {
    const QWidget* active = QApplication::activeWindow();
    return active && active->property(kRingsBellStrikesProperty).toBool();
}
