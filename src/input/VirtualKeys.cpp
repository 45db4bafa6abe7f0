#include "input/VirtualKeys.h"

#include <QChar>

#include <array>
#include <utility>

namespace VirtualKeys {
namespace {

// XKB keycodes are evdev codes + 8.
constexpr quint32 kEvdevOffset = 8;

// The numeric pad's digit keys by evdev code.
constexpr std::pair<quint32, int> kKeypadDigits[] = {
    {71, 7}, {72, 8}, {73, 9}, {75, 4}, {76, 5}, {77, 6}, {79, 1}, {80, 2}, {81, 3}, {82, 0},
};
constexpr quint32 kKeypadDecimal = 83;

// Every other key by evdev code (the standard PC keyboard).
constexpr auto kEvdevTable = [] {
    std::array<int, 128> t{};
    t[1] = kEscape;
    for (int d = 1; d <= 9; ++d) {
        t[1 + d] = kDigit0 + d;
    }
    t[11] = kDigit0;
    t[12] = kOemMinus;
    t[13] = kOemPlus;
    t[14] = kBackspace;
    t[15] = kTab;
    const char top[] = "QWERTYUIOP";
    for (int i = 0; i < 10; ++i) {
        t[16 + i] = top[i];
    }
    t[26] = kOemOpenBracket;
    t[27] = kOemCloseBracket;
    t[28] = kReturn;
    t[29] = kControl;
    const char home[] = "ASDFGHJKL";
    for (int i = 0; i < 9; ++i) {
        t[30 + i] = home[i];
    }
    t[39] = kOemSemicolon;
    t[40] = kOemQuote;
    t[41] = kOemTilde;
    t[42] = kShift;
    t[43] = kOemBackslash;
    const char bottom[] = "ZXCVBNM";
    for (int i = 0; i < 7; ++i) {
        t[44 + i] = bottom[i];
    }
    t[51] = kOemComma;
    t[52] = kOemPeriod;
    t[53] = kOemSlash;
    t[54] = kShift;
    t[55] = kMultiply;
    t[56] = kMenu;
    t[57] = kSpace;
    t[58] = kCapital;
    for (int f = 0; f < 10; ++f) {
        t[59 + f] = kF1 + f;
    }
    t[69] = kNumLock;
    t[70] = kScroll;
    t[74] = kSubtract;
    t[78] = kAdd;
    t[86] = kOem102;
    t[87] = kF1 + 10;
    t[88] = kF1 + 11;
    t[96] = kReturn;
    t[97] = kControl;
    t[98] = kDivide;
    t[99] = kSnapshot;
    t[100] = kMenu;
    t[102] = kHome;
    t[103] = kUp;
    t[104] = kPrior;
    t[105] = kLeft;
    t[106] = kRight;
    t[107] = kEnd;
    t[108] = kDown;
    t[109] = kNext;
    t[110] = kInsert;
    t[111] = kDelete;
    t[119] = kPause;
    return t;
}();

// The keys of the standard Russian layout, in the order of the Cyrillic
// capitals U+0410..U+042F, given by the code of the key they sit on.
constexpr int kRussianLayout[32] = {
    'F',
    kOemComma,
    'D',
    'U',
    'L',
    'T',
    kOemSemicolon,
    'P',
    'B',
    'Q',
    'R',
    'K',
    'V',
    'Y',
    'J',
    'G',
    'H',
    'C',
    'N',
    'E',
    'A',
    kOemOpenBracket,
    'W',
    'X',
    'I',
    'O',
    kOemCloseBracket,
    'S',
    'M',
    kOemQuote,
    kOemPeriod,
    'Z',
};
constexpr char16_t kCyrillicCapitalA = 0x0410;
constexpr char16_t kCyrillicCapitalIo = 0x0401;

int fromPunctuation(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return kOemSemicolon;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return kOemPlus;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return kOemComma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return kOemMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return kOemPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return kOemSlash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return kOemTilde;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return kOemOpenBracket;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return kOemBackslash;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return kOemCloseBracket;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return kOemQuote;
    // The shifted digits of the US layout.
    case Qt::Key_Exclam:
        return kDigit0 + 1;
    case Qt::Key_At:
        return kDigit0 + 2;
    case Qt::Key_NumberSign:
        return kDigit0 + 3;
    case Qt::Key_Dollar:
        return kDigit0 + 4;
    case Qt::Key_Percent:
        return kDigit0 + 5;
    case Qt::Key_AsciiCircum:
        return kDigit0 + 6;
    case Qt::Key_Ampersand:
        return kDigit0 + 7;
    case Qt::Key_Asterisk:
        return kDigit0 + 8;
    case Qt::Key_ParenLeft:
        return kDigit0 + 9;
    case Qt::Key_ParenRight:
        return kDigit0;
    default:
        return 0;
    }
}

int fromKeypadSymbol(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return kMultiply;
    case Qt::Key_Plus:
        return kAdd;
    case Qt::Key_Minus:
        return kSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return kDecimal;
    case Qt::Key_Slash:
        return kDivide;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        return kReturn;
    default:
        return 0;
    }
}

int fromFunctionKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Space:
        return kSpace;
    case Qt::Key_Escape:
        return kEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kTab;
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kReturn;
    case Qt::Key_Insert:
        return kInsert;
    case Qt::Key_Delete:
        return kDelete;
    case Qt::Key_Pause:
        return kPause;
    case Qt::Key_Print:
        return kSnapshot;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Home:
        return kHome;
    case Qt::Key_End:
        return kEnd;
    case Qt::Key_Left:
        return kLeft;
    case Qt::Key_Up:
        return kUp;
    case Qt::Key_Right:
        return kRight;
    case Qt::Key_Down:
        return kDown;
    case Qt::Key_PageUp:
        return kPrior;
    case Qt::Key_PageDown:
        return kNext;
    case Qt::Key_Shift:
        return kShift;
    case Qt::Key_Control:
        return kControl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return kMenu;
    case Qt::Key_Meta:
        return 91;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_CapsLock:
        return kCapital;
    case Qt::Key_NumLock:
        return kNumLock;
    case Qt::Key_ScrollLock:
        return kScroll;
    default:
        if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
            return kF1 + (qtKey - Qt::Key_F1);
        }
        return 0;
    }
}

} // namespace

int fromQtKey(int qtKey, bool keypad) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return (keypad ? kNumpad0 : kDigit0) + (qtKey - Qt::Key_0);
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return qtKey;
    }
    if (keypad) {
        if (const int code = fromKeypadSymbol(qtKey)) {
            return code;
        }
    }
    if (const int code = fromFunctionKey(qtKey)) {
        return code;
    }
    if (const int code = fromPunctuation(qtKey)) {
        return code;
    }
    if (qtKey > 0 && qtKey <= 0xFFFF) {
        const char16_t upper = QChar(static_cast<char16_t>(qtKey)).toUpper().unicode();
        if (upper >= kCyrillicCapitalA && upper < kCyrillicCapitalA + 32) {
            return kRussianLayout[upper - kCyrillicCapitalA];
        }
        if (upper == kCyrillicCapitalIo) {
            return kOemTilde;
        }
    }
    return 0;
}

int fromXkbKeycode(quint32 keycode, int qtKey) {
    if (keycode < kEvdevOffset) {
        return 0;
    }
    const quint32 evdev = keycode - kEvdevOffset;
    for (const auto& [code, digit] : kKeypadDigits) {
        if (code == evdev) {
            const bool numLockOn = qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9;
            return numLockOn ? kNumpad0 + digit : fromQtKey(qtKey, false);
        }
    }
    if (evdev == kKeypadDecimal) {
        const bool numLockOn = qtKey == Qt::Key_Period || qtKey == Qt::Key_Comma;
        return numLockOn ? kDecimal : fromQtKey(qtKey, false);
    }
    return evdev < kEvdevTable.size() ? kEvdevTable[evdev] : 0;
}

bool platformUsesXkbKeycodes(const QString& platformName) {
    return platformName == QLatin1String("xcb") || platformName.startsWith(QLatin1String("wayland"));
}

int translate(const QString& platformName, quint32 nativeScanCode, int qtKey, bool keypad) {
    if (platformUsesXkbKeycodes(platformName) && nativeScanCode != 0) {
        if (const int code = fromXkbKeycode(nativeScanCode, qtKey)) {
            return code;
        }
    }
    return fromQtKey(qtKey, keypad);
}

} // namespace VirtualKeys
