#include "bells/KeyboardRingingHook.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRinging.h"
#include "input/EventHook.h"
#include "input/KeyStrikeNotifier.h"
#include "input/KeyboardFocusGate.h"
#include "input/TKeyStream.h"
#include "input/VirtualKeys.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

KeyboardRingingHook::KeyboardRingingHook(BellsPanel& panel, QWidget* window, QObject* parent)
    : QObject(parent), m_panel(panel), m_window(window) {}

void KeyboardRingingHook::install() {
    if (!m_hook) {
        m_hook = new EventHook([this](QObject* watched, QEvent* event) { return hookEvent(watched, event); },
                               this);
    }
    if (!m_keyStrikes) {
        m_keyStrikes = new KeyStrikes(this);
    }
    // Installing again only moves it to the front of the filters.
    qApp->installEventFilter(m_hook);
}

void KeyboardRingingHook::removeHook() {
    if (m_hook) {
        qApp->removeEventFilter(m_hook);
    }
}

void KeyboardRingingHook::releaseStrikes() {
    // Waits for the keyboard strikes still on their way; they do nothing now.
    delete m_keyStrikes;
    m_keyStrikes = nullptr;
}

bool KeyboardRingingHook::hookEvent(QObject* watched, QEvent* event) {
    // A key press reaches its window first and is then passed on to widgets;
    // taking it at the window sees each press exactly once.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType()) {
        return false;
    }
    // Keys typed into dialogs, menus and text fields belong to them.
    if (!keyboardRingingMayAct(m_window, watched)) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    // Ctrl+Z with nothing to undo is no strike of bell Z.
    if (!KeyboardRinging::ringsWith(key->modifiers())) {
        return false;
    }
    const int virtualKey = VirtualKeys::translate(QGuiApplication::platformName(), key->nativeScanCode(),
                                                  key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
    if (keyboardRingsStrikesOnly() && !strikeKeyOnly(virtualKey, key->modifiers())) {
        return false;
    }
    bool consumed = false;
    guarded(lcBells, "ringing key",
            [&] { consumed = handleRingingKey(virtualKey, key->isAutoRepeat(), key->timestamp()); });
    return consumed;
}

bool KeyboardRingingHook::strikeKeyOnly(int virtualKey, Qt::KeyboardModifiers modifiers) {
    const KeyboardRinging::KeyRole role = KeyboardRinging::roleOf(virtualKey);
    return role.step == 0 && !role.toggleCurrent && role.focusGroup < 0 &&
           !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool KeyboardRingingHook::handleRingingKey(int virtualKey, bool autoRepeat, std::uint64_t eventTimestamp) {
    if (!m_keyboardRinging || virtualKey == 0) {
        return false;
    }
    const KeyboardRinging::KeyRole role = KeyboardRinging::roleOf(virtualKey);
    if (role.step != 0) {
        m_panel.setCurrentBell(KeyboardRinging::steppedBell(m_panel.currentBell(), role.step));
        m_panel.ShowBellInfo();
    }
    // A held key repeats only the arrows: a repeated strike or toggle would
    // pile up voices faster than bells can ring out.
    if (autoRepeat) {
        return role.consumed;
    }
    if (role.toggleCurrent) {
        m_panel.ToggleBell(m_panel.currentBell());
    }
    if (role.focusGroup >= 0) {
        focusGroupSelector(role.focusGroup);
    }
    const TBellData* catalogue = m_panel.bellData();
    const int bell = catalogue ? KeyboardRinging::bellForKey(*catalogue, m_panel.ensemble(), virtualKey) : -1;
    if (bell >= 0 && m_panel.pickBell(bell)) {
        return true;
    }
    if (bell >= 0) {
        m_panel.setCurrentBell(bell);
        // Listeners (the recorder) hear of the strike before it sounds.
        keyStrikeNotifier().notifyStrike(bell, eventTimestamp);
        if (m_keyStrikes) {
            // The strike runs on this thread later, for the bell current then.
            m_keyStrikes->start([this] {
                guarded(lcBells, "keyboard strike", [this] {
                    m_panel.strikeCurrentBell();
                    m_panel.ShowBellInfo();
                });
            });
        }
    }
    return role.consumed;
}

KeyStrikeNotifier& KeyboardRingingHook::keyStrikeNotifier() {
    if (!m_notifier) {
        m_notifier = new KeyStrikeNotifier(this);
    }
    return *m_notifier;
}

bool KeyboardRingingHook::focusGroupSelector(int group) {
    auto* selector =
        m_window->findChild<QWidget*>(QStringLiteral("cbCustomSelection") + QString::number(group));
    if (!selector || !selector->isVisible() || !selector->isEnabled()) {
        return false;
    }
    selector->setFocus(Qt::ShortcutFocusReason);
    return true;
}
