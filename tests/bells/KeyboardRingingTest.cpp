#include "bells/KeyboardRinging.h"
#include "bells/TBellData.h"
#include "input/VirtualKeys.h"
#include "support/TestProgram.h"

#include <gtest/gtest.h>

using namespace VirtualKeys;

namespace {

constexpr quint32 xkb(quint32 evdev) {
    return evdev + 8;
}

} // namespace

// Keys by physical position on X11/Wayland, whatever the layout makes of them.
TEST(VirtualKeys, XkbKeycodesGivePhysicalKeys) {
    struct Case {
        quint32 evdev;
        int qtKey;
        int expected;
    };
    const Case cases[] = {
        {30, Qt::Key_A, 65},           // A under a Latin layout
        {30, 0x0424, 65},              // the same key under a Russian layout (Ф)
        {16, 0x0419, 'Q'},             // Й is on Q
        {44, Qt::Key_Z, 'Z'},          // bottom row start
        {50, 0x042C, 'M'},             // Ь is on M
        {11, Qt::Key_0, 48},           // digit row 0 is evdev 11, not 1 + 10
        {2, Qt::Key_Exclam, 49},       // shifted 1 is still the "1" key
        {57, Qt::Key_Space, kSpace},   // space
        {105, Qt::Key_Left, kLeft},    // arrows
        {106, Qt::Key_Right, kRight},  //
        {103, Qt::Key_Up, kUp},        //
        {108, Qt::Key_Down, kDown},    //
        {59, Qt::Key_F1, 112},         // F1..F10 are contiguous
        {68, Qt::Key_F10, 121},        //
        {87, Qt::Key_F11, 122},        // F11 and F12 are not next to F10
        {88, Qt::Key_F12, 123},        //
        {39, 0x0416, kOemSemicolon},   // Ж sits on ";"
        {79, Qt::Key_1, 97},           // numeric pad 1 with Num Lock on
        {79, Qt::Key_End, kEnd},       // numeric pad 1 with Num Lock off
        {82, Qt::Key_0, 96},           // numeric pad 0
        {73, Qt::Key_9, 105},          // numeric pad 9
        {83, Qt::Key_Comma, kDecimal}, // decimal key, Russian separator
        {83, Qt::Key_Delete, kDelete}, // decimal key, Num Lock off
        {98, Qt::Key_Slash, kDivide},  // pad divide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.evdev);
        EXPECT_EQ(fromXkbKeycode(xkb(c.evdev), c.qtKey), c.expected);
        EXPECT_EQ(translate(QStringLiteral("xcb"), xkb(c.evdev), c.qtKey, false), c.expected);
        EXPECT_EQ(translate(QStringLiteral("wayland"), xkb(c.evdev), c.qtKey, false), c.expected);
    }
    // An unknown keycode falls back to the Qt key.
    EXPECT_EQ(translate(QStringLiteral("xcb"), xkb(250), Qt::Key_B, false), 'B');
    EXPECT_EQ(translate(QStringLiteral("xcb"), 0, Qt::Key_B, false), 'B');
}

// Without keycodes (offscreen, other platforms) the Qt key decides; Cyrillic letters sit on their
// Russian-layout keys.
TEST(VirtualKeys, QtKeyFallback) {
    EXPECT_FALSE(platformUsesXkbKeycodes(QStringLiteral("offscreen")));
    EXPECT_TRUE(platformUsesXkbKeycodes(QStringLiteral("wayland-egl")));
    // The scan code of an offscreen event means nothing.
    EXPECT_EQ(translate(QStringLiteral("offscreen"), xkb(30), Qt::Key_B, false), 'B');
    struct Case {
        int qtKey;
        bool keypad;
        int expected;
    };
    const Case cases[] = {
        {Qt::Key_A, false, 65},          {Qt::Key_Z, false, 90},     {Qt::Key_5, false, 53},
        {Qt::Key_5, true, 101},          {Qt::Key_Space, false, 32}, {Qt::Key_Left, false, 37},
        {Qt::Key_Right, false, 39},      {Qt::Key_F5, false, 116},   {Qt::Key_Plus, true, kAdd},
        {Qt::Key_Plus, false, kOemPlus}, {0x0424, false, 'A'},       {0x0444, false, 'A'}, // ф lower case
        {0x0401, false, kOemTilde},      {0x042F, false, 'Z'},       {0x0411, false, kOemComma},
        {Qt::Key_unknown, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.qtKey);
        EXPECT_EQ(fromQtKey(c.qtKey, c.keypad), c.expected);
    }
}

// Space, the arrows and "1".."3" (top row and numeric pad) have their own roles.
TEST(KeyboardRinging, KeyRoles) {
    using KeyboardRinging::roleOf;
    EXPECT_TRUE(roleOf(kSpace).toggleCurrent);
    EXPECT_TRUE(roleOf(kSpace).consumed);
    EXPECT_EQ(roleOf(kLeft).step, -1);
    EXPECT_EQ(roleOf(kRight).step, 1);
    EXPECT_TRUE(roleOf(kLeft).consumed);
    EXPECT_EQ(roleOf(kUp).step, 0); // up and down do nothing of their own
    EXPECT_EQ(roleOf(49).focusGroup, 0);
    EXPECT_EQ(roleOf(98).focusGroup, 1);
    EXPECT_EQ(roleOf(51).focusGroup, 2);
    EXPECT_FALSE(roleOf(51).consumed); // the selector gets the key too
    EXPECT_EQ(roleOf(52).focusGroup, -1);
    // Arrows stop at the ends.
    EXPECT_EQ(KeyboardRinging::steppedBell(0, -1), 0);
    EXPECT_EQ(KeyboardRinging::steppedBell(14, 1), 14);
    EXPECT_EQ(KeyboardRinging::steppedBell(7, -1), 6);
}

// The key scan: the lowest selected bell with the code; a field 7 that is not a number ends the scan.
TEST(KeyboardRinging, KeyScan) {
    TempProgram program;
    QStringList lines = TempProgram::catalogueLines();
    lines[2].replace(QStringLiteral(";67;"), QStringLiteral(";70;")); // bells 2 and 5 share key 70
    lines[9].replace(QStringLiteral(";74;"), QStringLiteral(";J;"));  // bell 9 has no number
    program.writeCatalogue(lines);
    RequiredFileCheck check([](const QString&) {});
    TBellData data(program.cataloguePath(), check);
    Ensemble e;
    e.setSelected(5, true);
    e.setSelected(12, true);
    EXPECT_EQ(KeyboardRinging::bellForKey(data, e, 70), 5); // bell 2 not selected
    e.setSelected(2, true);
    EXPECT_EQ(KeyboardRinging::bellForKey(data, e, 70), 2);  // lowest selected wins
    EXPECT_EQ(KeyboardRinging::bellForKey(data, e, 65), -1); // bell 0 not selected
    EXPECT_EQ(KeyboardRinging::bellForKey(data, e, 77), -1); // bell 12 lies past the broken field
    EXPECT_EQ(KeyboardRinging::bellForKey(data, e, 999), -1);
}

// Strike tokens: big counts from bell 0 up, small and middle from bell 14 down, the bell itself included.
TEST(KeyboardRinging, StrikeTokens) {
    Ensemble e;
    e.applyText(QStringLiteral("101000000001111"), QStringLiteral("bnbnnnnnnnnsmss"));
    EXPECT_EQ(KeyboardRinging::strikeToken(e, 0), QStringLiteral("b1"));
    EXPECT_EQ(KeyboardRinging::strikeToken(e, 2), QStringLiteral("b2"));
    EXPECT_EQ(KeyboardRinging::strikeToken(e, 14), QStringLiteral("s1"));
    EXPECT_EQ(KeyboardRinging::strikeToken(e, 13), QStringLiteral("s2"));
    EXPECT_EQ(KeyboardRinging::strikeToken(e, 11), QStringLiteral("s3"));
    EXPECT_EQ(KeyboardRinging::strikeToken(e, 12), QStringLiteral("m1"));
    EXPECT_EQ(KeyboardRinging::strikeToken(e, 1), QString()); // not selected
    using KeyboardRinging::appendToColumn;
    EXPECT_EQ(appendToColumn(QString(), QStringLiteral("s1")), QStringLiteral("s1"));
    EXPECT_EQ(appendToColumn(QStringLiteral("s1"), QStringLiteral("s1")), QStringLiteral("s1,s1"));
    EXPECT_EQ(appendToColumn(QStringLiteral("s1"), QString()), QStringLiteral("s1"));
}
