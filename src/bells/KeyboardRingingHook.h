#pragma once

#include <QObject>
#include <Qt>

#include <cstdint>

class BellsPanel;
class EventHook;
class KeyStrikeNotifier;
class KeyStrikes;
class QEvent;
class QWidget;

// Ringing the bells from the keyboard: an event filter on the application
// takes the key presses meant for the main window (or a dialog that rings
// bells), translates them to Windows virtual-key codes and moves, toggles
// and strikes the bells of the panel.
class KeyboardRingingHook : public QObject {
public:
    // window: the main window, whose keys (and whose group selectors) count.
    KeyboardRingingHook(BellsPanel& panel, QWidget* window, QObject* parent = nullptr);

    // Installing again only moves the hook to the front of the filters.
    void install();
    // The hook off, then the strikes still on their way waited for; they do
    // nothing by then.
    void removeHook();
    void releaseStrikes();

    // Keys act only while this is on (on after start-up; the recording
    // dialog turns it off while it is not recording).
    bool keyboardRinging() const { return m_keyboardRinging; }
    void setKeyboardRinging(bool on) { m_keyboardRinging = on; }

    // The keyboard handler, by Windows virtual-key code; true when the key
    // goes no further. eventTimestamp: the key event's own time (0: none).
    bool handleRingingKey(int virtualKey, bool autoRepeat, std::uint64_t eventTimestamp = 0);
    // Tells listeners (recorder, trainer) of each bell struck from the keyboard.
    KeyStrikeNotifier& keyStrikeNotifier(); // created on first use
    // Gives the input focus to the ringing selector of group 0 small,
    // 1 middle, 2 big (the control named "cbCustomSelection" + group), when
    // it exists and can take it.
    bool focusGroupSelector(int group);

private:
    bool hookEvent(QObject* watched, QEvent* event);
    // A key that only strikes (no arrow, Space, digit, Ctrl or Alt): all a
    // window that rings strikes only lets through.
    static bool strikeKeyOnly(int virtualKey, Qt::KeyboardModifiers modifiers);

    BellsPanel& m_panel;
    QWidget* m_window;
    bool m_keyboardRinging = false;
    EventHook* m_hook = nullptr;
    KeyStrikes* m_keyStrikes = nullptr;
    KeyStrikeNotifier* m_notifier = nullptr;
};
