#pragma once

#include <QString>
#include <Qt>

// Translation of key presses to the Windows virtual-key codes that the bell
// catalogue stores (letters 65-90 by their upper-case ASCII code, digits
// 48-57, numeric pad 96-105, space 32, arrows 37-40, F1-F12 112-123, ...).
//
// A key is identified by its physical position wherever the platform tells
// it (X11 and Wayland: the XKB keycode, i.e. the evdev code + 8), so the
// same key rings the same bell whatever keyboard layout is active: the key
// labelled "A"/"Ф" is 65 under an English and a Russian layout alike.
// Elsewhere the Qt key is used; Cyrillic letters are then placed at their
// keys of the standard Russian layout.
namespace VirtualKeys {

enum : int {
    kBackspace = 8,
    kTab = 9,
    kReturn = 13,
    kShift = 16,
    kControl = 17,
    kMenu = 18,
    kPause = 19,
    kCapital = 20,
    kEscape = 27,
    kSpace = 32,
    kPrior = 33,
    kNext = 34,
    kEnd = 35,
    kHome = 36,
    kLeft = 37,
    kUp = 38,
    kRight = 39,
    kDown = 40,
    kSnapshot = 44,
    kInsert = 45,
    kDelete = 46,
    kDigit0 = 48,
    kLetterA = 65,
    kNumpad0 = 96,
    kMultiply = 106,
    kAdd = 107,
    kSubtract = 109,
    kDecimal = 110,
    kDivide = 111,
    kF1 = 112,
    kNumLock = 144,
    kScroll = 145,
    kOemSemicolon = 186,
    kOemPlus = 187,
    kOemComma = 188,
    kOemMinus = 189,
    kOemPeriod = 190,
    kOemSlash = 191,
    kOemTilde = 192,
    kOemOpenBracket = 219,
    kOemBackslash = 220,
    kOemCloseBracket = 221,
    kOemQuote = 222,
    kOem102 = 226,
};

// The code of an XKB keycode (evdev code + 8); 0 when the key has none.
// The keys of the numeric pad give their digit codes only when qtKey is a
// digit (Num Lock on), otherwise the code of what they produce (Home, ...).
int fromXkbKeycode(quint32 keycode, int qtKey);

// The code of a Qt key; keypad marks a key of the numeric pad. 0 when the
// key has none.
int fromQtKey(int qtKey, bool keypad);

// Whether the platform's native scan codes are XKB keycodes.
bool platformUsesXkbKeycodes(const QString& platformName);

// The code of one key press: by physical key on X11 and Wayland, falling
// back to the Qt key where the keycode is unknown or the platform has none.
int translate(const QString& platformName, quint32 nativeScanCode, int qtKey, bool keypad);

} // namespace VirtualKeys
