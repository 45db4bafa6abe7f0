#pragma once

#include "app/TfrmMain.h"

// Keys typed into a dialog of ours are text, not strikes: while one is open
// the keyboard does not ring bells, toggle them with Space or move the mark
// with the arrows. The earlier state comes back when the dialog closes.
class KeyboardRingingPause {
public:
    explicit KeyboardRingingPause(TfrmMain& window) : m_window(window), m_was(window.m_keyboardRinging) {
        m_window.m_keyboardRinging = false;
    }
    ~KeyboardRingingPause() { m_window.m_keyboardRinging = m_was; }
    KeyboardRingingPause(const KeyboardRingingPause&) = delete;
    KeyboardRingingPause& operator=(const KeyboardRingingPause&) = delete;

private:
    TfrmMain& m_window;
    bool m_was;
};
