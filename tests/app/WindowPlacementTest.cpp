#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const QSize kMinimum(778, 574);
// A 1280 x 1024 screen with a panel of 30 pixels at the top, and a second
// screen of 1920 x 1080 to its right.
const QRect kLeftScreen(0, 30, 1280, 994);
const QRect kRightScreen(1280, 0, 1920, 1080);

struct Case {
    const char* what;
    QRect stored;
    QList<QRect> screens;
    QRect placed;
};

} // namespace

TEST(WindowPlacement, KeepsTheWindowOnTheAvailableScreens) {
    const QList<QRect> one{kLeftScreen};
    const QList<QRect> two{kLeftScreen, kRightScreen};
    const Case cases[] = {
        {"bounds on the screen stay as they are", QRect(100, 100, 800, 600), one, QRect(100, 100, 800, 600)},
        {"Left=3000 on a 1280-wide screen: moved back, size kept", QRect(3000, 100, 800, 600), one,
         QRect(480, 100, 800, 600)},
        {"far to the left and above: to the top left corner of the work area", QRect(-5000, -5000, 800, 600),
         one, QRect(0, 30, 800, 600)},
        {"Top=0 under a top panel: moved below it", QRect(0, 0, 1280, 994), one, QRect(0, 30, 1280, 994)},
        {"partly off the right edge: moved in", QRect(1000, 200, 800, 600), one, QRect(480, 200, 800, 600)},
        {"bigger than the screen: shrunk to it", QRect(50, 50, 4000, 3000), one, QRect(0, 30, 1280, 994)},
        {"never below the minimum, even on a small screen",
         QRect(0, 0, 800, 600),
         {QRect(0, 0, 640, 480)},
         QRect(0, 0, 778, 574)},
        {"on the second screen: stays there", QRect(2000, 100, 800, 600), two, QRect(2000, 100, 800, 600)},
        {"across both screens: onto the one that holds most of it", QRect(1000, 100, 800, 600), two,
         QRect(1280, 100, 800, 600)},
        {"beyond every screen: onto the nearest", QRect(9000, 500, 800, 600), two,
         QRect(2400, 480, 800, 600)},
        {"a screen that is gone: onto the one that is left", QRect(2000, 100, 800, 600), one,
         QRect(480, 100, 800, 600)},
        {"absurd values within the stored range", QRect(1048576, -1048576, 1048576, 1048576), one,
         QRect(0, 30, 1280, 994)},
        {"no screen at all: kept", QRect(3000, 100, 800, 600), {}, QRect(3000, 100, 800, 600)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(placeOnScreens(c.stored, c.screens, kMinimum), c.placed) << c.what;
    }
}
