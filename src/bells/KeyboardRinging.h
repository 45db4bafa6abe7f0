#pragma once

#include "bells/Ensemble.h"

#include <QString>

class TBellData;

// The rules of ringing bells from the keyboard, apart from any window.
namespace KeyboardRinging {

// What the keys with a fixed role do, by virtual-key code.
struct KeyRole {
    bool toggleCurrent = false; // Space
    int step = 0;               // -1 left arrow, +1 right arrow
    int focusGroup = -1;        // "1"/"2"/"3" and numeric pad 1-3: small 0, middle 1, big 2
    // The press goes no further than the ringing keys (Space and arrows).
    bool consumed = false;
};
KeyRole roleOf(int virtualKey);

// Whether a key pressed with these modifiers may ring: Ctrl, Alt, AltGr and
// the Meta key make any key a command (a shortcut, or nothing at all), so
// with one of them held no key strikes, toggles or moves a bell. Shift and
// the numeric pad's flag leave the key a ringing key.
bool ringsWith(Qt::KeyboardModifiers modifiers);

// The current bell after an arrow step (kept at the ends).
int steppedBell(int currentBell, int step);

// The bell struck by a key: scanning bells 0..14, the first selected bell
// whose key (field 7) equals virtualKey. The scan ends without a bell at a
// field 7 that is not a whole number. -1 when no bell is struck.
int bellForKey(const TBellData& catalogue, const Ensemble& ensemble, int virtualKey);

// The strike token of a selected bell, the inverse of the mapping from
// tokens to bells: its group letter and its position, counted among the
// selected bells of its group from bell 0 upward for the big group and from
// bell 14 downward for the small and middle groups, the bell itself
// included. "" for a bell without a group.
QString strikeToken(const Ensemble& ensemble, int bell);

// The pending column of a recording after one more strike token.
QString appendToColumn(const QString& column, const QString& token);

} // namespace KeyboardRinging
