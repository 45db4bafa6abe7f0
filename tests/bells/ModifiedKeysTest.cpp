// A key held with Ctrl, Alt or Ctrl+Shift is a command, never a bell: no
// strike, no toggle, no step of the current bell, wherever keyboard ringing
// listens. Keys go the way the window system delivers them.

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "input/KeyStrikeNotifier.h"
#include "support/MainWindowTest.h"
#include "support/RealKeys.h"

#include <gtest/gtest.h>

namespace {

using ModifiedKeys = MainWindowTest;

TEST_F(ModifiedKeys, NoBellKeyRingsWithCtrlAltOrCtrlShift) {
    program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=111111111111111"),
                           QStringLiteral("Types=nnnnnnnnnnnnnnn")});
    TfrmMain& w = startWith({});
    activate(w);
    ASSERT_TRUE(waitFor([&w] { return QApplication::activeWindow() == &w; }));
    int strikes = 0;
    QObject::connect(&w.bells().keyboard().keyStrikeNotifier(), &KeyStrikeNotifier::bellStruck, &w,
                     [&](int, std::int64_t) { ++strikes; });
    const QString bells = w.ensemble().bellsText();
    // Every bell's key (A..O in the test catalogue), Space and the arrows.
    QList<int> keys;
    for (int bell = 0; bell < 15; ++bell) {
        keys.append(Qt::Key_A + bell);
    }
    keys << Qt::Key_Space << Qt::Key_Left << Qt::Key_Right;
    w.bells().setCurrentBell(7);
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
          Qt::ControlModifier | Qt::ShiftModifier}) {
        for (const int key : keys) {
            SCOPED_TRACE(QStringLiteral("key %1 modifiers %2").arg(key).arg(int(modifiers)).toStdString());
            if (key == Qt::Key_O && modifiers == Qt::ControlModifier) {
                continue; // «Открыть ...», a shortcut of its own
            }
            typeKey(w, key, modifiers);
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
            QCoreApplication::processEvents();
            EXPECT_EQ(strikes, 0);
            EXPECT_EQ(w.bells().currentBell(), 7);
            EXPECT_EQ(w.ensemble().bellsText(), bells);
        }
    }
    // The same keys alone, and with Shift, still ring.
    typeKey(w, Qt::Key_C);
    typeKey(w, Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(strikes, 2);
    EXPECT_EQ(w.bells().currentBell(), 3);
    waitFor([] { return false; }, 50);
}

} // namespace
