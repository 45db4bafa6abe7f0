#pragma once

#include "output/OutputHost.h"

// Keys typed into a dialog of ours are text, not strikes: while one is open
// the keyboard does not ring bells, toggle them with Space or move the mark
// with the arrows. The earlier state comes back when the dialog closes.
class KeyboardRingingPause {
public:
    explicit KeyboardRingingPause(OutputHost& host) : m_host(host), m_was(host.keyboardRinging()) {
        m_host.setKeyboardRinging(false);
    }
    ~KeyboardRingingPause() { m_host.setKeyboardRinging(m_was); }
    KeyboardRingingPause(const KeyboardRingingPause&) = delete;
    KeyboardRingingPause& operator=(const KeyboardRingingPause&) = delete;

private:
    OutputHost& m_host;
    bool m_was;
};
